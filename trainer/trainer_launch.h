// Starting the Trainer, ZINTRA.EXE, from the folder that holds the Receiver.
#pragma once

#include "text.h"

// A new text owned by the caller (FreeText releases it): the folder of the
// Receiver's executable with its trailing backslash; "" when the path has no
// backslash or cannot be read whole, and the empty text when memory runs out.
HeapText ProgramFolder();

// Starts ZINTRA.EXE from the Receiver's folder and returns at once. On any
// failure nothing is started and nothing is shown.
void LaunchTrainer();
