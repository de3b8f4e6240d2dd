// The reference model: a literal walk over 1-based positions, its own
// upper-casing table and cut, the percentage from the integer oracle.
#include "reference_model.h"

#include "oracle.h"

#include <array>
#include <cstdio>

namespace {

// Only this many leading bytes of a text are compared.
const int kCut = 32765;

// Every byte as itself but the ASCII letters and the code page 437 pairs.
const std::array<unsigned char, 256> upperOf = [] {
    std::array<unsigned char, 256> table{};
    const char lower[] = "abcdefghijklmnopqrstuvwxyz\x81\x82\x84\x86\x87\x94\xA4";
    const char upper[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ\x9A\x90\x8E\x8F\x80\x99\xA5";
    for (int b = 0; b < 256; ++b) {
        table[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
    }
    for (int k = 0; lower[k] != '\0'; ++k) {
        table[static_cast<unsigned char>(lower[k])] = static_cast<unsigned char>(upper[k]);
    }
    return table;
}();

// The upper-cased byte at 1-based position i of a text of n bytes; a space past the end.
unsigned char At(const std::string& text, int n, int i) {
    return i <= n ? upperOf[static_cast<unsigned char>(text[static_cast<std::size_t>(i - 1)])]
                  : ' ';
}

bool Blank(unsigned char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

int Cut(const std::string& text) {
    return text.size() < static_cast<std::size_t>(kCut) ? static_cast<int>(text.size()) : kCut;
}

} // namespace

std::string ModelUpper(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) {
        c = static_cast<char>(upperOf[static_cast<unsigned char>(c)]);
    }
    return upper;
}

ModelResult ModelCompare(const std::string& sent, const std::string& received) {
    const int n = Cut(sent);
    const int m = Cut(received);
    ModelResult r{0, 0, 1, 1, ModelMatched, ""};
    for (int i = 1; i <= n; ++i) {
        r.total += Blank(At(sent, n, i)) ? 0 : 1;
    }
    int i = 1;
    int j = 1;
    for (;;) {
        if (i > n) {
            r.outcome = ModelMatched;
            break;
        }
        const unsigned char x = At(sent, n, i);
        if (Blank(x)) {
            i = i + 1;
            continue;
        }
        unsigned char y = At(received, m, j);
        while (Blank(y)) {
            j = j + 1;
            if (j > m) {
                break;
            }
            y = At(received, m, j);
        }
        if (j > m) {
            r.outcome = ModelShort;
            break;
        }
        if (x != y) {
            r.outcome = ModelMismatch;
            break;
        }
        r.correct = r.correct + 1;
        i = i + 1;
        j = j + 1;
    }
    r.sentPos = i;
    r.receivedPos = j;

    const long long hundredths = OracleHundredths(r.correct, r.total);
    char line[64];
    std::snprintf(line, sizeof line, " %d out of %d = %lld.%02lld%%", r.correct, r.total,
                  hundredths / 100, hundredths % 100);
    r.line = line;
    return r;
}
