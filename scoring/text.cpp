// The upper-casing rule and text equality used wherever the program compares texts.
#include "text.h"

char UpperByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') {
        return static_cast<char>(b - ('a' - 'A'));
    }
    switch (b) {
    case 0x81: return static_cast<char>(0x9A);
    case 0x82: return static_cast<char>(0x90);
    case 0x84: return static_cast<char>(0x8E);
    case 0x86: return static_cast<char>(0x8F);
    case 0x87: return static_cast<char>(0x80);
    case 0x94: return static_cast<char>(0x99);
    case 0xA4: return static_cast<char>(0xA5);
    default: return c;
    }
}

std::string UpperText(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = UpperByte(c);
    }
    return out;
}

bool TextEqual(std::string_view a, std::string_view b) { return a == b; }
