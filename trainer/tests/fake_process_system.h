// A recording fake of the process calls for the Trainer launch's native tests.
#pragma once

#include "process_system.h"

#include <string>
#include <vector>

// How the fake reports a module path that does not fit the limit.
enum class CutStyle {
    CountAndError, // Vista and later: limit - 1 characters and a NUL, the limit, the error
    CountOnly,     // XP: limit characters and no NUL, the limit, no error
};

struct FakeProcesses {
    std::string modulePath; // what GetModuleFileNameA would deliver
    CutStyle cutStyle = CutStyle::CountAndError;
    bool moduleFails = false; // the call returns 0
    bool createSucceeds = true;
    std::uint32_t errorMode = 0x0004; // the current mode

    // One line per call, e.g. "module 32768", "mode 8001", "create", "close 11".
    std::vector<std::string> calls;

    // CreateProcessA's parameters, as last given (the pointers are only compared).
    bool applicationNameGiven = false;
    std::string applicationName;
    std::string commandLine;
    void* processAttributes = nullptr;
    void* threadAttributes = nullptr;
    bool inheritHandles = false;
    std::uint32_t creationFlags = 0;
    void* environment = nullptr;
    const char* currentDirectory = nullptr;
    StartupSettings startup{};
    std::uint32_t errorModeDuringCreate = 0;
};

// The fake's table, working on *processes from now on. A created process gets
// process handle 11 and thread handle 12.
const ProcessSystem& FakeProcessSystem(FakeProcesses* processes);
