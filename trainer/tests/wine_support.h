// Helpers for the Trainer link's Windows tests: polling, paths, temporary
// folders, top-level windows, and starting and ending programs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

extern const char* const kTrainerTitle;

// True when the program runs under Wine rather than Windows (ntdll exports
// wine_get_version there); checks of what Wine does not report are skipped.
bool RunningUnderWine();

// Asks `done` every 20 ms until it says true or timeoutMs have passed; its last answer.
bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs);

// The folder of the running test program, with a trailing backslash.
std::string TestFolder();

// The full path of the practice Trainer in the build tree.
std::string PracticeTrainerPath();

// Starts `application` (nullptr when empty) with the whole `commandLine`; the
// new process's handle, for EndProcess to end and close, or nullptr.
HANDLE StartProcess(const std::string& application, const std::string& commandLine);

// Ends the process if it still runs, waits for it, and closes the handle.
void EndProcess(HANDLE process);

// Waits for the process to end by itself; its exit code, or STILL_ACTIVE on time-out.
DWORD WaitForExit(HANDLE process, DWORD timeoutMs);

// The full path of the program a process runs; "" when it cannot be read.
std::string ImagePathOf(DWORD processId);

struct TopWindow {
    HWND window;
    DWORD processId;
    bool visible;
    bool trainer; // titled exactly like the Trainer
};

// Every top-level window, in the window system's order.
std::vector<TopWindow> TopWindows();

// The top-level windows titled exactly like the Trainer.
std::vector<TopWindow> TrainerWindows();

// The visible top-level windows of programs run from `folder` (by their image
// path), and any Trainer window: what a launch from that folder could bring up,
// blind to the windows other tests running at the same time open and close.
std::size_t VisibleWindowsFrom(const std::string& folder);

// What the Trainer window's first TRichEdit child gives to WM_GETTEXT, asked
// with room for all of it; "" when it has none.
std::string TrainerTextOf(HWND trainer);

// Writes exactly these bytes to a new file at `path`; false when it cannot.
bool WriteBytes(const std::string& path, const std::string& bytes);

// A new empty folder under the temporary folder, with a trailing backslash.
std::string MakeTempFolder();

// Deletes the folder and everything in it; nothing for "".
void RemoveTree(const std::string& folder);
