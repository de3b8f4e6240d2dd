// The practice Trainer's controls, made the way a Delphi form makes them: its
// "TBitBtn" buttons are owner-drawn superclasses of BUTTON that draw their own
// captions when the form reflects WM_DRAWITEM to them, and its "TRichEdit" is a
// superclass of the platform's rich-edit control.
#pragma once

#include <windows.h>

// The message a form reflects WM_DRAWITEM to its owner-drawn control as
// (the VCL's CN_DRAWITEM); lParam is the DRAWITEMSTRUCT.
constexpr UINT kReflectedDrawItem = 0xBC00 + WM_DRAWITEM;

struct ControlClasses {
    const char* buttonClass; // registered as an owner-drawn superclass of BUTTON
    const char* textClass;   // registered as a superclass of "RichEdit20A" (riched20.dll)
    bool editText;           // the text class extends EDIT instead of the rich-edit control
    int slowGetTextMs;       // the text control sleeps this long before each WM_GETTEXT
};

// Registers both classes for this process; false when either cannot be.
bool RegisterControlClasses(HINSTANCE instance, const ControlClasses& classes);

// Lets the text control hold as much text as it can.
void LiftTextLimit(HWND text);

// Passes a WM_DRAWITEM that a parent received on to the control it is for.
LRESULT ReflectDrawItem(LPARAM lParam);

// The button whose own BM_CLICK handling is running, or nullptr: a BN_CLICKED
// from this button now is the one its click sends.
HWND ButtonInClick();
