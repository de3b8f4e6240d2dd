// Fuzzes the button matching rule and the button walk: a Trainer window made of
// children with arbitrary class names and captions, pressed with an arbitrary
// wanted class and caption. Checks what gets clicked, never how it is found.
#include "button_match.h"
#include "text.h"
#include "window_system.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Child {
    std::string className;
    std::string caption;
};

std::vector<Child> children;
std::vector<TrainerWindow> clicked;
int lastWalked = 0;

// Children are the handles 1..n of the one Trainer window, handle 1000.
TrainerWindow FindTop(const char*) {
    return 1000;
}
TrainerWindow Next(TrainerWindow parent, TrainerWindow after) {
    if (parent != 1000 || after >= children.size()) {
        return 0;
    }
    lastWalked = static_cast<int>(after + 1);
    return after + 1;
}
void Copy(const std::string& value, char* buffer, int limit) {
    const std::size_t n = value.size() < static_cast<std::size_t>(limit - 1)
                              ? value.size()
                              : static_cast<std::size_t>(limit - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
}
void ClassName(TrainerWindow w, char* buffer, int limit) {
    Copy(children[w - 1].className, buffer, limit);
}
void WindowText(TrainerWindow w, char* buffer, int limit) {
    Copy(children[w - 1].caption, buffer, limit);
}
void Click(TrainerWindow w) {
    clicked.push_back(w);
}
void GetText(TrainerWindow, int, char* buffer) {
    buffer[0] = '\0';
}

const WindowSystem kFake = {FindTop, Next, ClassName, WindowText, Click, GetText};

// Pieces of the input separated by 0x00 bytes.
std::vector<std::string> Split(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            parts.emplace_back();
        } else {
            parts.back().push_back(static_cast<char>(data[i]));
        }
    }
    return parts;
}

std::string Upper(const std::string& text) {
    std::string upper(text.size(), '\0');
    UpperText(text, upper.data());
    return upper;
}

// Upper-cased, '&'-free captions cut to what the walk reads.
std::string Key(const std::string& caption) {
    const std::string cut = caption.substr(0, 19);
    std::string key(cut.size(), '\0');
    key.resize(CaptionKey(cut, key.data()));
    return key;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> parts = Split(data, size);
    if (parts.size() < 2) {
        return 0;
    }
    const std::string& wantedClass = parts[0];
    const std::string& wantedCaption = parts[1];
    children.clear();
    for (std::size_t i = 2; i + 1 < parts.size() && children.size() < 64; i += 2) {
        children.push_back({parts[i], parts[i + 1]});
    }
    clicked.clear();
    lastWalked = 0;

    PressTrainerButtonWith(kFake, wantedClass, wantedCaption);

    // Every child is visited, and clicks come in the order of children.
    Check(lastWalked == static_cast<int>(children.size()));
    for (std::size_t k = 1; k < clicked.size(); ++k) {
        Check(clicked[k - 1] < clicked[k]);
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const Child& c = children[i];
        const bool wasClicked = next < clicked.size() && clicked[next] == i + 1;
        next += wasClicked ? 1 : 0;
        const bool sameClass = Upper(c.className.substr(0, 19)) == Upper(wantedClass);
        const bool sameCaption = Key(c.caption) == Upper(wantedCaption);
        Check(wasClicked == (sameClass && sameCaption));
        // A wanted caption with '&' or longer than a caption can be never matches.
        if (wantedCaption.find('&') != std::string::npos || wantedCaption.size() > 19 ||
            wantedClass.size() > 19) {
            Check(!wasClicked);
        }
        // Case and '&' marks in the child's caption never change the outcome.
        std::string marked = "&" + Upper(c.caption.substr(0, 19));
        Check(ButtonMatches(c.className.substr(0, 19), marked, Upper(wantedClass),
                            Upper(wantedCaption)) == wasClicked);
    }
    Check(next == clicked.size());
    return 0;
}
