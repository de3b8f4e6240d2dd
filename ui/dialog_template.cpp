// Lays out a DLGTEMPLATE byte by byte and hands it back on a 4-byte boundary.
#include "dialog_template.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The fixed part: style, extended style, item count, the rectangle, menu and
// class; then the caption, the point size and the face name.
constexpr std::size_t kFixedBytes = 4 + 4 + 2 * 5 + 2 + 2;

std::uint8_t* Put16(std::uint8_t* at, unsigned value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFFu);
    at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFFu);
    return at + 2;
}

std::uint8_t* Put32(std::uint8_t* at, DWORD value) {
    return Put16(Put16(at, value & 0xFFFFu), value >> 16);
}

// Each byte becomes one 16-bit character of the same value, then a 16-bit 0.
std::uint8_t* PutWidened(std::uint8_t* at, const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        at = Put16(at, static_cast<unsigned char>(*p));
    }
    return Put16(at, 0);
}

// The bytes of the whole template; 0 for texts so long that the count would
// not fit a size_t (their template could never be had anyway).
std::size_t TemplateBytes(std::size_t captionLength, std::size_t faceLength) {
    constexpr std::size_t kLongest = static_cast<std::size_t>(-1) / 8;
    if (captionLength > kLongest || faceLength > kLongest) {
        return 0;
    }
    return kFixedBytes + (captionLength + 1) * 2 + 2 + (faceLength + 1) * 2;
}

} // namespace

DialogTemplate BuildDialogTemplate(const char* caption, int x, int y, int width, int height,
                                   DWORD style, DWORD exStyle, WORD pointSize,
                                   const char* faceName) {
    const char* shownCaption = *caption == '\0' ? " " : caption;
    const std::size_t bytes = TemplateBytes(std::strlen(shownCaption), std::strlen(faceName));
    const std::size_t count = (bytes + 3) / 4;
    auto* words = bytes == 0 ? nullptr : static_cast<DWORD*>(std::calloc(count, sizeof(DWORD)));
    if (words == nullptr) {
        return DialogTemplate{nullptr, 0};
    }
    std::uint8_t* at = reinterpret_cast<std::uint8_t*>(words);
    at = Put32(at, style);
    at = Put32(at, exStyle);
    at = Put16(at, 0); // no items
    at = Put16(at, static_cast<unsigned>(x));
    at = Put16(at, static_cast<unsigned>(y));
    at = Put16(at, static_cast<unsigned>(width));
    at = Put16(at, static_cast<unsigned>(height));
    at = Put16(at, 0); // no menu
    at = Put16(at, 0); // the platform's dialog class
    at = PutWidened(at, shownCaption);
    at = Put16(at, pointSize);
    PutWidened(at, faceName);
    return DialogTemplate{words, count};
}

void FreeDialogTemplate(DialogTemplate* dialogTemplate) {
    std::free(dialogTemplate->words);
    *dialogTemplate = DialogTemplate{nullptr, 0};
}
