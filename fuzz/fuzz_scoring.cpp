// Fuzzes the copy comparison and the score line: the invariants of the result
// and the shape of the line for any pair of texts.
#include "compare.h"
#include "score_line.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first two bytes choose where the sent text ends and the copy begins;
    // the length is stretched so that texts past the 16-bit range occur too.
    const std::size_t split = (static_cast<std::size_t>(data[0]) << 8 | data[1]) % (size - 1);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    std::string sent(bytes.substr(0, split));
    const std::string_view received = bytes.substr(split < bytes.size() ? split : bytes.size());
    if (!sent.empty() && (data[0] & 0x80) != 0) {
        while (sent.size() < 40000) {
            sent += sent;
        }
    }

    const ScoreResult r = CompareCopy(sent, received);
    if (r.correct < 0 || r.correct > r.total ||
        (r.outcome == CopyMatched) != (r.correct == r.total) || r.sentPos < 1 ||
        r.receivedPos < 1) {
        std::abort();
    }
    if (r.outcome != CopyMatched && static_cast<std::size_t>(r.sentPos) > sent.size()) {
        std::abort();
    }
    if (r.outcome == CopyMismatch && static_cast<std::size_t>(r.receivedPos) > received.size()) {
        std::abort();
    }

    const ScoreText score = FormatScoreLine(r.correct, r.total);
    if (score.length >= sizeof score.text || score.text[score.length] != '\0') {
        std::abort();
    }
    const std::string line(score.text, score.length);
    if (line.empty() || line.front() != ' ' || line.back() != '%' ||
        line.find(" out of ") == std::string::npos || line.find(" = ") == std::string::npos) {
        std::abort();
    }
    for (char c : line) {
        const bool allowed = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == ' ' ||
                             c == '.' || c == '=' || c == '%';
        if (!allowed) {
            std::abort();
        }
    }
    return 0;
}
