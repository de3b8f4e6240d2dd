// The button matching rule: class names compared upper-cased, captions
// upper-cased and stripped of their '&' accelerator marks.
#include "button_match.h"

#include "text.h"

namespace {

// True when text upper-cased by UpperByte is exactly `upper`.
bool UpperEquals(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (UpperByte(text[i]) != upper[i]) {
            return false;
        }
    }
    return true;
}

// True when CaptionKey(caption) would be exactly `key`; nothing is copied.
bool KeyEquals(std::string_view caption, std::string_view key) {
    std::size_t matched = 0;
    for (const char c : caption) {
        const char upper = UpperByte(c);
        if (upper == '&') {
            continue;
        }
        if (matched == key.size() || key[matched] != upper) {
            return false;
        }
        ++matched;
    }
    return matched == key.size();
}

} // namespace

std::size_t CaptionKey(std::string_view caption, char* key) {
    std::size_t count = 0;
    for (const char c : caption) {
        const char upper = UpperByte(c);
        if (upper != '&') {
            key[count++] = upper;
        }
    }
    return count;
}

bool ButtonMatches(std::string_view childClass, std::string_view childCaption,
                   std::string_view wantedClassUpper, std::string_view wantedCaptionUpper) {
    return UpperEquals(childClass, wantedClassUpper) && KeyEquals(childCaption, wantedCaptionUpper);
}
