// The upper-casing rule and text equality used wherever the program compares texts.
#include "text.h"

#include <algorithm>

namespace {

struct UpperTable {
    unsigned char map[256];
};

constexpr UpperTable MakeUpperTable() {
    UpperTable t{};
    for (int b = 0; b < 256; ++b) {
        t.map[b] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - ('a' - 'A') : b);
    }
    // The lower/upper letter pairs of code page 437, mapped whatever the code page.
    const unsigned char pairs[][2] = {{0x81, 0x9A}, {0x82, 0x90}, {0x84, 0x8E}, {0x86, 0x8F},
                                      {0x87, 0x80}, {0x94, 0x99}, {0xA4, 0xA5}};
    for (const unsigned char* pair : pairs) {
        t.map[pair[0]] = pair[1];
    }
    return t;
}

constexpr UpperTable kUpper = MakeUpperTable();

} // namespace

char UpperByte(char c) {
    return static_cast<char>(kUpper.map[static_cast<unsigned char>(c)]);
}

std::string UpperText(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), UpperByte);
    return out;
}

bool TextEqual(std::string_view a, std::string_view b) {
    return a == b;
}
