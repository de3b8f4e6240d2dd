// The upper-casing rule, text equality, and the heap texts used wherever the
// program compares or passes on texts of any length.
#include "text.h"

#include <cstdlib>
#include <cstring>

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

// Copies the piece's bytes to `at`; the place after them.
char* Put(char* at, std::string_view piece) {
    if (!piece.empty()) {
        std::memcpy(at, piece.data(), piece.size());
    }
    return at + piece.size();
}

} // namespace

char UpperByte(char c) {
    return static_cast<char>(kUpper.map[static_cast<unsigned char>(c)]);
}

void UpperText(std::string_view text, char* out) {
    const char* in = text.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[i] = UpperByte(in[i]);
    }
}

bool TextEqual(std::string_view a, std::string_view b) {
    return a == b;
}

HeapText NewText(std::size_t length) {
    // The NUL needs one byte more, which a length of SIZE_MAX does not leave.
    if (length == static_cast<std::size_t>(-1)) {
        return HeapText{nullptr, 0};
    }
    auto* chars = static_cast<char*>(std::calloc(length + 1, 1));
    if (chars == nullptr) {
        return HeapText{nullptr, 0};
    }
    return HeapText{chars, length};
}

HeapText JoinText(std::string_view first, std::string_view second, std::string_view third) {
    const std::size_t limit = static_cast<std::size_t>(-1);
    if (second.size() > limit - first.size() ||
        third.size() > limit - first.size() - second.size()) {
        return HeapText{nullptr, 0};
    }
    HeapText text = NewText(first.size() + second.size() + third.size());
    if (text.chars == nullptr) {
        return text;
    }
    Put(Put(Put(text.chars, first), second), third);
    return text;
}

std::string_view TextView(const HeapText& text) {
    if (text.chars == nullptr) {
        return {};
    }
    return {text.chars, text.length};
}

void FreeText(HeapText* text) {
    std::free(text->chars);
    *text = HeapText{nullptr, 0};
}
