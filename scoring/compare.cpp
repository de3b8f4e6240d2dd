// The character-by-character walk that scores a copy against the sent text.
#include "compare.h"

#include "text.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

// Cut without substr(), whose range check (never taken here) throws: built by a
// compiler that does not inline it, it would link the C++ runtime's exceptions.
std::string_view Compared(std::string_view text) {
    return {text.data(), text.size() < kMaxComparedLength ? text.size() : kMaxComparedLength};
}

} // namespace

ScoreResult CompareCopy(std::string_view sentText, std::string_view receivedText) {
    const std::string_view sent = Compared(sentText);
    const std::string_view received = Compared(receivedText);

    ScoreResult r{};
    for (char c : sent) {
        if (!IsBlank(UpperByte(c))) {
            ++r.total;
        }
    }

    // i and j are 0-based here; the result reports them 1-based.
    std::size_t i = 0;
    std::size_t j = 0;
    r.outcome = CopyMatched;
    while (i < sent.size()) {
        const char x = UpperByte(sent[i]);
        if (IsBlank(x)) {
            ++i;
            continue;
        }
        // Past the end the received text reads as a blank, so an exhausted
        // text still moves j on by one before the search gives up.
        while (IsBlank(j < received.size() ? UpperByte(received[j]) : ' ')) {
            ++j;
            if (j >= received.size()) {
                break;
            }
        }
        if (j >= received.size()) {
            r.outcome = CopyShort;
            break;
        }
        if (x != UpperByte(received[j])) {
            r.outcome = CopyMismatch;
            break;
        }
        ++r.correct;
        ++i;
        ++j;
    }
    r.sentPos = static_cast<std::int16_t>(i + 1);
    r.receivedPos = static_cast<std::int16_t>(j + 1);
    return r;
}
