// Starting the Trainer, ZINTRA.EXE, from the folder that holds the Receiver.
#pragma once

#include <string>

// A new string owned by the caller: the folder of the Receiver's executable with
// its trailing backslash; "" when the path has no backslash or cannot be read whole.
std::string ProgramFolder();

// Starts ZINTRA.EXE from the Receiver's folder and returns at once. On any
// failure nothing is started and nothing is shown.
void LaunchTrainer();
