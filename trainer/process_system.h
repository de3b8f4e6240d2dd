// The process calls the Trainer launch makes, as a table of plain function
// pointers, so the launch logic runs against the real system or a test's fake.
#pragma once

#include "text.h"

#include <cstdint>

using ProcessHandle = std::uintptr_t; // 0 = none

// STARTUPINFOA's size, which its first field gives: 68 bytes in a 32-bit
// program, 104 in a 64-bit one (its pointers and handles widen).
constexpr std::uint32_t kStartupInfoSize = sizeof(void*) == 8 ? 104 : 68;

// The STARTUPINFOA fields the launch sets; every other field is 0.
struct StartupSettings {
    std::uint32_t cb;
    std::uint32_t flags;
    std::uint16_t showWindow;
};

// What CreateProcessA reports back in its PROCESS_INFORMATION.
struct CreatedProcess {
    ProcessHandle process;
    ProcessHandle thread;
    std::uint32_t processId;
    std::uint32_t threadId;
};

struct ProcessSystem {
    // GetModuleFileNameA(GetModuleHandleA(NULL), buffer, limit): the count the call
    // returns; *truncationReported is set when it reports ERROR_INSUFFICIENT_BUFFER.
    std::uint32_t (*moduleFileName)(char* buffer, std::uint32_t limit, bool* truncationReported);
    // SetErrorMode: sets the mode and returns the previous one.
    std::uint32_t (*setErrorMode)(std::uint32_t mode);
    // CreateProcessA with every parameter as given; true when the process was created.
    bool (*createProcess)(const char* applicationName, char* commandLine, void* processAttributes,
                          void* threadAttributes, bool inheritHandles, std::uint32_t creationFlags,
                          void* environment, const char* currentDirectory,
                          const StartupSettings* startup, CreatedProcess* created);
    // CloseHandle.
    void (*closeHandle)(ProcessHandle handle);
};

// The real Win32 calls; defined in the Windows build only. The table is static.
const ProcessSystem& Win32ProcessSystem();

// ProgramFolder and LaunchTrainer against `system`, with the same results,
// ownership and silent failures.
HeapText ProgramFolderWith(const ProcessSystem& system);
void LaunchTrainerWith(const ProcessSystem& system);
