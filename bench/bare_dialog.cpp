// Start-up baseline: one empty dialog from an in-memory template, shown, with
// the bare polling loop; nothing else. Ends when its window is closed.
#include "dialog_template.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK BareProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_CLOSE || (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)) {
        DestroyWindow(dialog);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    DialogTemplate dialogTemplate = BuildDialogTemplate("bare dialog baseline", 0, 0, 343, 216,
                                                        0x04CA00D4, 0x00010109, 8, "MS Sans Serif");
    HWND dialog = CreateDialogIndirectParamA(
        instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.words), nullptr, BareProc, 0);
    FreeDialogTemplate(&dialogTemplate);
    ShowWindow(dialog, SW_SHOW);
    MSG message;
    while (IsWindow(dialog)) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(1);
            continue;
        }
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return 0;
}
