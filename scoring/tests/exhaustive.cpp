// Checks the percentage of every score line against the integer oracle, for
// every pair 0 <= correct <= total <= 32767. Arguments: part, parts (the totals
// t with t % parts == part are checked). Exits 1 on any mismatch.
#include "oracle.h"
#include "score_line.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const long part = argc > 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    const long parts = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 1;
    unsigned long long pairs = 0;
    unsigned long long mismatches = 0;
    for (long t = part; t <= 32767; t += parts) {
        for (long c = 0; c <= t; ++c) {
            const auto correct = static_cast<std::int16_t>(c);
            const auto total = static_cast<std::int16_t>(t);
            const std::int64_t got = PercentHundredths(ScorePercent(correct, total));
            const std::int64_t want = OracleHundredths(correct, total);
            ++pairs;
            if (got != want) {
                if (++mismatches <= 10) {
                    std::printf(
                        "mismatch: correct %ld total %ld: expected %lld hundredths, got %lld\n", c,
                        t, static_cast<long long>(want), static_cast<long long>(got));
                }
            }
        }
    }
    std::printf("part %ld of %ld: %llu pairs, %llu mismatches\n", part, parts, pairs, mismatches);
    return mismatches == 0 ? 0 : 1;
}
