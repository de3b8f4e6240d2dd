// Byte-string helpers shared by the copy scoring and the Trainer link: the
// upper-casing rule and exact text equality. No platform dependencies.
#pragma once

#include <string>
#include <string_view>

// Upper-cases one byte: 'a'..'z' become 'A'..'Z', and the seven lower/upper
// letter pairs of code page 437 (0x81->0x9A, 0x82->0x90, 0x84->0x8E,
// 0x86->0x8F, 0x87->0x80, 0x94->0x99, 0xA4->0xA5) are mapped whatever the
// text's code page. Every other byte is returned unchanged.
char UpperByte(char c);

// Returns a new string of the same length with every byte upper-cased by UpperByte.
std::string UpperText(std::string_view text);

// True when both texts have the same length and the same bytes. Nothing is
// trimmed and letter case counts.
bool TextEqual(std::string_view a, std::string_view b);
