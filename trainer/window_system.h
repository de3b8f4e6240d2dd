// The window-system calls the Trainer link makes, as a table of plain function
// pointers, so the link's logic runs against the real system or a test's fake.
#pragma once

#include "trainer_link.h"

struct WindowSystem {
    // FindWindowA with no class name: a top-level window with this title, or 0.
    TrainerWindow (*findTopLevel)(const char* title);
    // FindWindowExA(parent, after, NULL, NULL): the next direct child, 0 after the last.
    TrainerWindow (*nextChild)(TrainerWindow parent, TrainerWindow after);
    // GetClassNameA: the class name, cut to limit - 1 characters, NUL-terminated.
    void (*className)(TrainerWindow window, char* buffer, int limit);
    // GetWindowTextA: the caption, cut to limit - 1 characters, NUL-terminated.
    void (*windowText)(TrainerWindow window, char* buffer, int limit);
    // SendMessageA(window, BM_CLICK, 0, 0).
    void (*click)(TrainerWindow window);
    // SendMessageA(window, WM_GETTEXT, limit, buffer).
    void (*getText)(TrainerWindow window, int limit, char* buffer);
};

// The real Win32 calls; defined in the Windows build only. The table is static.
const WindowSystem& Win32WindowSystem();

// FindTrainerWindow, PressTrainerButton and ReadTrainerText against `system`,
// with the same results, ownership and silent failures.
TrainerWindow FindTrainerWindowWith(const WindowSystem& system);
void PressTrainerButtonWith(const WindowSystem& system, std::string_view className,
                            std::string_view caption);
std::size_t ReadTrainerTextWith(const WindowSystem& system, char (&text)[kTrainerTextSize]);
