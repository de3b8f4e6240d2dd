// The Trainer link's walks over the direct children of the Trainer's window,
// written against the WindowSystem table so they run without Windows.
#include "button_match.h"
#include "text.h"
#include "window_system.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr const char* kTrainerTitle = " Zintra Method CW Trainer - Tamsor";

// Read limits; each counts the terminating NUL.
constexpr int kButtonReadLimit = 20;     // class name and caption of a possible button
constexpr int kTextClassReadLimit = 100; // class name of a possible text control
constexpr int kTextReadLimit = 28000;    // the transmitted text
static_assert(kTrainerTextSize == kTextReadLimit + 1, "the text buffer always ends in a NUL");

// A buffer's contents up to its first NUL (all of it when there is none).
std::string_view UpToNul(const char* begin, const char* end) {
    return std::string_view(begin, static_cast<std::size_t>(std::find(begin, end, '\0') - begin));
}

template <std::size_t N> std::string_view BufferText(const std::array<char, N>& buffer) {
    return UpToNul(buffer.data(), buffer.data() + N);
}

// A wanted value upper-cased into a buffer as long as a button read; false
// when it is longer than any value such a read can give, so it never matches.
bool UpperWanted(std::string_view wanted, std::array<char, kButtonReadLimit>* upper,
                 std::string_view* result) {
    if (wanted.size() >= upper->size()) {
        return false;
    }
    UpperText(wanted, upper->data());
    *result = std::string_view(upper->data(), wanted.size());
    return true;
}

} // namespace

TrainerWindow FindTrainerWindowWith(const WindowSystem& system) {
    return system.findTopLevel(kTrainerTitle);
}

void PressTrainerButtonWith(const WindowSystem& system, std::string_view className,
                            std::string_view caption) {
    const TrainerWindow trainer = FindTrainerWindowWith(system);
    if (trainer == 0) {
        return;
    }
    // The class and caption read are at most kButtonReadLimit - 1 bytes, and
    // the caption's key no longer: a longer wanted value is looked for in vain.
    std::array<char, kButtonReadLimit> classBuffer{};
    std::array<char, kButtonReadLimit> captionBuffer{};
    std::string_view wantedClass;
    std::string_view wantedCaption;
    const bool matchable = UpperWanted(className, &classBuffer, &wantedClass) &&
                           UpperWanted(caption, &captionBuffer, &wantedCaption);
    for (TrainerWindow child = system.nextChild(trainer, 0); child != 0;
         child = system.nextChild(trainer, child)) {
        std::array<char, kButtonReadLimit> childClass{};
        std::array<char, kButtonReadLimit> childCaption{};
        system.className(child, childClass.data(), kButtonReadLimit);
        system.windowText(child, childCaption.data(), kButtonReadLimit);
        if (matchable && ButtonMatches(BufferText(childClass), BufferText(childCaption),
                                       wantedClass, wantedCaption)) {
            system.click(child);
        }
    }
}

std::size_t ReadTrainerTextWith(const WindowSystem& system, char (&text)[kTrainerTextSize]) {
    std::memset(text, 0, sizeof text);
    const TrainerWindow trainer = FindTrainerWindowWith(system);
    if (trainer == 0) {
        return 0;
    }
    for (TrainerWindow child = system.nextChild(trainer, 0); child != 0;
         child = system.nextChild(trainer, child)) {
        std::array<char, kTextClassReadLimit> childClass{};
        system.className(child, childClass.data(), kTextClassReadLimit);
        if (text[0] == '\0' && TextEqual(BufferText(childClass), "TRichEdit")) {
            system.getText(child, kTextReadLimit, text);
        }
    }
    return UpToNul(text, text + sizeof text).size();
}
