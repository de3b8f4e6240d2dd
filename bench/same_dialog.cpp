// Baselines built on the Receiver's own dialog: COM, the template, the eleven
// controls and fonts, run by the frame, with none of the program's commands.
// With --compare-floor its Compare button does only the window messages a
// comparison needs (fetch the Trainer's text, fill the upper box, read both
// boxes, two selections, one score line), with no comparison at all.
#include "dialog_frame.h"
#include "main_dialog.h"

#include <windows.h>

#include <cstring>

namespace {

bool compareFloor = false;

// The same messages the Compare command sends, and nothing computed from them.
void CompareFloor(HWND dialog) {
    static char text[28001];
    std::memset(text, 0, sizeof text);
    HWND trainer = FindWindowA(nullptr, " Zintra Method CW Trainer - Tamsor");
    for (HWND child = FindWindowExA(trainer, nullptr, nullptr, nullptr); child != nullptr;
         child = FindWindowExA(trainer, child, nullptr, nullptr)) {
        char className[100] = {};
        GetClassNameA(child, className, 100);
        if (std::strcmp(className, "TRichEdit") == 0 && text[0] == '\0') {
            SendMessageA(child, WM_GETTEXT, 28000, reinterpret_cast<LPARAM>(text));
        }
    }
    SetControlText(dialog, IDC_SENT_TEXT, text);
    HeapText sent = GetControlText(dialog, IDC_SENT_TEXT);
    HeapText received = GetControlText(dialog, IDC_RECEIVED_TEXT);
    const bool sameLength = sent.length == received.length;
    FreeText(&sent);
    FreeText(&received);
    SetControlSelection(dialog, IDC_SENT_TEXT, -1, -1);
    SetControlSelection(dialog, IDC_RECEIVED_TEXT, -1, -1);
    SetControlText(dialog, IDC_SCORE, sameLength ? " 1 out of 1 = 100.00%" : " 0 out of 1 = 0.00%");
}

INT_PTR BaselineProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_COMPARE && compareFloor) {
        CompareFloor(dialog);
    } else if (message == WM_DESTROY) {
        DeleteObject(TextFont);
    }
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandTail, int) {
    compareFloor = std::strstr(commandTail, "--compare-floor") != nullptr;
    CoInitialize(nullptr);
    FrameRunModal(BuildMainDialog(), BaselineProc);
    CoUninitialize();
    return 0;
}
