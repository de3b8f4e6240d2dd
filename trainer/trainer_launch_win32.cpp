// The Win32 process calls behind the Trainer launch, and the launch's entry
// points that the Receiver's dialog calls.
#include "process_system.h"
#include "trainer_launch.h"

#include <windows.h>

namespace {

static_assert(sizeof(STARTUPINFOA) == kStartupInfoSize,
              "the launch's STARTUPINFOA size is this build's");

std::uint32_t ModuleFileName(char* buffer, std::uint32_t limit, bool* truncationReported) {
    SetLastError(ERROR_SUCCESS);
    const DWORD count = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, limit);
    *truncationReported = GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    return count;
}

std::uint32_t SetMode(std::uint32_t mode) {
    return SetErrorMode(mode);
}

bool CreateTheProcess(const char* applicationName, char* commandLine, void* processAttributes,
                      void* threadAttributes, bool inheritHandles, std::uint32_t creationFlags,
                      void* environment, const char* currentDirectory,
                      const StartupSettings* startup, CreatedProcess* created) {
    STARTUPINFOA info{};
    info.cb = startup->cb;
    info.dwFlags = startup->flags;
    info.wShowWindow = startup->showWindow;
    PROCESS_INFORMATION process{};
    const BOOL ok = CreateProcessA(
        applicationName, commandLine, static_cast<LPSECURITY_ATTRIBUTES>(processAttributes),
        static_cast<LPSECURITY_ATTRIBUTES>(threadAttributes), inheritHandles ? TRUE : FALSE,
        creationFlags, environment, currentDirectory, &info, &process);
    created->process = reinterpret_cast<ProcessHandle>(process.hProcess);
    created->thread = reinterpret_cast<ProcessHandle>(process.hThread);
    created->processId = process.dwProcessId;
    created->threadId = process.dwThreadId;
    return ok != FALSE;
}

void Close(ProcessHandle handle) {
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

const ProcessSystem kWin32 = {ModuleFileName, SetMode, CreateTheProcess, Close};

} // namespace

const ProcessSystem& Win32ProcessSystem() {
    return kWin32;
}

HeapText ProgramFolder() {
    return ProgramFolderWith(kWin32);
}

void LaunchTrainer() {
    LaunchTrainerWith(kWin32);
}
