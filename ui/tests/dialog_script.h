// Running the real main dialog in this process with a test script inside its
// modal loop, and reading what the script needs to check: selections, the
// practice Trainer's window and its click report.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

// Builds MainDialog and runs it with the frame; `script` runs once inside the
// loop with MainDialogProc attached, every message it sees is logged in
// MessageLog, and the dialog is gone when this returns.
void RunScript(const std::function<void(HWND dialog)>& script);

// Runs the thread's messages, as the modal loop does, for ms milliseconds.
void Pump(HWND dialog, DWORD ms);

// Gives the command as its button would, and returns when it has been handled.
void Command(HWND dialog, int id);

// Passes when the control selects start..end (0-based, end exclusive).
::testing::AssertionResult Selects(HWND dialog, int id, DWORD start, DWORD end);
::testing::AssertionResult SelectsNothing(HWND dialog, int id);

// The Trainer's top-level window, or nullptr.
HWND TrainerWindow();

// Starts the practice Trainer with these switches and waits until its window
// shows; the process for EndProcess, or nullptr when no window came up.
HANDLE StartPracticeTrainer(const std::string& switches);

// A test with a practice Trainer of its own, started once no other Trainer is
// up, and ended (its text file deleted) when the test ends.
class PracticeTrainerTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the practice Trainer with these switches.
    void StartTrainer(const std::string& switches);
    // Starts it with exactly these bytes as its text, put first in a file,
    // and these further switches.
    void StartTrainerWithText(const std::string& bytes, const std::string& switches = "");

    HANDLE trainer_ = nullptr;
    std::string textFile_;
};

// The practice Trainer's click report, "start=N stop=M sending=S clicks=...",
// and one count from it (-1 when absent).
std::string TrainerReport();
// What the practice Trainer's TRichEdit gives to WM_GETTEXT, asked with room for all of it.
std::string TrainerText();
int TrainerCount(const char* name);
