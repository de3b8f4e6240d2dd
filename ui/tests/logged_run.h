// Runs a dialog modally through the frame with a handler that logs every
// message it sees, so a test can compare the sequence afterwards.
#pragma once

#include "dialog_frame.h"

// Clears MessageLog and runs the dialog with FrameRunModal. Every message the
// frame passes on is logged, then given to reaction (the test's own handler;
// nullptr handles nothing). A watchdog destroys a dialog that is still up after
// five seconds. Returns true when the dialog was ended by the run itself and not
// by the watchdog; a dialog still there when the loop returns is destroyed.
bool RunLogged(HWND dialog, FrameHandler reaction);
