// The dialog frame: dialogs made from an in-memory template, controls added as
// child windows, a polling modal loop, the frame's default message handling and
// the control operations the dialog handlers use. Knows nothing of any one dialog.
#pragma once

#include "text.h"

#include <windows.h>

#include <string_view>

// A dialog handler: 0 means not handled; anything else means handled and is the
// message's result.
using FrameHandler = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

enum ControlKind {
    ButtonControl,  // "BUTTON"
    LabelControl,   // "STATIC"
    TextBoxControl, // "EDIT"
};

// Creates a hidden dialog of this process's module from an in-memory template
// with the given caption (bytes widened one by one; "" becomes one blank),
// position and client size in dialog units, style and extended style, and the
// frame's dialog font, "MS Sans Serif" 8. WS_VISIBLE and DS_SYSMODAL are taken
// out of the style and DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK put in. The
// frame remembers the dialog until it is destroyed; the caller ends it with
// FrameEndDialog or DestroyWindow. Returns nullptr when the window cannot be
// made or cannot be remembered.
HWND FrameCreateDialog(HWND owner, const char* caption, int x, int y, int width, int height,
                       DWORD style, DWORD exStyle);

// Adds a control of the given kind to a dialog the frame made: the rectangle is
// in dialog units, WS_CHILD | WS_VISIBLE is added to the style, the id goes in
// the menu argument, and the control gets the dialog font at once. The dialog
// owns the control. Returns nullptr when the window cannot be made.
HWND FrameAddControl(ControlKind kind, HWND dialog, int id, const char* caption, int x, int y,
                     int width, int height, DWORD style, DWORD exStyle);

// Calls the handler once with WM_INITDIALOG, attaches it, shows the dialog and
// runs the thread's messages until the dialog window no longer exists. WM_QUIT
// does not end the loop. Returns at once after the WM_INITDIALOG call when the
// frame does not know the dialog.
void FrameRunModal(HWND dialog, FrameHandler handler);

// Ends a dialog: sends it WM_CLOSE, then destroys it. The handler sees WM_CLOSE,
// WM_DESTROY and WM_NCDESTROY before this returns. The result is read by nobody.
void FrameEndDialog(HWND dialog, INT_PTR result);

// The dialog procedure of every dialog the frame makes.
INT_PTR CALLBACK FrameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The control operations. Each finds the control with GetDlgItem first and
// does nothing (or gives nothing) when there is no such control.

// Sets the control's text, which ends at its first NUL byte. When no memory can
// be had for a NUL-terminated copy, the control keeps the text it had.
void SetControlText(HWND dialog, int id, std::string_view text);

// A new text owned by the caller, released with FreeText: the control's whole
// text; "" when there is no control, and the empty text when no buffer can be had.
HeapText GetControlText(HWND dialog, int id);

// Gives the control the keyboard focus.
void SetControlFocus(HWND dialog, int id);

// EM_SETSEL with 0-based character offsets; -1, -1 removes the selection.
void SetControlSelection(HWND dialog, int id, int start, int end);

// WM_SETFONT; the caller keeps owning the font.
void SetControlFont(HWND dialog, int id, HFONT font, BOOL redraw);
