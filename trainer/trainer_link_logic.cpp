// The Trainer link's walks over the direct children of the Trainer's window,
// written against the WindowSystem table so they run without Windows.
#include "button_match.h"
#include "text.h"
#include "window_system.h"

#include <algorithm>
#include <array>

namespace {

constexpr const char* kTrainerTitle = " Zintra Method CW Trainer - Tamsor";

// Read limits; each counts the terminating NUL.
constexpr int kButtonReadLimit = 20;     // class name and caption of a possible button
constexpr int kTextClassReadLimit = 100; // class name of a possible text control
constexpr int kTextReadLimit = 28000;    // the transmitted text
constexpr std::size_t kTextBufferSize = 28001;

// A buffer's contents up to its first NUL (all of it when there is none).
std::string UpToNul(const char* begin, const char* end) {
    return std::string(begin, std::find(begin, end, '\0'));
}

template <std::size_t N> std::string BufferText(const std::array<char, N>& buffer) {
    return UpToNul(buffer.data(), buffer.data() + N);
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
    const std::string wantedClass = UpperText(className);
    const std::string wantedCaption = UpperText(caption);
    for (TrainerWindow child = system.nextChild(trainer, 0); child != 0;
         child = system.nextChild(trainer, child)) {
        std::array<char, kButtonReadLimit> childClass{};
        std::array<char, kButtonReadLimit> childCaption{};
        system.className(child, childClass.data(), kButtonReadLimit);
        system.windowText(child, childCaption.data(), kButtonReadLimit);
        if (ButtonMatches(BufferText(childClass), BufferText(childCaption), wantedClass,
                          wantedCaption)) {
            system.click(child);
        }
    }
}

std::string ReadTrainerTextWith(const WindowSystem& system) {
    const TrainerWindow trainer = FindTrainerWindowWith(system);
    if (trainer == 0) {
        return "";
    }
    // Large and called rarely: on the heap, but still one zero-filled buffer per call.
    std::string text(kTextBufferSize, '\0');
    for (TrainerWindow child = system.nextChild(trainer, 0); child != 0;
         child = system.nextChild(trainer, child)) {
        std::array<char, kTextClassReadLimit> childClass{};
        system.className(child, childClass.data(), kTextClassReadLimit);
        if (text[0] == '\0' && TextEqual(BufferText(childClass), "TRichEdit")) {
            system.getText(child, kTextReadLimit, text.data());
        }
    }
    return UpToNul(text.data(), text.data() + text.size());
}
