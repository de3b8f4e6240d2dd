// Fuzzes the building of the Trainer's path and command line from any module
// path the system might report, cut or whole: the program started must be
// ZINTRA.EXE in the Receiver's own folder, named outright and quoted.
#include "process_system.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string modulePath;
bool created = false;
std::string application;
std::string commandLine;
int closes = 0;
std::uint32_t errorMode = 0;

std::uint32_t ModuleFileName(char* buffer, std::uint32_t limit, bool* truncated) {
    // As Windows does: copy what fits, NUL-terminate, report a cut.
    const std::size_t n = modulePath.size() < limit - 1 ? modulePath.size() : limit - 1;
    std::memcpy(buffer, modulePath.data(), n);
    buffer[n] = '\0';
    *truncated = modulePath.size() >= limit;
    return *truncated ? limit : static_cast<std::uint32_t>(n);
}
std::uint32_t SetMode(std::uint32_t mode) {
    const std::uint32_t old = errorMode;
    errorMode = mode;
    return old;
}
bool Create(const char* app, char* cmd, void*, void*, bool, std::uint32_t, void*, const char*,
            const StartupSettings*, CreatedProcess* info) {
    created = true;
    application = app != nullptr ? app : "";
    commandLine = cmd != nullptr ? cmd : "";
    info->process = 1;
    info->thread = 2;
    return true;
}
void Close(ProcessHandle) {
    ++closes;
}

const ProcessSystem kFake = {ModuleFileName, SetMode, Create, Close};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The path is the input up to its first NUL, stretched past every limit when asked.
    modulePath.assign(reinterpret_cast<const char*>(data),
                      strnlen(reinterpret_cast<const char*>(data), size));
    if (!modulePath.empty() && modulePath[0] == '*') {
        while (modulePath.size() < 33000) {
            modulePath += modulePath;
        }
    }
    created = false;
    closes = 0;
    errorMode = 7;

    HeapText folderText = ProgramFolderWith(kFake);
    const std::string folder(TextView(folderText));
    FreeText(&folderText);
    LaunchTrainerWith(kFake);

    Check(errorMode == 7); // the previous mode is always put back
    const std::size_t slash = modulePath.rfind('\\');
    const bool whole = !modulePath.empty() && modulePath.size() < 32768;
    if (!whole) {
        Check(!created && folder.empty());
        return 0;
    }
    Check(folder == (slash == std::string::npos ? "" : modulePath.substr(0, slash + 1)));
    Check(created && closes == 2);
    Check(application == folder + "ZINTRA.EXE");
    Check(commandLine == "\"" + application + "\"");
    return 0;
}
