// receiver.exe driven from outside as a person would, with the practice Trainer
// as ZINTRA.EXE beside it in a temporary folder: Run, a scored practice round
// over a line break of the Trainer's text, the Alt keys of the buttons, and the
// ways out by Escape and by "&Quit"; and what a screen reader is told, against
// a stand-in for Windows' annotation service.
#include "main_dialog.h"
#include "score_line.h"
#include "wine_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStartMs = 15000;
constexpr DWORD kExitMs = 10000;
constexpr DWORD kSendMs = 10000;
constexpr DWORD kLineMs = 20000;    // a line of ten groups takes the Trainer about 5 s
constexpr int kTrainerReport = 900; // the practice Trainer's click report

// The program driven: the receiver.exe of this build, or the one RECEIVER_EXE
// names (a full path or one relative to this test's folder), such as clang's.
std::string ReceiverPath() {
    const char* named = std::getenv("RECEIVER_EXE");
    std::string path = named != nullptr && *named != '\0' ? named : RECEIVER_EXE_RELATIVE;
    std::replace(path.begin(), path.end(), '/', '\\');
    const bool full = path.size() > 1 && (path[0] == '\\' || path[1] == ':');
    return full ? path : TestFolder() + path;
}

// Sends and waits for the answer, giving up after kSendMs (a hung program
// then fails the check that follows instead of hanging the test).
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendMs, &result);
    return static_cast<LRESULT>(result);
}

// The text of a control of another process: only WM_GETTEXT reads it there.
std::string TextOf(HWND control) {
    std::string text(static_cast<std::size_t>(Send(control, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    const LRESULT copied =
        Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

// EM_GETSEL's packed answer as {start, end}.
std::pair<int, int> SelectionOf(HWND edit) {
    const auto packed = static_cast<DWORD>(Send(edit, EM_GETSEL, 0, 0));
    return {LOWORD(packed), HIWORD(packed)};
}

bool IsBlank(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

std::size_t NonBlanks(const std::string& text, std::size_t end) {
    return static_cast<std::size_t>(std::count_if(text.begin(),
                                                  text.begin() + static_cast<std::ptrdiff_t>(end),
                                                  [](char c) { return !IsBlank(c); }));
}

// Copies receiver.exe and the practice Trainer (as ZINTRA.EXE) into a new
// temporary folder, starts the copy of receiver.exe and waits for its dialog.
// At the end every process the test brought up, the receiver and any Trainer
// it launched from the folder, is ended by its handle, then the folder goes.
class RoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(TrainerWindows().empty()) << "a Trainer window is already up";
        folder = MakeTempFolder();
        const std::string receiver = folder + "receiver.exe";
        trainerPath = folder + "ZINTRA.EXE";
        ASSERT_TRUE(CopyFileA(ReceiverPath().c_str(), receiver.c_str(), FALSE)) << ReceiverPath();
        ASSERT_TRUE(CopyFileA(PracticeTrainerPath().c_str(), trainerPath.c_str(), FALSE))
            << PracticeTrainerPath();
        std::string commandLine = "\"" + receiver + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &startup, &process));
        PollUntil(
            [this] {
                dialog = DialogOf(process.dwProcessId);
                return dialog != nullptr || WaitForSingleObject(process.hProcess, 0) == 0;
            },
            kStartMs);
        ASSERT_NE(nullptr, dialog) << "no dialog titled \"" << kMainDialogCaption << "\"";
    }

    void TearDown() override {
        for (const TopWindow& up : TrainerWindows()) {
            if (lstrcmpiA(ImagePathOf(up.processId).c_str(), trainerPath.c_str()) == 0) {
                EndProcess(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, up.processId));
            }
        }
        if (process.hProcess != nullptr) {
            CloseHandle(process.hThread);
            EndProcess(process.hProcess);
        }
        RemoveTree(folder);
    }

    static HWND DialogOf(DWORD processId) {
        for (const TopWindow& top : TopWindows()) {
            char title[128] = {};
            GetWindowTextA(top.window, title, sizeof title);
            if (top.processId == processId && top.visible &&
                std::string(title) == kMainDialogCaption) {
                return top.window;
            }
        }
        return nullptr;
    }

    HWND Control(int id) const { return GetDlgItem(dialog, id); }
    std::string Text(int id) const { return TextOf(Control(id)); }
    void Click(int id) const { Send(Control(id), BM_CLICK, 0, 0); }
    void SetText(int id, const std::string& text) const {
        Send(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }

    // Waits for the Trainer the receiver launched from the folder; its window.
    HWND AwaitTrainer() {
        PollUntil(
            [this] {
                const auto up = TrainerWindows();
                trainer = up.size() == 1 && up[0].visible ? up[0].window : nullptr;
                return trainer != nullptr;
            },
            kStartMs);
        return trainer;
    }

    std::string TrainerReport() const { return TextOf(GetDlgItem(trainer, kTrainerReport)); }
    std::string TrainerText() const {
        return TextOf(FindWindowExA(trainer, nullptr, "TRichEdit", nullptr));
    }
    bool ReportHas(const std::string& part) const {
        return PollUntil([&] { return TrainerReport().find(part) != std::string::npos; }, kSendMs);
    }
    bool ReportIs(const std::string& report) const {
        return PollUntil([&] { return TrainerReport() == report; }, kSendMs);
    }
    // Lets the Trainer send until its text has at least `length` characters.
    bool SendsAtLeast(std::size_t length, DWORD timeoutMs = kSendMs) const {
        return PollUntil([&] { return TrainerText().size() >= length; }, timeoutMs);
    }

    // Keys are posted to the receiver's queue, to the control with the focus in
    // its thread (the dialog when none has it), with Alt's context bit, the way
    // the keyboard delivers them; its modal loop turns them into mnemonics and
    // commands. keybd_event and SendInput would go to the foreground window
    // instead, which after Run may be the Trainer.
    void PressAlt(char letter) const { PostKey(letter, true); }
    void PostKey(int key, bool alt) const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(process.dwThreadId, &info);
        HWND target = info.hwndFocus != nullptr ? info.hwndFocus : dialog;
        const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
        const auto down = static_cast<DWORD>(1u | (scan << 16) | (alt ? 1u << 29 : 0u));
        const DWORD up = down | (3u << 30);
        PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(key),
                     static_cast<LPARAM>(down));
        PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(key),
                     static_cast<LPARAM>(up));
    }

    bool ScoreBecomes(const std::string& expected) const {
        return PollUntil([&] { return Text(IDC_SCORE) == expected; }, kSendMs);
    }

    // The exit code, or STILL_ACTIVE when the program is still running.
    DWORD ExitCode() const { return WaitForExit(process.hProcess, kExitMs); }

    std::string folder;
    std::string trainerPath;
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;
    HWND trainer = nullptr;
};

TEST_F(RoundTest, RunLaunchesTheTrainerBesideItAndAScoredRoundLeavesTheCopyAlone) {
    Click(IDC_RUN_TRAINER);
    ASSERT_NE(nullptr, AwaitTrainer()) << "Run did not bring up the Trainer";
    DWORD trainerProcess = 0;
    GetWindowThreadProcessId(trainer, &trainerProcess);
    EXPECT_EQ(0, lstrcmpiA(trainerPath.c_str(), ImagePathOf(trainerProcess).c_str()))
        << "the Trainer started is " << ImagePathOf(trainerProcess);
    Click(IDC_RUN_TRAINER);
    EXPECT_EQ("ZINTRA.EXE RUNNING", Text(IDC_SCORE));
    EXPECT_EQ(1u, TrainerWindows().size()) << "a second Run launched another Trainer";

    SetText(IDC_RECEIVED_TEXT, "OLD COPY");
    SetText(IDC_SENT_TEXT, "OLD SENDING");
    // Begin CW and Stop CW reach the Trainer as the BN_CLICKED its buttons'
    // own BM_CLICK handling sends (an unmarked id in its report).
    Click(IDC_BEGIN);
    EXPECT_TRUE(ReportIs("start=1 stop=0 sending=1 clicks=101")) << TrainerReport();
    EXPECT_EQ("", Text(IDC_RECEIVED_TEXT));
    EXPECT_EQ("", Text(IDC_SCORE));
    EXPECT_EQ("", Text(IDC_SENT_TEXT));
    ASSERT_TRUE(SendsAtLeast(66, kLineMs)) << "the Trainer sent only \"" << TrainerText() << "\"";
    Click(IDC_STOP);
    ASSERT_TRUE(ReportIs("start=1 stop=1 sending=0 clicks=101.102")) << TrainerReport();
    const std::string sent = TrainerText();
    EXPECT_FALSE(PollUntil([&] { return TrainerText() != sent; }, 500)) << "still sending";

    // The copy: what was sent over the first line break, with the third
    // letter of the second line wrong.
    ASSERT_GE(sent.size(), 66u);
    ASSERT_EQ("\r\n", sent.substr(59, 2)) << sent;
    const std::size_t wrong = 63; // 0-based
    ASSERT_FALSE(IsBlank(sent[wrong])) << sent;
    std::string copy = sent;
    copy[wrong] = sent[wrong] == 'Q' ? 'X' : 'Q';
    SetText(IDC_RECEIVED_TEXT, copy);
    const std::string typed = Text(IDC_RECEIVED_TEXT);
    ASSERT_EQ(copy, typed);

    Click(IDC_COMPARE);
    const auto correct = static_cast<std::int16_t>(NonBlanks(sent, wrong));
    const auto total = static_cast<std::int16_t>(NonBlanks(sent, sent.size()));
    EXPECT_EQ(FormatScoreLine(correct, total).text, Text(IDC_SCORE));
    EXPECT_EQ(sent, Text(IDC_SENT_TEXT));
    const std::pair<int, int> marked{static_cast<int>(wrong), static_cast<int>(wrong) + 1};
    EXPECT_EQ(marked, SelectionOf(Control(IDC_SENT_TEXT))) << "the sent character";
    EXPECT_EQ(marked, SelectionOf(Control(IDC_RECEIVED_TEXT))) << "the typed character";
    EXPECT_EQ(typed, Text(IDC_RECEIVED_TEXT)) << "after Compare";

    Click(IDC_STOP);
    EXPECT_TRUE(ReportHas("stop=2")) << TrainerReport();
    EXPECT_EQ(typed, Text(IDC_RECEIVED_TEXT)) << "after Stop";
    Click(IDC_RUN_TRAINER);
    EXPECT_EQ("ZINTRA.EXE RUNNING", Text(IDC_SCORE));
    EXPECT_EQ(typed, Text(IDC_RECEIVED_TEXT)) << "after Run";

    Click(IDCANCEL); // "&Quit"
    EXPECT_EQ(0u, ExitCode());
}

TEST_F(RoundTest, AHundredThousandCharactersPutInTheLowerBoxFromOutsideGetADefinedScore) {
    Click(IDC_RUN_TRAINER);
    ASSERT_NE(nullptr, AwaitTrainer());
    Click(IDC_BEGIN);
    ASSERT_TRUE(SendsAtLeast(6));
    Click(IDC_STOP);
    ASSERT_TRUE(ReportHas("sending=0")) << TrainerReport();
    const std::string sent = TrainerText();

    // Lines of blanks far past what the counts can hold, then the sent text:
    // the walk runs out of the received text among the blanks.
    std::string huge;
    while (huge.size() < 99000) {
        huge += std::string(62, ' ') + "\r\n";
    }
    huge += sent;
    huge.resize(100000, 'Q');
    // Wine's edit box takes tens of seconds to take in this much text.
    DWORD_PTR ignored = 0;
    ASSERT_NE(0, SendMessageTimeoutA(Control(IDC_RECEIVED_TEXT), WM_SETTEXT, 0,
                                     reinterpret_cast<LPARAM>(huge.c_str()), SMTO_NORMAL, 180000,
                                     &ignored));
    const std::string typed = Text(IDC_RECEIVED_TEXT);
    ASSERT_EQ(huge, typed);

    Click(IDC_COMPARE);
    const auto total = static_cast<std::int16_t>(NonBlanks(sent, sent.size()));
    EXPECT_EQ(FormatScoreLine(0, total).text, Text(IDC_SCORE));
    EXPECT_EQ(std::make_pair(0, 1), SelectionOf(Control(IDC_SENT_TEXT)));
    const std::pair<int, int> none = SelectionOf(Control(IDC_RECEIVED_TEXT));
    EXPECT_EQ(none.first, none.second) << "the typed text has a mark";
    EXPECT_EQ(typed, Text(IDC_RECEIVED_TEXT)) << "after Compare";
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(process.hProcess, 0))
        << "the Receiver ended";

    Click(IDCANCEL);
    EXPECT_EQ(0u, ExitCode());
}

TEST_F(RoundTest, AltKeysPressTheirButtons) {
    PressAlt('R');
    ASSERT_NE(nullptr, AwaitTrainer()) << "Alt+R did not launch the Trainer";
    PressAlt('B');
    EXPECT_TRUE(ReportHas("start=1 stop=0 sending=1")) << "Alt+B: " << TrainerReport();
    ASSERT_TRUE(SendsAtLeast(6));
    PressAlt('S');
    EXPECT_TRUE(ReportHas("start=1 stop=1 sending=0")) << "Alt+S: " << TrainerReport();

    const std::string sent = TrainerText();
    SetText(IDC_RECEIVED_TEXT, sent);
    PressAlt('C');
    const auto total = static_cast<std::int16_t>(NonBlanks(sent, sent.size()));
    EXPECT_TRUE(ScoreBecomes(FormatScoreLine(total, total).text)) << "Alt+C: " << Text(IDC_SCORE);

    PressAlt('E');
    EXPECT_TRUE(PollUntil([this] { return Text(IDC_RECEIVED_TEXT).empty(); }, kSendMs))
        << "Alt+E left \"" << Text(IDC_RECEIVED_TEXT) << "\"";
    EXPECT_EQ(sent, Text(IDC_SENT_TEXT)) << "Erase touched the upper box";

    PressAlt('R');
    EXPECT_TRUE(ScoreBecomes("ZINTRA.EXE RUNNING")) << "Alt+R: " << Text(IDC_SCORE);
    EXPECT_EQ(1u, TrainerWindows().size());

    PressAlt('Q');
    EXPECT_EQ(0u, ExitCode()) << "Alt+Q";
}

// The whole program against the recording stand-in for Windows' annotation
// service, registered under the service's class id. ctest runs this in a Wine
// prefix of its own (RECEIVER_ANNOTATION_STANDIN), so that every other test
// meets Wine's own service, which implements none of it: there the program's
// quiet failure is what they check.
class AnnotatedRoundTest : public RoundTest {
  protected:
    void SetUp() override {
        if (std::getenv("RECEIVER_ANNOTATION_STANDIN") == nullptr) {
            GTEST_SKIP() << "needs the annotation stand-in's own Wine prefix";
        }
        const std::string standin = TestFolder() + "annotation_standin.dll";
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, nullptr, 0,
                                                 KEY_SET_VALUE, nullptr, &key, nullptr));
        const LONG set =
            RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(standin.c_str()),
                           static_cast<DWORD>(standin.size() + 1));
        RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, set) << standin;
        log = TestFolder() + "annotations.log";
        DeleteFileA(log.c_str());
        ASSERT_TRUE(SetEnvironmentVariableA("RECEIVER_ANNOTATION_LOG", log.c_str()));
        RoundTest::SetUp();
        hook = SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED,
                               nullptr, OnEvent, process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
        ASSERT_NE(nullptr, hook);
    }
    void TearDown() override {
        if (hook != nullptr) {
            UnhookWinEvent(hook);
        }
        RoundTest::TearDown();
        DeleteFileA(log.c_str());
    }

    static constexpr const char* kServerKey =
        "Software\\Classes\\CLSID\\{B5F8350B-0548-48B1-A6EE-88BD00B4A5E7}\\InprocServer32";

    // Each event as "<control id> <object id> <child id>".
    static std::vector<std::string> events;
    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                                 DWORD) {
        char text[64] = {};
        std::snprintf(text, sizeof text, "%d %ld %ld", GetDlgCtrlID(window), object, child);
        events.emplace_back(text);
    }

    // The live-region events raised while `act` runs and for half a second
    // after, which they are delivered in while this thread takes its messages.
    template <typename Act> std::vector<std::string> EventsOf(Act act) {
        events.clear();
        act();
        PollUntil(
            [] {
                MSG message;
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                    DispatchMessageA(&message);
                }
                return false;
            },
            500);
        return events;
    }

    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        if (std::FILE* file = std::fopen(log.c_str(), "rb")) {
            char line[512];
            while (std::fgets(line, sizeof line, file) != nullptr) {
                lines.emplace_back(line, std::strcspn(line, "\r\n"));
            }
            std::fclose(file);
        }
        return lines;
    }

    std::string log;
    HWINEVENTHOOK hook = nullptr;
};
std::vector<std::string> AnnotatedRoundTest::events;

TEST_F(AnnotatedRoundTest, TextBoxesAreNamedAndTheScoreLineIsSpoken) {
    const std::string name = " {608D3DF8-8128-4AA7-A428-F55E49267291}";
    const std::string live = " {C12BCD8E-2A8E-4950-8AE7-3625111D58EB}";
    const std::vector<std::string> annotated = {
        "SetHwndPropStr 102 -4 0" + name + " Type Received Text in this window",
        "SetHwndPropStr 101 -4 0" + name + " Zintra Trainer Transmission Text",
        "SetHwndProp 103 -4 0" + live + " vt=3 1",
    };
    EXPECT_EQ(annotated, LogLines()) << "at start";

    const std::vector<std::string> none;
    const std::vector<std::string> spoken = {"103 -4 0"};
    EXPECT_EQ(none, EventsOf([this] { Click(IDC_RUN_TRAINER); })) << "Run, launching";
    ASSERT_NE(nullptr, AwaitTrainer());
    EXPECT_EQ(spoken, EventsOf([this] { Click(IDC_COMPARE); })) << "Compare";
    EXPECT_EQ(" 0 out of 0 = 0.00%", Text(IDC_SCORE));
    EXPECT_EQ(none, EventsOf([this] { Click(IDC_ERASE); })) << "Erase";
    EXPECT_EQ(spoken, EventsOf([this] { Click(IDC_RUN_TRAINER); })) << "Run, running";
    EXPECT_EQ("ZINTRA.EXE RUNNING", Text(IDC_SCORE));
    // The status timer empties the label 2 s after Run, silently.
    bool emptied = false;
    EXPECT_EQ(none, EventsOf([&] { emptied = ScoreBecomes(""); })) << "the status timer";
    EXPECT_TRUE(emptied) << Text(IDC_SCORE);
    EXPECT_EQ(none, EventsOf([this] { Click(IDC_BEGIN); })) << "Begin CW";

    Click(IDCANCEL);
    EXPECT_EQ(0u, ExitCode());
    std::vector<std::string> cleared = annotated;
    for (const char* id : {"102", "101", "103"}) {
        cleared.push_back(std::string("ClearHwndProps ") + id + " -4 0" + name + live);
    }
    EXPECT_EQ(cleared, LogLines()) << "after Quit";
}

// ctest runs these rounds again in Wine prefixes set to report other versions
// of Windows, named by RECEIVER_WINDOWS_VERSION: the version is in effect.
TEST(WindowsVersion, IsTheOneThePrefixWasSetTo) {
    const char* asked = std::getenv("RECEIVER_WINDOWS_VERSION");
    if (asked == nullptr) {
        GTEST_SKIP() << "run in the default prefix";
    }
    struct Version {
        const char* name;
        DWORD major, minor;
    };
    // Windows XP for 64-bit programs is XP x64, 5.2.
    static const Version kVersions[] = {
        {"winxp", 5, 1}, {"winxp64", 5, 2}, {"win7", 6, 1}, {"win10", 10, 0}};
    const auto* want =
        std::find_if(std::begin(kVersions), std::end(kVersions),
                     [&](const Version& v) { return std::strcmp(v.name, asked) == 0; });
    ASSERT_NE(std::end(kVersions), want) << "no version known as " << asked;
    // The system's own answer, which no manifest or compatibility setting bends.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(nullptr, rtlGetVersion);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_EQ(0, rtlGetVersion(&info));
    EXPECT_EQ(want->major, info.dwMajorVersion) << asked;
    EXPECT_EQ(want->minor, info.dwMinorVersion) << asked;
}

TEST_F(RoundTest, EscapeEndsItWithExitCodeZero) {
    PostKey(VK_ESCAPE, false);
    EXPECT_EQ(0u, ExitCode());
}

} // namespace
