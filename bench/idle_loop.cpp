// Idle baseline: the bare polling loop a dialog program must run, a
// PeekMessageA / Sleep(1) loop with one small window, and nothing else. The
// window is shown so that the bench can wait for it as for the Receiver's.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HWND window = CreateWindowExA(0, "STATIC", "idle loop baseline", WS_POPUP | WS_VISIBLE, 0, 0,
                                  10, 10, nullptr, nullptr, instance, nullptr);
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
