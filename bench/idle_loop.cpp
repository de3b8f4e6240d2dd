// Idle baseline: the bare polling loop a dialog program must run, a
// PeekMessageA / Sleep(1) loop with one hidden window, and nothing else.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HWND window = CreateWindowExA(0, "STATIC", "idle loop baseline", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, instance, nullptr);
    MSG message;
    while (IsWindow(window)) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(1);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
