// The dialog frame: what it remembers about its dialogs and their controls, the
// modal loop, FrameDialogProc's defaults, and the control operations.
#include "dialog_frame.h"

#include "dialog_template.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr DWORD kAddedDialogStyle = DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK;
constexpr DWORD kRemovedDialogStyle = WS_VISIBLE | DS_SYSMODAL;
constexpr WORD kDialogFontPoints = 8;
constexpr const char* kDialogFontFace = "MS Sans Serif";

struct FrameDialog {
    HWND window;
    int showCommand;
    HFONT font;           // the template's font, as the dialog reports it
    FrameHandler handler; // attached by FrameRunModal; nullptr before
};

// A control is remembered by the dialog it belongs to, and forgotten with it.
struct FrameControl {
    HWND dialog;
};

// A growable array of plain records on the heap, in the order they were added.
template <typename T> struct Records {
    T* items; // nullptr until the first record
    std::size_t count;
    std::size_t capacity;
};

// Appends a copy of the record; false, with nothing changed, when no room can be had.
template <typename T> bool Append(Records<T>* records, const T& record) {
    if (records->count == records->capacity) {
        const std::size_t capacity = records->capacity == 0 ? 8 : records->capacity * 2;
        if (capacity > static_cast<std::size_t>(-1) / sizeof(T)) {
            return false;
        }
        void* grown = std::realloc(records->items, capacity * sizeof(T));
        if (grown == nullptr) {
            return false;
        }
        records->items = static_cast<T*>(grown);
        records->capacity = capacity;
    }
    records->items[records->count++] = record;
    return true;
}

// Removes every record of the dialog; the others keep their order.
template <typename T> void RemoveOf(Records<T>* records, HWND dialog, HWND T::*owner) {
    T* const begin = records->items;
    T* const end = std::remove_if(begin, begin + records->count,
                                  [dialog, owner](const T& r) { return r.*owner == dialog; });
    records->count = static_cast<std::size_t>(end - begin);
}

Records<FrameDialog> dialogs;
Records<FrameControl> controls;

FrameDialog* FindDialog(HWND dialog) {
    FrameDialog* const end = dialogs.items + dialogs.count;
    FrameDialog* const found = std::find_if(
        dialogs.items, end, [dialog](const FrameDialog& d) { return d.window == dialog; });
    return found != end ? found : nullptr;
}

int ShowCommandFor(DWORD style) {
    if ((style & WS_MAXIMIZE) != 0) {
        return SW_MAXIMIZE;
    }
    if ((style & WS_MINIMIZE) != 0) {
        return SW_MINIMIZE;
    }
    return SW_SHOW;
}

const char* ClassFor(ControlKind kind) {
    switch (kind) {
    case ButtonControl:
        return "BUTTON";
    case LabelControl:
        return "STATIC";
    case TextBoxControl:
        return "EDIT";
    }
    return "STATIC";
}

void ForgetDialog(HWND dialog) {
    RemoveOf(&controls, dialog, &FrameControl::dialog);
    RemoveOf(&dialogs, dialog, &FrameDialog::window);
}

// The handler may end the dialog and so change what the frame remembers: call
// it through a copy of the pointer, never through the remembered record.
INT_PTR CallHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const FrameDialog* known = FindDialog(dialog);
    if (known == nullptr || known->handler == nullptr) {
        return 0;
    }
    const FrameHandler handler = known->handler;
    return handler(dialog, message, wParam, lParam);
}

// A handled message: its result goes to DWLP_MSGRESULT unless the handler put
// one there itself. The slot is pointer-sized: a handle as a result keeps all
// its bits in a 64-bit build.
INT_PTR KeepResult(HWND dialog, INT_PTR result) {
    if (GetWindowLongPtrA(dialog, DWLP_MSGRESULT) == 0) {
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    }
    return result;
}

// An unhandled message. The colour requests (WM_CTLCOLORMSGBOX to
// WM_CTLCOLORSTATIC) fall to the platform's colours like everything else
// except the close command, which ends the dialog.
INT_PTR DefaultResult(HWND dialog, UINT message, WPARAM wParam) {
    if (message == WM_SYSCOMMAND && LOWORD(wParam) == SC_CLOSE) {
        FrameEndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

HWND FrameCreateDialog(HWND owner, const char* caption, int x, int y, int width, int height,
                       DWORD style, DWORD exStyle) {
    DialogTemplate dialogTemplate = BuildDialogTemplate(
        caption, x, y, width, height, (style & ~kRemovedDialogStyle) | kAddedDialogStyle, exStyle,
        kDialogFontPoints, kDialogFontFace);
    if (dialogTemplate.words == nullptr) {
        return nullptr;
    }
    HWND dialog = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.words), owner,
        FrameDialogProc, 0);
    FreeDialogTemplate(&dialogTemplate);
    if (dialog == nullptr) {
        return nullptr;
    }
    const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (!Append(&dialogs, FrameDialog{dialog, ShowCommandFor(style), font, nullptr})) {
        DestroyWindow(dialog);
        return nullptr;
    }
    return dialog;
}

HWND FrameAddControl(ControlKind kind, HWND dialog, int id, const char* caption, int x, int y,
                     int width, int height, DWORD style, DWORD exStyle) {
    // The corners are mapped, not the size, so neighbouring controls meet
    // exactly where their dialog-unit rectangles do.
    RECT box{x, y, x + width, y + height};
    MapDialogRect(dialog, &box);
    HWND control = CreateWindowExA(exStyle, ClassFor(kind), caption, style | WS_CHILD | WS_VISIBLE,
                                   box.left, box.top, box.right - box.left, box.bottom - box.top,
                                   dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
    if (control == nullptr) {
        return nullptr;
    }
    const FrameDialog* known = FindDialog(dialog);
    const HFONT font = known != nullptr ? known->font : nullptr;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    // One that cannot be remembered still belongs to the dialog and goes with it.
    Append(&controls, FrameControl{dialog});
    return control;
}

void FrameRunModal(HWND dialog, FrameHandler handler) {
    handler(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
    FrameDialog* known = FindDialog(dialog);
    if (known == nullptr) {
        return;
    }
    known->handler = handler;
    ShowWindow(dialog, known->showCommand);

    // Poll, never wait: an idle dialog sleeps a millisecond at a time. WM_QUIT
    // belongs to no window, so it is taken from the queue and dropped.
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
}

void FrameEndDialog(HWND dialog, INT_PTR /*result*/) {
    // A command the platform posts in answer to WM_CLOSE is never handled: the
    // window is gone before the loop could fetch it.
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    DestroyWindow(dialog);
}

INT_PTR CALLBACK FrameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // Activation is the frame's own: no handler sees it, and the platform's
    // focus saving and restoring does not run.
    if (message == WM_ACTIVATE) {
        return TRUE;
    }
    const INT_PTR result = CallHandler(dialog, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ForgetDialog(dialog);
    }
    if (result != 0) {
        return KeepResult(dialog, result);
    }
    return DefaultResult(dialog, message, wParam);
}

void SetControlText(HWND dialog, int id, std::string_view text) {
    HWND control = GetDlgItem(dialog, id);
    if (text.find('\0') != std::string_view::npos) {
        SetWindowTextA(control, text.data()); // it ends at that NUL already
        return;
    }
    HeapText terminated = JoinText(text);
    if (terminated.chars != nullptr) {
        SetWindowTextA(control, terminated.chars);
    }
    FreeText(&terminated);
}

HeapText GetControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthA(control);
    HeapText text = NewText(static_cast<std::size_t>(std::max(length, 0)));
    if (text.chars == nullptr) {
        return text;
    }
    const int copied = GetWindowTextA(control, text.chars, length + 1);
    text.length = static_cast<std::size_t>(std::clamp(copied, 0, length));
    text.chars[text.length] = '\0';
    return text;
}

void SetControlFocus(HWND dialog, int id) {
    SetFocus(GetDlgItem(dialog, id));
}

void SetControlSelection(HWND dialog, int id, int start, int end) {
    SendMessageA(GetDlgItem(dialog, id), EM_SETSEL, static_cast<WPARAM>(start),
                 static_cast<LPARAM>(end));
}

void SetControlFont(HWND dialog, int id, HFONT font, BOOL redraw) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETFONT, reinterpret_cast<WPARAM>(font),
                 static_cast<LPARAM>(redraw));
}
