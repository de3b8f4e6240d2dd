// Google Benchmark of the scoring core on a full-length sending: the comparison
// and the score line, beside a single upper-casing pass over both texts.
#include "compare.h"
#include "score_line.h"
#include "text.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

// A sending of five-letter groups and a copy of it, both 27,999 characters.
std::string PracticeText() {
    std::mt19937 rng(7);
    std::string text;
    while (text.size() < 27999) {
        text += (text.size() % 6 == 5) ? ' ' : static_cast<char>('A' + rng() % 26);
    }
    text.resize(27999);
    return text;
}

// A new string: the text upper-cased, its buffer allocated and filled.
std::string Upper(const std::string& text) {
    std::string upper(text.size(), '\0');
    UpperText(text, upper.data());
    return upper;
}

const std::string kSent = PracticeText();
const std::string kReceived = Upper(kSent);

void BM_CompareAndScore(benchmark::State& state) {
    for (auto _ : state) {
        const ScoreResult r = CompareCopy(kSent, kReceived);
        ScoreText line = FormatScoreLine(r.correct, r.total);
        benchmark::DoNotOptimize(line);
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<long>(kSent.size() + kReceived.size()));
}
BENCHMARK(BM_CompareAndScore);

// Baseline: the least any comparison must do, touch every byte of both texts once.
void BM_UpperCaseBothTexts(benchmark::State& state) {
    for (auto _ : state) {
        std::string a = Upper(kSent);
        std::string b = Upper(kReceived);
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<long>(kSent.size() + kReceived.size()));
}
BENCHMARK(BM_UpperCaseBothTexts);

} // namespace

BENCHMARK_MAIN();
