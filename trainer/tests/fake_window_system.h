// A recording fake of the window system for the Trainer link's native tests:
// a list of windows, and every call the link makes, in order.
#pragma once

#include "window_system.h"

#include <string>
#include <vector>

struct FakeWindow {
    TrainerWindow parent; // 0 for a top-level window
    std::string className;
    std::string caption; // a top-level window's title, a child's window text
    std::string text;    // what the window answers to WM_GETTEXT
};

struct FakeDesktop {
    std::vector<FakeWindow> windows; // the handle of windows[i] is i + 1
    // One line per call, e.g. "find  Zintra...", "next 1 0", "class 2 20",
    // "text 2 20", "click 2", "gettext 3 28000".
    std::vector<std::string> calls;
    bool buffersZeroFilled = true; // false once a buffer arrived with a non-zero byte
};

// Adds a window to the desktop and returns its handle.
TrainerWindow AddWindow(FakeDesktop& desktop, TrainerWindow parent, std::string className,
                        std::string caption, std::string text = "");

// The fake's table, working on *desktop from now on.
const WindowSystem& FakeWindowSystem(FakeDesktop* desktop);
