// The recording fake process calls: a module path, an error mode, and a
// process creation that only notes what it was asked.
#include "fake_process_system.h"

#include <cstdio>
#include <cstring>

namespace {

FakeProcesses* g_fake = nullptr;

std::uint32_t ModuleFileName(char* buffer, std::uint32_t limit, bool* truncationReported) {
    g_fake->calls.push_back("module " + std::to_string(limit));
    *truncationReported = false;
    if (g_fake->moduleFails) {
        return 0;
    }
    const std::string& path = g_fake->modulePath;
    if (path.size() < limit) {
        std::memcpy(buffer, path.c_str(), path.size() + 1);
        return static_cast<std::uint32_t>(path.size());
    }
    if (g_fake->cutStyle == CutStyle::CountOnly) {
        std::memcpy(buffer, path.data(), limit);
    } else {
        std::memcpy(buffer, path.data(), limit - 1);
        buffer[limit - 1] = '\0';
        *truncationReported = true;
    }
    return limit;
}

std::uint32_t SetMode(std::uint32_t mode) {
    char line[32];
    std::snprintf(line, sizeof line, "mode %x", static_cast<unsigned>(mode));
    g_fake->calls.emplace_back(line);
    const std::uint32_t previous = g_fake->errorMode;
    g_fake->errorMode = mode;
    return previous;
}

bool CreateTheProcess(const char* applicationName, char* commandLine, void* processAttributes,
                      void* threadAttributes, bool inheritHandles, std::uint32_t creationFlags,
                      void* environment, const char* currentDirectory,
                      const StartupSettings* startup, CreatedProcess* created) {
    g_fake->calls.emplace_back("create");
    g_fake->applicationNameGiven = applicationName != nullptr;
    g_fake->applicationName = applicationName != nullptr ? applicationName : "";
    g_fake->commandLine = commandLine;
    g_fake->processAttributes = processAttributes;
    g_fake->threadAttributes = threadAttributes;
    g_fake->inheritHandles = inheritHandles;
    g_fake->creationFlags = creationFlags;
    g_fake->environment = environment;
    g_fake->currentDirectory = currentDirectory;
    g_fake->startup = *startup;
    g_fake->errorModeDuringCreate = g_fake->errorMode;
    if (!g_fake->createSucceeds) {
        return false;
    }
    *created = {11, 12, 300, 301};
    return true;
}

void Close(ProcessHandle handle) {
    g_fake->calls.push_back("close " + std::to_string(handle));
}

const ProcessSystem kFake = {ModuleFileName, SetMode, CreateTheProcess, Close};

} // namespace

const ProcessSystem& FakeProcessSystem(FakeProcesses* processes) {
    g_fake = processes;
    return kFake;
}
