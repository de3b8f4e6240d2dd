// Finding the Receiver's folder and starting ZINTRA.EXE from it, written
// against the ProcessSystem table so it runs without Windows.
#include "process_system.h"

#include <string_view>
#include <vector>

namespace {

// The longest path Windows can hold is 32,767 characters (the \\?\ form), so
// with this limit no path the system can report is ever cut, and one that does
// not fit is still seen: the call then returns the limit itself or reports the
// truncation error. The buffer has one byte more, so it always ends in NUL.
constexpr std::uint32_t kModulePathLimit = 32768;

constexpr const char* kTrainerFile = "ZINTRA.EXE";
constexpr std::uint32_t kQuietErrorMode = 0x8001; // SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX
constexpr std::uint32_t kNormalPriorityClass = 0x20;
constexpr StartupSettings kStartup = {68, 1, 1}; // sizeof(STARTUPINFOA), STARTF_USESHOWWINDOW,
                                                 // SW_SHOWNORMAL

// The Receiver's full path into *path; false when it could not be read whole.
bool ReadModulePath(const ProcessSystem& system, std::string* path) {
    std::vector<char> buffer(kModulePathLimit + 1, '\0');
    bool truncated = false;
    const std::uint32_t count = system.moduleFileName(buffer.data(), kModulePathLimit, &truncated);
    if (count == 0 || count >= kModulePathLimit || truncated) {
        return false;
    }
    path->assign(buffer.data());
    return true;
}

// The path up to and including its last backslash; "" when it has none.
std::string FolderOf(std::string_view path) {
    const std::size_t last = path.rfind('\\');
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

} // namespace

std::string ProgramFolderWith(const ProcessSystem& system) {
    std::string path;
    return ReadModulePath(system, &path) ? FolderOf(path) : std::string();
}

void LaunchTrainerWith(const ProcessSystem& system) {
    std::string path;
    if (!ReadModulePath(system, &path)) {
        return; // a cut path could name some other program
    }
    // The program is named outright, and quoted in the command line, so the
    // system never tries the pieces of a folder name with spaces in it.
    const std::string application = FolderOf(path) + kTrainerFile;
    std::string commandLine = '"' + application + '"'; // writable, as CreateProcessA wants
    CreatedProcess created{};
    const std::uint32_t previousMode = system.setErrorMode(kQuietErrorMode);
    const bool started =
        system.createProcess(application.c_str(), commandLine.data(), nullptr, nullptr, true,
                             kNormalPriorityClass, nullptr, nullptr, &kStartup, &created);
    system.setErrorMode(previousMode);
    if (!started) {
        return;
    }
    system.closeHandle(created.process);
    system.closeHandle(created.thread);
}
