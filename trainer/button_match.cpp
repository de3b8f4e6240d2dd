// The button matching rule: class names compared upper-cased, captions
// upper-cased and stripped of their '&' accelerator marks.
#include "button_match.h"

#include "text.h"

std::string CaptionKey(std::string_view caption) {
    std::string key;
    key.reserve(caption.size());
    for (const char c : caption) {
        const char upper = UpperByte(c);
        if (upper != '&') {
            key.push_back(upper);
        }
    }
    return key;
}

bool ButtonMatches(std::string_view childClass, std::string_view childCaption,
                   std::string_view wantedClassUpper, std::string_view wantedCaptionUpper) {
    return TextEqual(UpperText(childClass), wantedClassUpper) &&
           TextEqual(CaptionKey(childCaption), wantedCaptionUpper);
}
