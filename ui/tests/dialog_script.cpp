// Scripts run inside the real main dialog's modal loop, and what they read
// from the dialog and from the practice Trainer.
#include "dialog_script.h"

#include "dialog_frame.h"
#include "main_dialog.h"
#include "message_log.h"
#include "wine_support.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT kRunScript = WM_APP + 7;
constexpr int kReportId = 900; // the practice Trainer's click report
constexpr DWORD kTrainerStartMs = 15000;

// The script of the current run; it is called once from inside the modal loop.
const std::function<void(HWND dialog)>* currentScript = nullptr;

INT_PTR ScriptHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunScript) {
        (*currentScript)(dialog);
        // A script that stopped early on a failed check still ends its dialog.
        if (IsWindow(dialog)) {
            FrameEndDialog(dialog, 0);
        }
        return TRUE;
    }
    LogMessage(message, wParam, lParam);
    return MainDialogProc(dialog, message, wParam, lParam);
}

struct Selection {
    DWORD start;
    DWORD end;
};

Selection SelectionOf(HWND dialog, int id) {
    Selection s{};
    SendMessageA(GetDlgItem(dialog, id), EM_GETSEL, reinterpret_cast<WPARAM>(&s.start),
                 reinterpret_cast<LPARAM>(&s.end));
    return s;
}

} // namespace

void RunScript(const std::function<void(HWND dialog)>& script) {
    MessageLog.clear();
    currentScript = &script;
    HWND dialog = BuildMainDialog();
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, kRunScript, 0, 0);
    FrameRunModal(dialog, ScriptHandler);
    currentScript = nullptr;
    EXPECT_FALSE(IsWindow(dialog));
}

void Pump(HWND dialog, DWORD ms) {
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < ms && IsWindow(dialog)) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(1);
            continue;
        }
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void Command(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

::testing::AssertionResult Selects(HWND dialog, int id, DWORD start, DWORD end) {
    const Selection s = SelectionOf(dialog, id);
    if (s.start == start && s.end == end) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "control " << id << ": expected selection " << start
                                         << ".." << end << ", got " << s.start << ".." << s.end;
}

::testing::AssertionResult SelectsNothing(HWND dialog, int id) {
    const Selection s = SelectionOf(dialog, id);
    if (s.start == s.end) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "control " << id << ": expected no selection, got " << s.start << ".." << s.end;
}

HWND TrainerWindow() {
    return FindWindowA(nullptr, kTrainerTitle);
}

HANDLE StartPracticeTrainer(const std::string& switches) {
    const std::string path = PracticeTrainerPath();
    HANDLE trainer = StartProcess(path, "\"" + path + "\" " + switches);
    if (trainer == nullptr) {
        return nullptr;
    }
    if (!PollUntil([] { return TrainerWindow() != nullptr && IsWindowVisible(TrainerWindow()); },
                   kTrainerStartMs)) {
        EndProcess(trainer);
        return nullptr;
    }
    return trainer;
}

void PracticeTrainerTest::SetUp() {
    ASSERT_TRUE(TrainerWindows().empty()) << "a Trainer window is already up";
}

void PracticeTrainerTest::TearDown() {
    EndProcess(trainer_);
    trainer_ = nullptr;
    if (!textFile_.empty()) {
        DeleteFileA(textFile_.c_str());
    }
}

void PracticeTrainerTest::StartTrainer(const std::string& switches) {
    trainer_ = StartPracticeTrainer(switches);
    ASSERT_NE(nullptr, trainer_) << "the practice Trainer did not come up with " << switches;
}

void PracticeTrainerTest::StartTrainerWithText(const std::string& bytes,
                                               const std::string& switches) {
    textFile_ = TestFolder() + "practice_text.bin";
    ASSERT_TRUE(WriteBytes(textFile_, bytes)) << textFile_;
    StartTrainer(switches + " --text-file \"" + textFile_ + "\"");
}

std::string TrainerReport() {
    char text[256] = {};
    GetWindowTextA(GetDlgItem(TrainerWindow(), kReportId), text, sizeof text);
    return text;
}

std::string TrainerText() {
    return TrainerTextOf(TrainerWindow());
}

int TrainerCount(const char* name) {
    const std::string report = TrainerReport();
    const std::size_t at = report.find(std::string(name) + "=");
    return at == std::string::npos ? -1 : std::atoi(report.c_str() + at + std::strlen(name) + 1);
}
