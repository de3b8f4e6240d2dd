// MainDialogProc, the handler of MainDialog: for now it only releases the text
// font when the dialog goes; everything else is left to the frame.
#include "main_dialog.h"

INT_PTR MainDialogProc(HWND /*dialog*/, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (message == WM_DESTROY) {
        DeleteObject(TextFont);
    }
    return 0;
}
