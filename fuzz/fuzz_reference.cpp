// Fuzzes the copy comparison and the score line against the reference model:
// every field of the result and the whole line must be the model's.
#include "compare.h"
#include "reference_model.h"
#include "score_line.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Repeats a non-empty text to a length of 32,764 to 32,767 bytes, chosen by
// `near`: around the cut at 32,765, whatever the code under test takes it to be.
void Stretch(std::string* text, std::size_t near) {
    const std::size_t length = 32764 + near;
    while (!text->empty() && text->size() < length) {
        *text += *text;
    }
    text->resize(text->empty() ? 0 : length);
}

void Check(const char* field, long long got, long long expected) {
    if (got != expected) {
        std::fprintf(stderr, "%s: expected %lld, got %lld\n", field, expected, got);
        std::abort();
    }
}

} // namespace

// Input: a mode byte, two bytes that choose where the sent text ends and the
// copy begins, then the texts. A mode below 32 (one input in eight, as long
// walks are slow) acts by its low three bits: stretch the sent text, stretch
// the copy, start the copy with the sent text upper-cased by the model; its
// next two bits choose the stretched length.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const std::string bytes(reinterpret_cast<const char*>(data + 3), size - 3);
    const std::size_t split =
        (static_cast<std::size_t>(data[1]) << 8 | data[2]) % (bytes.size() + 1);
    std::string sent = bytes.substr(0, split);
    std::string received = bytes.substr(split);
    const unsigned mode = data[0] < 32 ? data[0] : 0;
    const std::size_t near = mode >> 3;
    if ((mode & 1) != 0) {
        Stretch(&sent, near);
    }
    if ((mode & 2) != 0) {
        Stretch(&received, near);
    }
    if ((mode & 4) != 0) {
        received = ModelUpper(sent) + received;
    }

    const ScoreResult r = CompareCopy(sent, received);
    const ModelResult model = ModelCompare(sent, received);
    const int outcome = r.outcome == CopyMatched    ? ModelMatched
                        : r.outcome == CopyMismatch ? ModelMismatch
                        : r.outcome == CopyShort    ? ModelShort
                                                    : -1;
    Check("total", r.total, model.total);
    Check("correct", r.correct, model.correct);
    Check("sentPos", r.sentPos, model.sentPos);
    Check("receivedPos", r.receivedPos, model.receivedPos);
    Check("outcome", outcome, model.outcome);

    const ScoreText line = FormatScoreLine(r.correct, r.total);
    if (std::string(line.text, line.length) != model.line) {
        std::fprintf(stderr, "line: expected '%s', got '%s'\n", model.line.c_str(), line.text);
        std::abort();
    }
    return 0;
}
