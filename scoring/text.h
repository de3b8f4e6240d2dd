// Byte-string helpers shared by the copy scoring, the Trainer link and the
// dialog: the upper-casing rule, exact text equality, and texts on the heap.
// No platform dependencies.
#pragma once

#include <cstddef>
#include <string_view>

// Upper-cases one byte: 'a'..'z' become 'A'..'Z', and the seven lower/upper
// letter pairs of code page 437 (0x81->0x9A, 0x82->0x90, 0x84->0x8E,
// 0x86->0x8F, 0x87->0x80, 0x94->0x99, 0xA4->0xA5) are mapped whatever the
// text's code page. Every other byte is returned unchanged.
char UpperByte(char c);

// Writes text.size() bytes to out, the caller's, each byte of text upper-cased
// by UpperByte; no NUL is added. out may be text's own bytes.
void UpperText(std::string_view text, char* out);

// True when both texts have the same length and the same bytes. Nothing is
// trimmed and letter case counts.
bool TextEqual(std::string_view a, std::string_view b);

// A text of any length on the heap: `length` bytes at `chars`, then a NUL. Its
// holder owns it and releases it with FreeText. The empty text {nullptr, 0}
// owns nothing; the functions that make texts give it when memory runs out.
struct HeapText {
    char* chars;
    std::size_t length;
};

// A new text, owned by the caller, of `length` NUL bytes and the terminating
// NUL; the empty text {nullptr, 0} when the memory cannot be had.
HeapText NewText(std::size_t length);

// A new text, owned by the caller, holding first, second and third one after
// the other; the empty text {nullptr, 0} when the memory cannot be had.
HeapText JoinText(std::string_view first, std::string_view second = {},
                  std::string_view third = {});

// The text's bytes, without the terminating NUL; empty for the empty text.
std::string_view TextView(const HeapText& text);

// Releases what *text owns and makes it the empty text. Does nothing to the empty text.
void FreeText(HeapText* text);
