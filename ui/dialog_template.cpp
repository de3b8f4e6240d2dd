// Lays out a DLGTEMPLATE byte by byte and hands it back on a 4-byte boundary.
#include "dialog_template.h"

#include <cstdint>
#include <cstring>

namespace {

using TemplateBytes = std::vector<std::uint8_t>;

void Put16(TemplateBytes& bytes, unsigned value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFFu));
    bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFFu));
}

void Put32(TemplateBytes& bytes, DWORD value) {
    Put16(bytes, value & 0xFFFFu);
    Put16(bytes, value >> 16);
}

// Each byte becomes one 16-bit character of the same value, then a 16-bit 0.
void PutWidened(TemplateBytes& bytes, const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        Put16(bytes, static_cast<unsigned char>(*p));
    }
    Put16(bytes, 0);
}

std::vector<DWORD> Aligned(const TemplateBytes& bytes) {
    std::vector<DWORD> words((bytes.size() + 3) / 4, 0);
    std::memcpy(words.data(), bytes.data(), bytes.size());
    return words;
}

} // namespace

std::vector<DWORD> BuildDialogTemplate(const char* caption, int x, int y, int width, int height,
                                       DWORD style, DWORD exStyle, WORD pointSize,
                                       const char* faceName) {
    TemplateBytes bytes;
    Put32(bytes, style);
    Put32(bytes, exStyle);
    Put16(bytes, 0); // no items
    Put16(bytes, static_cast<unsigned>(x));
    Put16(bytes, static_cast<unsigned>(y));
    Put16(bytes, static_cast<unsigned>(width));
    Put16(bytes, static_cast<unsigned>(height));
    Put16(bytes, 0); // no menu
    Put16(bytes, 0); // the platform's dialog class
    PutWidened(bytes, *caption == '\0' ? " " : caption);
    Put16(bytes, pointSize);
    PutWidened(bytes, faceName);
    return Aligned(bytes);
}
