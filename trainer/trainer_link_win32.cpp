// The Win32 window calls behind the Trainer link, and the link's entry points
// that the Receiver's dialog calls.
#include "window_system.h"

#include <windows.h>

namespace {

HWND Handle(TrainerWindow window) {
    return reinterpret_cast<HWND>(window);
}
TrainerWindow Window(HWND handle) {
    return reinterpret_cast<TrainerWindow>(handle);
}

TrainerWindow FindTopLevel(const char* title) {
    return Window(FindWindowA(nullptr, title));
}

TrainerWindow NextChild(TrainerWindow parent, TrainerWindow after) {
    return Window(FindWindowExA(Handle(parent), Handle(after), nullptr, nullptr));
}

void ClassName(TrainerWindow window, char* buffer, int limit) {
    GetClassNameA(Handle(window), buffer, limit);
}

void WindowText(TrainerWindow window, char* buffer, int limit) {
    GetWindowTextA(Handle(window), buffer, limit);
}

void Click(TrainerWindow window) {
    SendMessageA(Handle(window), BM_CLICK, 0, 0);
}

void GetText(TrainerWindow window, int limit, char* buffer) {
    SendMessageA(Handle(window), WM_GETTEXT, static_cast<WPARAM>(limit),
                 reinterpret_cast<LPARAM>(buffer));
}

const WindowSystem kWin32 = {FindTopLevel, NextChild, ClassName, WindowText, Click, GetText};

} // namespace

const WindowSystem& Win32WindowSystem() {
    return kWin32;
}

TrainerWindow FindTrainerWindow() {
    return FindTrainerWindowWith(kWin32);
}

void PressTrainerButton(std::string_view className, std::string_view caption) {
    PressTrainerButtonWith(kWin32, className, caption);
}

std::size_t ReadTrainerText(char (&text)[kTrainerTextSize]) {
    return ReadTrainerTextWith(kWin32, text);
}
