// The process entry of receiver.exe: COM for the thread, the start-up values,
// ReceiverMain, and the exit with its code.
#include "main_dialog.h"

#include <objbase.h>

namespace {

// The command line after the program name and the blanks that follow it.
const char* CommandTail(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') {
            ++p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        while (*p != '\0' && *p != ' ' && *p != '\t') {
            ++p;
        }
    }
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    return p;
}

// The show command the starting program asked for, else SW_SHOWDEFAULT.
int StartupShowCommand() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    if ((startup.dwFlags & STARTF_USESHOWWINDOW) != 0) {
        return startup.wShowWindow;
    }
    return SW_SHOWDEFAULT;
}

} // namespace

int main() {
    CoInitialize(nullptr);
    const int exitCode = ReceiverMain(GetModuleHandleA(nullptr), nullptr,
                                      CommandTail(GetCommandLineA()), StartupShowCommand());
    CoUninitialize();
    ExitProcess(static_cast<UINT>(exitCode));
}
