// The logging handler behind RunLogged, with its watchdog.
#include "logged_run.h"

#include "message_log.h"

namespace {

constexpr UINT_PTR kWatchdogTimer = 0x7A7A;
constexpr UINT kWatchdogMs = 5000;

FrameHandler reactionOfRun = nullptr;
bool watchdogFired = false;

INT_PTR LoggingHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kWatchdogTimer) {
        watchdogFired = true;
        DestroyWindow(dialog);
        return TRUE;
    }
    LogMessage(message, wParam, lParam);
    return reactionOfRun != nullptr ? reactionOfRun(dialog, message, wParam, lParam) : 0;
}

} // namespace

bool RunLogged(HWND dialog, FrameHandler reaction) {
    MessageLog.clear();
    reactionOfRun = reaction;
    watchdogFired = false;
    SetTimer(dialog, kWatchdogTimer, kWatchdogMs, nullptr);
    FrameRunModal(dialog, LoggingHandler);
    const bool endedByItself = !watchdogFired && !IsWindow(dialog);
    if (IsWindow(dialog)) {
        DestroyWindow(dialog);
    }
    reactionOfRun = nullptr;
    return endedByItself;
}
