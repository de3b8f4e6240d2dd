// The Trainer link and launch on a real window system (Wine), across processes,
// against the practice Trainer started by each test and ended by its handle:
// its owner-drawn buttons clicked into BN_CLICKED, its rich-edit text read as
// the control gives it.
#include "practice_options.h"
#include "trainer_launch.h"
#include "window_system.h"
#include "wine_support.h"

#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr DWORD kWindowTimeoutMs = 15000; // a 30,000-character text takes seconds to set
constexpr int kReportId = 900;

// What ReadTrainerText reads, as a string.
std::string ReadText() {
    static char text[kTrainerTextSize];
    const std::size_t length = ReadTrainerText(text);
    return std::string(text, length);
}

// What ReadTrainerTextWith reads through `system`, as a string.
std::string ReadTextWith(const WindowSystem& system) {
    static char text[kTrainerTextSize];
    const std::size_t length = ReadTrainerTextWith(system, text);
    return std::string(text, length);
}

std::string Quoted(const std::string& path) {
    return '"' + path + '"';
}

std::string Report(HWND trainer) {
    char text[128] = {};
    GetWindowTextA(GetDlgItem(trainer, kReportId), text, sizeof text);
    return text;
}

class Trainer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(TrainerWindows().empty()) << "a Trainer window was already open";
    }

    void TearDown() override {
        EndStarted();
        if (!folder_.empty()) {
            RemoveTree(folder_);
        }
    }

    // Starts the practice Trainer with these switches; its window once shown, or nullptr.
    HWND Start(const std::string& switches) {
        const std::string path = PracticeTrainerPath();
        HANDLE process = StartProcess(path, Quoted(path) + " " + switches);
        if (process == nullptr) {
            ADD_FAILURE() << "cannot start " << path;
            return nullptr;
        }
        started_.push_back(process);
        return WaitForWindowOf(GetProcessId(process));
    }

    // Starts it with exactly these bytes as its text, put first in a file.
    HWND StartWithText(const std::string& bytes, const std::string& switches = "") {
        if (folder_.empty()) {
            folder_ = MakeTempFolder();
        }
        const std::string file = folder_ + "sent.txt";
        EXPECT_TRUE(WriteBytes(file, bytes)) << file;
        return Start(switches + " --text-file " + Quoted(file));
    }

    // The first visible top-level window of the process, once there is one.
    HWND WaitForWindowOf(DWORD processId) {
        HWND window = nullptr;
        PollUntil(
            [&] {
                const std::vector<TopWindow> windows = TopWindows();
                const auto found =
                    std::find_if(windows.begin(), windows.end(), [&](const TopWindow& w) {
                        return w.processId == processId && w.visible;
                    });
                window = found == windows.end() ? nullptr : found->window;
                return window != nullptr;
            },
            kWindowTimeoutMs);
        EXPECT_NE(nullptr, window) << "no window from process " << processId;
        return window;
    }

    // Takes over a process this test did not start itself, to end it later.
    void Adopt(DWORD processId) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        ASSERT_NE(nullptr, process);
        started_.push_back(process);
    }

    void EndStarted() {
        for (HANDLE process : started_) {
            EndProcess(process);
        }
        started_.clear();
        EXPECT_TRUE(PollUntil([] { return TrainerWindows().empty(); }, 5000));
    }

  private:
    std::vector<HANDLE> started_;
    std::string folder_;
};

TEST_F(Trainer, PressClicksEveryMatchingDirectChildInOrder) {
    struct {
        const char* switches;
        const char* report; // after pressing Start and then Stop
    } const cases[] = {
        {"", "start=1 stop=1 sending=0 clicks=101.102"},
        {"--start-caption St&art", "start=1 stop=1 sending=0 clicks=101.102"},
        {"--start-caption START", "start=1 stop=1 sending=0 clicks=101.102"},
        {"--start-caption \"Start \"", "start=0 stop=1 sending=0 clicks=102"},
        {"--start-caption Starting", "start=0 stop=1 sending=0 clicks=102"},
        {"--button-class TBITBTN", "start=1 stop=1 sending=0 clicks=101.102"},
        {"--start-in-panel", "start=0 stop=1 sending=0 clicks=102"},
        {"--two-stops", "start=1 stop=2 sending=0 clicks=101.102.103"},
        {"--children 40", "start=1 stop=1 sending=0 clicks=101.102"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.switches);
        HWND trainer = Start(c.switches);
        ASSERT_NE(nullptr, trainer);
        PressTrainerButton("TBitBtn", "Start");
        PressTrainerButton("TBitBtn", "Stop");
        EXPECT_EQ(c.report, Report(trainer));
        EndStarted();
    }
}

TEST_F(Trainer, StartSendsGroupsInLinesOfTenAndStopHaltsThem) {
    HWND trainer = Start("");
    ASSERT_NE(nullptr, trainer);
    PressTrainerButton("TBitBtn", "Start");
    // A line of ten groups and the start of the next: about six seconds of sending.
    std::string sent;
    EXPECT_TRUE(PollUntil([&] { return (sent = ReadText()).size() >= 66; }, 20000)) << sent;
    PressTrainerButton("TBitBtn", "Stop");
    EXPECT_EQ("start=1 stop=1 sending=0 clicks=101.102", Report(trainer));
    const std::string stopped = ReadText();
    EXPECT_FALSE(PollUntil([&] { return ReadText() != stopped; }, 500)) << "still sending";

    // Letters where the layout has letters; its blanks and CR LF as they are.
    ASSERT_GE(stopped.size(), 66u);
    const std::string layout = FillText(static_cast<int>(stopped.size()));
    EXPECT_EQ("\r\n", stopped.substr(59, 2));
    for (std::size_t i = 0; i < stopped.size(); ++i) {
        const bool letter = layout[i] >= 'A' && layout[i] <= 'Z';
        EXPECT_TRUE(letter ? stopped[i] >= 'A' && stopped[i] <= 'Z' : stopped[i] == layout[i])
            << "at " << i << " of \"" << stopped << "\"";
    }
}

TEST_F(Trainer, ClicksReachItAsBnClickedFromTheButtonsOwnClickHandling) {
    HWND trainer = Start("");
    ASSERT_NE(nullptr, trainer);
    HWND start = FindWindowExA(trainer, nullptr, "TBitBtn", "&Start");
    ASSERT_NE(nullptr, start);
    // Built like the real Trainer: owner-drawn buttons, a rich-edit text (an
    // EDIT answers EM_GETTEXTMODE with 0).
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongA(start, GWL_STYLE) & BS_TYPEMASK);
    HWND text = FindWindowExA(trainer, nullptr, "TRichEdit", nullptr);
    EXPECT_NE(0, SendMessageA(text, EM_GETTEXTMODE, 0, 0));

    // A BN_CLICKED sent to the window from outside reaches the same start
    // logic, but the report marks it: it did not come from the button's own
    // BM_CLICK handling. The link's clicks do, and carry no mark.
    SendMessageA(trainer, WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), reinterpret_cast<LPARAM>(start));
    EXPECT_EQ("start=1 stop=0 sending=1 clicks=101*", Report(trainer));
    PressTrainerButton("TBitBtn", "Stop");
    PressTrainerButton("TBitBtn", "Start");
    EXPECT_EQ("start=2 stop=1 sending=1 clicks=101*.102.101", Report(trainer));
}

TEST_F(Trainer, ReadGivesTheFirstNonEmptyTRichEditOfTheTrainer) {
    struct {
        const char* switches;
        const char* text;
    } const cases[] = {
        {"--text \"CQ TEST\"", "CQ TEST"},
        {"--two-texts --fill 20", "ABCDE FGHIJ KLMNO PQ"},
        {"--children 30 --text DE", "DE"},
        {"", ""},
        {"--text-class TRICHEDIT --text CQ", ""},
        {"--title \"Zintra Method CW Trainer - Tamsor\" --text CQ", ""}, // no leading space
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.switches);
        ASSERT_NE(nullptr, Start(c.switches));
        EXPECT_EQ(c.text, ReadText());
        EndStarted();
    }
}

TEST_F(Trainer, ReadGivesTheFirst27999CharactersAsTheRichEditControlCutsThem) {
    // 30,000 characters and more in lines; the 27,999th character is a letter,
    // the CR of a CR LF, or its LF. The rich-edit control never splits a CR LF:
    // when only its CR would fit, it leaves out both (measured under Wine).
    struct {
        std::size_t letters; // per line, before its CR LF
        std::size_t read;
    } const cases[] = {{47, 27999}, {48, 27998}, {49, 27999}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.letters) + " letters a line");
        std::string text;
        while (text.size() < 30000) {
            const auto letter = static_cast<char>('A' + text.size() % 26);
            text += std::string(c.letters, letter) + "\r\n";
        }
        ASSERT_NE(nullptr, StartWithText(text));
        const std::string read = ReadText();
        EXPECT_EQ(c.read, read.size());
        EXPECT_TRUE(read == text.substr(0, c.read)) << "not the text's beginning";
        EndStarted();
    }
}

TEST_F(Trainer, ReadPassesBytesAndLineBreaksOnAsTheControlGivesThem) {
    std::string bytes;
    for (int b = 1; b <= 255; ++b) {
        bytes.push_back(static_cast<char>(b));
    }
    const std::string breaks = "AB\rCD\nEF\r\nGH\n\rIJ\r\r\nKL\r\n";

    // The rich-edit control keeps every byte but the line breaks: a lone CR,
    // a lone LF and a CR LF each become one paragraph, given back as CR LF;
    // LF CR is two; CR CR LF (a soft line break) becomes a blank.
    HWND trainer = StartWithText(bytes + breaks);
    ASSERT_NE(nullptr, trainer);
    const std::string read = ReadText();
    EXPECT_TRUE(read == TrainerTextOf(trainer)) << "converted on the way";
    std::string expected = bytes;
    expected.replace(12, 1, "\r\n"); // 0x0D, later first
    expected.replace(9, 1, "\r\n");  // 0x0A
    expected += "AB\r\nCD\r\nEF\r\nGH\r\n\r\nIJ KL\r\n";
    // Measured under Wine's rich-edit control; Windows' may treat CR CR LF apart.
    if (RunningUnderWine()) {
        EXPECT_TRUE(read == expected) << "got " << read.size() << " bytes";
    }
    EndStarted();

    // An EDIT-based text control gives back every byte as it was put in.
    trainer = StartWithText(bytes + breaks, "--edit-text");
    ASSERT_NE(nullptr, trainer);
    EXPECT_TRUE(ReadText() == bytes + breaks);
}

TEST_F(Trainer, NoTrainerMeansNoClickAndNoText) {
    EXPECT_EQ(0u, FindTrainerWindow());
    PressTrainerButton("TBitBtn", "Start");
    EXPECT_EQ("", ReadText());
    // A window whose title differs only by its leading space is not the Trainer.
    HWND other = Start("--title \"Zintra Method CW Trainer - Tamsor\" --text CQ");
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(0u, FindTrainerWindow());
    PressTrainerButton("TBitBtn", "Start");
    EXPECT_EQ("start=0 stop=0 sending=0 clicks=", Report(other));
}

TEST_F(Trainer, ATrainerThatClosesBetweenCallsDoesNoHarm) {
    HWND first = Start("--text CQ");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(reinterpret_cast<TrainerWindow>(first), FindTrainerWindow());
    EndStarted();
    PressTrainerButton("TBitBtn", "Start");
    EXPECT_EQ("", ReadText());
    EXPECT_EQ(0u, FindTrainerWindow());
    ASSERT_NE(nullptr, Start("--text DE"));
    EXPECT_EQ("DE", ReadText());
}

// The real window system, except that the Trainer is ended at one point of a
// call: right after the lookup has found its window, or right after the walk
// over its children has been given the first one.
HANDLE g_endingTrainer = nullptr;

void EndTheTrainerNow() {
    if (g_endingTrainer != nullptr) {
        EndProcess(g_endingTrainer);
        g_endingTrainer = nullptr;
        PollUntil([] { return TrainerWindows().empty(); }, 5000);
    }
}

TrainerWindow FindThenEnd(const char* title) {
    const TrainerWindow trainer = Win32WindowSystem().findTopLevel(title);
    EndTheTrainerNow();
    return trainer;
}

TrainerWindow NextChildThenEnd(TrainerWindow parent, TrainerWindow after) {
    const TrainerWindow child = Win32WindowSystem().nextChild(parent, after);
    EndTheTrainerNow();
    return child;
}

TEST_F(Trainer, ATrainerThatClosesAfterTheLookupOrDuringAWalkDoesNoHarm) {
    WindowSystem afterLookup = Win32WindowSystem();
    afterLookup.findTopLevel = FindThenEnd;
    WindowSystem duringWalk = Win32WindowSystem();
    duringWalk.nextChild = NextChildThenEnd;
    const std::string path = PracticeTrainerPath();
    for (const WindowSystem* ending : {&afterLookup, &duringWalk}) {
        for (const char* step : {"press", "read"}) {
            SCOPED_TRACE(
                std::string(ending == &afterLookup ? "after the lookup, " : "in the walk, ") +
                step);
            g_endingTrainer = StartProcess(path, Quoted(path) + " --text CQ");
            ASSERT_NE(nullptr, g_endingTrainer);
            ASSERT_NE(nullptr, WaitForWindowOf(GetProcessId(g_endingTrainer)));
            if (step[0] == 'p') {
                PressTrainerButtonWith(*ending, "TBitBtn", "Start");
            } else {
                EXPECT_EQ("", ReadTextWith(*ending));
            }
            EXPECT_EQ(nullptr, g_endingTrainer) << "the Trainer was never ended";
            EndProcess(g_endingTrainer);
            g_endingTrainer = nullptr;
        }
    }
}

TEST_F(Trainer, SlowGetTextSwitchDelaysTheAnswer) {
    ASSERT_NE(nullptr, Start("--slow-gettext 300 --text CQ"));
    const DWORD begin = GetTickCount();
    EXPECT_EQ("CQ", ReadText());
    EXPECT_GE(GetTickCount() - begin, 300u);
}

// The launch, from copies of a stand-in for the Receiver (the probe, which
// calls LaunchTrainer) and of the practice Trainer as ZINTRA.EXE.
class Launch : public Trainer {
  protected:
    void TearDown() override {
        Trainer::TearDown();
        if (!base_.empty()) {
            RemoveTree(base_);
        }
    }

    // Runs the probe at `receiver` and waits for it to return.
    void RunProbe(const std::string& receiver) {
        HANDLE probe = StartProcess(receiver, Quoted(receiver));
        ASSERT_NE(nullptr, probe);
        const DWORD code = WaitForExit(probe, 10000);
        EndProcess(probe);
        ASSERT_EQ(0u, code);
    }

    // Waits for the Trainer's window from `program`; adopts its process.
    void ExpectTrainerFrom(const std::string& program) {
        std::vector<TopWindow> found;
        ASSERT_TRUE(
            PollUntil([&] { return !(found = TrainerWindows()).empty(); }, kWindowTimeoutMs));
        ASSERT_EQ(1u, found.size());
        Adopt(found[0].processId);
        EXPECT_EQ(0, lstrcmpiA(program.c_str(), ImagePathOf(found[0].processId).c_str()));
        // Shown normally: visible, neither minimised nor maximised.
        EXPECT_TRUE(PollUntil([&] { return IsWindowVisible(found[0].window) != FALSE; }, 5000));
        EXPECT_FALSE(IsIconic(found[0].window));
        EXPECT_FALSE(IsZoomed(found[0].window));
    }

    std::string base_ = MakeTempFolder();
    const std::string probe_ = TestFolder() + "trainer_launch_probe.exe";
};

TEST_F(Launch, StartsZintraFromTheProgramFolderAndNothingWhenItIsAbsent) {
    const std::string receiver = base_ + "RX.EXE";
    ASSERT_TRUE(CopyFileA(probe_.c_str(), receiver.c_str(), FALSE));

    const std::size_t before = VisibleWindowsFrom(base_);
    RunProbe(receiver);
    EXPECT_FALSE(PollUntil([&] { return VisibleWindowsFrom(base_) != before; }, 1000))
        << "a window appeared with ZINTRA.EXE absent";

    const std::string zintra = base_ + "ZINTRA.EXE";
    ASSERT_TRUE(CopyFileA(PracticeTrainerPath().c_str(), zintra.c_str(), FALSE));
    RunProbe(receiver);
    ExpectTrainerFrom(zintra);
}

TEST_F(Launch, AFolderWithASpaceStartsZintraAndNotADecoy) {
    const std::string folder = base_ + "Program Files\\Rx\\";
    ASSERT_TRUE(CreateDirectoryA((base_ + "Program Files").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string receiver = folder + "RX.EXE";
    const std::string zintra = folder + "ZINTRA.EXE";
    const std::string decoy = base_ + "Program.exe";
    const std::string marker = base_ + "decoy-ran";
    ASSERT_TRUE(CopyFileA(probe_.c_str(), receiver.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(PracticeTrainerPath().c_str(), zintra.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((TestFolder() + "trainer_decoy.exe").c_str(), decoy.c_str(), FALSE));

    // The trap is armed: the same path unquoted, with no program name, starts the decoy.
    HANDLE unquoted = StartProcess("", zintra);
    ASSERT_NE(nullptr, unquoted);
    EXPECT_EQ(0u, WaitForExit(unquoted, 10000));
    EndProcess(unquoted);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(marker.c_str()));
    ASSERT_TRUE(DeleteFileA(marker.c_str()));

    RunProbe(receiver);
    ExpectTrainerFrom(zintra);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(marker.c_str()));
}

} // namespace
