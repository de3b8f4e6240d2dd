// The recording fake window system: it answers like Win32 (cuts values to the
// limit less one, NUL-terminates) and notes each call and its limit.
#include "fake_window_system.h"

#include <algorithm>
#include <cstring>

namespace {

FakeDesktop* g_desktop = nullptr;

const FakeWindow* Find(TrainerWindow window) {
    if (window == 0 || window > g_desktop->windows.size()) {
        return nullptr;
    }
    return &g_desktop->windows[window - 1];
}

void Note(const std::string& what, TrainerWindow window, int limit) {
    g_desktop->calls.push_back(what + " " + std::to_string(window) + " " + std::to_string(limit));
}

// Checks that all `limit` bytes are zero (touching each, so a buffer smaller
// than its limit shows up under ASan), then copies at most limit - 1 bytes and a NUL.
void Answer(const std::string& value, char* buffer, int limit) {
    const auto size = static_cast<std::size_t>(limit);
    if (std::any_of(buffer, buffer + size, [](char c) { return c != '\0'; })) {
        g_desktop->buffersZeroFilled = false;
    }
    const std::size_t count = std::min(value.size(), size - 1);
    std::memcpy(buffer, value.data(), count);
    buffer[count] = '\0';
}

TrainerWindow FindTopLevel(const char* title) {
    g_desktop->calls.push_back(std::string("find ") + title);
    for (std::size_t i = 0; i < g_desktop->windows.size(); ++i) {
        const FakeWindow& w = g_desktop->windows[i];
        if (w.parent == 0 && w.caption == title) {
            return i + 1;
        }
    }
    return 0;
}

TrainerWindow NextChild(TrainerWindow parent, TrainerWindow after) {
    g_desktop->calls.push_back("next " + std::to_string(parent) + " " + std::to_string(after));
    for (std::size_t i = after; i < g_desktop->windows.size(); ++i) {
        if (g_desktop->windows[i].parent == parent) {
            return i + 1;
        }
    }
    return 0;
}

void ClassName(TrainerWindow window, char* buffer, int limit) {
    Note("class", window, limit);
    if (const FakeWindow* w = Find(window)) {
        Answer(w->className, buffer, limit);
    }
}

void WindowText(TrainerWindow window, char* buffer, int limit) {
    Note("text", window, limit);
    if (const FakeWindow* w = Find(window)) {
        Answer(w->caption, buffer, limit);
    }
}

void Click(TrainerWindow window) {
    g_desktop->calls.push_back("click " + std::to_string(window));
}

void GetText(TrainerWindow window, int limit, char* buffer) {
    Note("gettext", window, limit);
    if (const FakeWindow* w = Find(window)) {
        Answer(w->text, buffer, limit);
    }
}

const WindowSystem kFake = {FindTopLevel, NextChild, ClassName, WindowText, Click, GetText};

} // namespace

TrainerWindow AddWindow(FakeDesktop& desktop, TrainerWindow parent, std::string className,
                        std::string caption, std::string text) {
    desktop.windows.push_back({parent, std::move(className), std::move(caption), std::move(text)});
    return desktop.windows.size();
}

const WindowSystem& FakeWindowSystem(FakeDesktop* desktop) {
    g_desktop = desktop;
    return kFake;
}
