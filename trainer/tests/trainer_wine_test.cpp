// The Trainer link and launch on a real window system (Wine), across processes,
// against the practice Trainer started by each test and ended by its handle.
#include "trainer_launch.h"
#include "window_system.h"
#include "wine_support.h"

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

    void TearDown() override { EndStarted(); }

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

TEST_F(Trainer, StartSendsFiveLetterGroupsAndStopHaltsThem) {
    HWND trainer = Start("");
    ASSERT_NE(nullptr, trainer);
    PressTrainerButton("TBitBtn", "Start");
    std::string sent;
    EXPECT_TRUE(PollUntil([&] { return (sent = ReadText()).size() >= 12; }, 5000));
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const bool space = i % 6 == 5;
        EXPECT_TRUE(space ? sent[i] == ' ' : sent[i] >= 'A' && sent[i] <= 'Z') << sent;
    }
    PressTrainerButton("TBitBtn", "Stop");
    EXPECT_EQ("start=1 stop=1 sending=0 clicks=101.102", Report(trainer));
    const std::string stopped = ReadText();
    EXPECT_FALSE(PollUntil([&] { return ReadText() != stopped; }, 500));
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

TEST_F(Trainer, ReadCutsALongTextTo27999CharactersAndKeepsItsLineBreaks) {
    std::string text;
    while (text.size() < 30000) {
        text += std::string(48, static_cast<char>('A' + text.size() / 50 % 26)) + "\r\n";
    }
    const std::string folder = MakeTempFolder();
    const std::string file = folder + "sent.txt";
    HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(out);
    ASSERT_EQ(text.size(), written);

    const bool started = Start("--text-file " + Quoted(file)) != nullptr;
    RemoveTree(folder);
    ASSERT_TRUE(started);
    const std::string read = ReadText();
    EXPECT_EQ(27999u, read.size());
    EXPECT_TRUE(read == text.substr(0, 27999)); // ends inside a CR LF, with the CR
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
