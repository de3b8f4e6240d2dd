// The Receiver's one dialog: its control ids, the process-wide handles of the
// dialog and of the text font, and the routines that build and run it.
#pragma once

#include "receiver_version.h"

#include <windows.h>

// Control ids. IDCANCEL (2) is the "&Quit" button; the label under the upper box
// and the one above the lower box share id -1 with any other unnamed control.
constexpr int IDC_SENT_TEXT = 101;     // upper text box: what the Trainer sent
constexpr int IDC_RECEIVED_TEXT = 102; // lower text box: what the user typed
constexpr int IDC_SCORE = 103;         // status and score label
constexpr int IDC_ERASE = 104;
constexpr int IDC_BEGIN = 105;
constexpr int IDC_STOP = 106;
constexpr int IDC_COMPARE = 107;
constexpr int IDC_RUN_TRAINER = 108;
constexpr int IDC_SENT_LABEL = 110;
constexpr int IDC_UNNAMED = -1;

// The dialog's caption: the program, its version and the Trainer it is for.
constexpr const char* kMainDialogCaption =
    "Zintra Receiver v" RECEIVER_CAPTION_VERSION " for the Zintra Method CW Trainer (Tamsor)";

// The dialog, once built; nullptr before, or when it could not be made.
extern HWND MainDialog;
// Arial with a character height of 18 pixels at 96 DPI, scaled with the
// display, for the two text boxes and the score label. Made by
// BuildMainDialog; MainDialogProc deletes it when the dialog is destroyed.
extern HFONT TextFont;

// Makes TextFont, then creates MainDialog hidden in the top-left corner with its
// icons and its eleven controls, through the dialog frame, then names the text
// boxes after their labels for screen readers and makes the score label a
// polite live region (quietly not where the annotation service cannot be had;
// COM must be initialised). Returns MainDialog (nullptr when the dialog cannot
// be made; the controls are then absent too).
HWND BuildMainDialog();

// Takes back the screen-reader annotations BuildMainDialog gave the controls:
// the text boxes' names and the score label's live region. Quiet without the
// annotation service.
void ClearControlAnnotations(HWND dialog);

// The handler of MainDialog: the Compare, Erase, Begin CW, Stop CW, Run and
// Quit commands, the status text's one-shot timer (id 1, 2000 ms), and on
// WM_DESTROY the controls' annotations taken back and TextFont released. Each
// non-empty text put into the score label is announced to screen readers.
// Returns 0 (not handled) for every message, so the frame's own handling always
// follows.
INT_PTR MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The program: builds the dialog and runs it modally until it is gone. The
// command tail and the show command are not used. Returns the exit code, 0.
int ReceiverMain(HINSTANCE instance, HINSTANCE previousInstance, const char* commandTail,
                 int showCommand);
