// Finding the Receiver's folder and starting ZINTRA.EXE from it, written
// against the ProcessSystem table so it runs without Windows.
#include "process_system.h"

#include <cstring>
#include <string_view>

namespace {

// The longest path Windows can hold is 32,767 characters (the \\?\ form), so
// with this limit no path the system can report is ever cut, and one that does
// not fit is still seen: the call then returns the limit itself or reports the
// truncation error. The buffer has one byte more, so it always ends in NUL.
constexpr std::uint32_t kModulePathLimit = 32768;

constexpr const char* kTrainerFile = "ZINTRA.EXE";
constexpr std::uint32_t kQuietErrorMode = 0x8001; // SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX
constexpr std::uint32_t kNormalPriorityClass = 0x20;
constexpr StartupSettings kStartup = {kStartupInfoSize, 1, 1}; // STARTF_USESHOWWINDOW,
                                                               // SW_SHOWNORMAL

// The Receiver's full path, a new text owned by the caller; the empty text
// when it could not be read whole or its buffer could not be had.
HeapText ReadModulePath(const ProcessSystem& system) {
    HeapText path = NewText(kModulePathLimit);
    if (path.chars == nullptr) {
        return path;
    }
    bool truncated = false;
    const std::uint32_t count = system.moduleFileName(path.chars, kModulePathLimit, &truncated);
    if (count == 0 || count >= kModulePathLimit || truncated) {
        FreeText(&path);
        return path;
    }
    path.length = std::strlen(path.chars);
    return path;
}

// The path up to and including its last backslash; "" when it has none. Not
// substr(), for the reason given in scoring/compare.cpp.
std::string_view FolderOf(std::string_view path) {
    const std::size_t last = path.rfind('\\');
    return last == std::string_view::npos ? std::string_view()
                                          : std::string_view(path.data(), last + 1);
}

} // namespace

HeapText ProgramFolderWith(const ProcessSystem& system) {
    HeapText path = ReadModulePath(system);
    if (path.chars != nullptr) {
        // The folder is where the path begins: cut the path to it.
        path.length = FolderOf(TextView(path)).size();
        path.chars[path.length] = '\0';
    }
    return path;
}

void LaunchTrainerWith(const ProcessSystem& system) {
    HeapText path = ReadModulePath(system);
    if (path.chars == nullptr) {
        return; // a cut path could name some other program
    }
    // The program is named outright, and quoted in the command line, so the
    // system never tries the pieces of a folder name with spaces in it.
    HeapText application = JoinText(FolderOf(TextView(path)), kTrainerFile);
    FreeText(&path);
    // Writable, as CreateProcessA wants.
    HeapText commandLine = JoinText("\"", TextView(application), "\"");
    if (application.chars == nullptr || commandLine.chars == nullptr) {
        FreeText(&application);
        FreeText(&commandLine);
        return;
    }
    CreatedProcess created{};
    const std::uint32_t previousMode = system.setErrorMode(kQuietErrorMode);
    const bool started =
        system.createProcess(application.chars, commandLine.chars, nullptr, nullptr, true,
                             kNormalPriorityClass, nullptr, nullptr, &kStartup, &created);
    system.setErrorMode(previousMode);
    FreeText(&application);
    FreeText(&commandLine);
    if (!started) {
        return;
    }
    system.closeHandle(created.process);
    system.closeHandle(created.thread);
}
