// The practice Trainer's owner-drawn buttons and rich-edit text control.
#include "practice_controls.h"

#include <richedit.h>

namespace {

// The classes' state, used on the one thread.
struct Controls {
    WNDPROC buttonProc = nullptr; // BUTTON's own procedure, which the button class extends
    WNDPROC textProc = nullptr;   // the rich-edit control's (or EDIT's) own procedure
    HMODULE richEdit = nullptr;   // riched20.dll, loaded for the process's life
    bool editText = false;
    int slowGetTextMs = 0;
    HWND clicking = nullptr; // the button in its own BM_CLICK handling
};

Controls g_controls;

// A push button's face, its caption centred on it (shifted when pressed, grey
// when disabled) and the focus rectangle, as an owner-drawn button paints itself.
void DrawButton(const DRAWITEMSTRUCT& item) {
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    RECT face = item.rcItem;
    DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    char caption[64] = {};
    GetWindowTextA(item.hwndItem, caption, sizeof caption);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
    const HGDIOBJ oldFont = font != nullptr ? SelectObject(item.hDC, font) : nullptr;
    SetBkMode(item.hDC, TRANSPARENT);
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    SetTextColor(item.hDC, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    RECT text = item.rcItem;
    if (pressed) {
        OffsetRect(&text, 1, 1);
    }
    DrawTextA(item.hDC, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(item.hDC, &focus);
    }
    if (oldFont != nullptr) {
        SelectObject(item.hDC, oldFont);
    }
}

// BM_CLICK goes on unchanged to BUTTON's own procedure, which presses and
// releases the button and so sends BN_CLICKED to the parent; the button only
// notes meanwhile that it is the one clicking.
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kReflectedDrawItem) {
        DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    if (message == BM_CLICK) {
        HWND outer = g_controls.clicking;
        g_controls.clicking = window;
        const LRESULT result =
            CallWindowProcA(g_controls.buttonProc, window, message, wParam, lParam);
        g_controls.clicking = outer;
        return result;
    }
    return CallWindowProcA(g_controls.buttonProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TextProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXT && g_controls.slowGetTextMs > 0) {
        Sleep(static_cast<DWORD>(g_controls.slowGetTextMs));
    }
    return CallWindowProcA(g_controls.textProc, window, message, wParam, lParam);
}

// Registers `name` as a superclass of the registered class `base`, run by
// `proc`, which passes on to the procedure left in *baseProc.
bool Superclass(HINSTANCE instance, const char* base, const char* name, WNDPROC proc,
                WNDPROC* baseProc) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(nullptr, base, &wc)) {
        return false;
    }
    *baseProc = wc.lpfnWndProc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    return RegisterClassExA(&wc) != 0;
}

} // namespace

bool RegisterControlClasses(HINSTANCE instance, const ControlClasses& classes) {
    g_controls.editText = classes.editText;
    g_controls.slowGetTextMs = classes.slowGetTextMs;
    // Loading riched20.dll registers "RichEdit20A" (and "RichEdit20W").
    const char* textBase = classes.editText ? "EDIT" : "RichEdit20A";
    if (!classes.editText) {
        g_controls.richEdit = LoadLibraryA("riched20.dll");
        if (g_controls.richEdit == nullptr) {
            return false;
        }
    }
    return Superclass(instance, "BUTTON", classes.buttonClass, ButtonProc,
                      &g_controls.buttonProc) &&
           Superclass(instance, textBase, classes.textClass, TextProc, &g_controls.textProc);
}

void LiftTextLimit(HWND text) {
    if (g_controls.editText) {
        SendMessageA(text, EM_SETLIMITTEXT, 0, 0); // 0: as much as EDIT can hold
    } else {
        // The rich-edit control's own limit is 32,767 characters.
        SendMessageA(text, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    }
}

LRESULT ReflectDrawItem(LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    return SendMessageA(item->hwndItem, kReflectedDrawItem, 0, lParam);
}

HWND ButtonInClick() {
    return g_controls.clicking;
}
