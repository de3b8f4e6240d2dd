// The main dialog's commands on the real dialog, run by the frame in this
// process, against the practice Trainer as a separate process: Compare with its
// marks and score line (also on a sent text in paragraphs), Erase, Begin CW,
// the order in which Compare and Begin CW use the controls, Stop CW, Run and
// its status timer, Quit and Escape ending the dialog with the
// font released, and a Trainer that vanishes, a ZINTRA.EXE that is no program,
// and a lower box past 32,765 bytes.
#include "main_dialog.h"

#include "control_text.h"
#include "dialog_frame.h"
#include "dialog_script.h"
#include "message_log.h"
#include "wine_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kSentText = "AB CD EF";

bool FontIsGone() {
    LOGFONTA font{};
    return GetObjectA(TextFont, sizeof font, &font) == 0;
}

HWND watchedDialog = nullptr;
UINT watchedMessage = 0;
std::vector<int> controlsSent;

LRESULT CALLBACK WatchControls(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == watchedMessage &&
        GetParent(sent->hwnd) == watchedDialog) {
        controlsSent.push_back(GetDlgCtrlID(sent->hwnd));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Gives the command; the ids of the dialog's controls sent `message` meanwhile, in order.
std::vector<int> ControlsSent(HWND dialog, UINT message, int command) {
    watchedDialog = dialog;
    watchedMessage = message;
    controlsSent.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchControls, nullptr, GetCurrentThreadId());
    Command(dialog, command);
    UnhookWindowsHookEx(hook);
    return controlsSent;
}

// Fills the three text controls, puts the focus on `focus` and gives Begin CW:
// all three must be empty and the focus in the lower box.
void BeginFrom(HWND dialog, int focus) {
    SetControlText(dialog, IDC_SENT_TEXT, "SENT");
    SetControlText(dialog, IDC_RECEIVED_TEXT, "TYPED");
    SetControlText(dialog, IDC_SCORE, "SCORE");
    SetControlFocus(dialog, focus);
    EXPECT_EQ((std::vector<int>{IDC_RECEIVED_TEXT, IDC_SCORE, IDC_SENT_TEXT}),
              ControlsSent(dialog, WM_SETTEXT, IDC_BEGIN))
        << "the controls Begin CW empties, in order";
    EXPECT_EQ("", ControlText(dialog, IDC_SENT_TEXT));
    EXPECT_EQ("", ControlText(dialog, IDC_RECEIVED_TEXT));
    EXPECT_EQ("", ControlText(dialog, IDC_SCORE));
    EXPECT_EQ(GetDlgItem(dialog, IDC_RECEIVED_TEXT), GetFocus());
}

// ---- without a Trainer ----

TEST(CommandsWithoutTrainer, CompareEmptiesTheUpperBoxAndScoresNothingSent) {
    ASSERT_EQ(nullptr, TrainerWindow()) << "a Trainer window is already up";
    RunScript([](HWND dialog) {
        SetControlText(dialog, IDC_SENT_TEXT, "OLD TEXT");
        SetControlText(dialog, IDC_RECEIVED_TEXT, "ABC");
        EXPECT_EQ((std::vector<int>{IDC_SENT_TEXT, IDC_RECEIVED_TEXT}),
                  ControlsSent(dialog, WM_GETTEXT, IDC_COMPARE))
            << "the boxes Compare reads, in order";
        EXPECT_EQ("", ControlText(dialog, IDC_SENT_TEXT));
        EXPECT_EQ(" 0 out of 0 = 0.00%", ControlText(dialog, IDC_SCORE));
        EXPECT_EQ("ABC", ControlText(dialog, IDC_RECEIVED_TEXT));
        EXPECT_TRUE(SelectsNothing(dialog, IDC_RECEIVED_TEXT));
    });
}

TEST(CommandsWithoutTrainer, BeginStillClearsAndFocusesRunLaunchesNothingFromHere) {
    RunScript([](HWND dialog) {
        BeginFrom(dialog, IDC_COMPARE);

        // No ZINTRA.EXE beside the test program: Run starts nothing and shows nothing.
        SetControlText(dialog, IDC_RECEIVED_TEXT, "KEEP");
        Command(dialog, IDC_RUN_TRAINER);
        Command(dialog, IDC_STOP);
        Pump(dialog, 300);
        EXPECT_EQ("", ControlText(dialog, IDC_SCORE));
        EXPECT_EQ("KEEP", ControlText(dialog, IDC_RECEIVED_TEXT));
        EXPECT_EQ(nullptr, TrainerWindow());
    });
}

TEST(CommandsWithoutTrainer, QuitAndEscapeEndTheDialogAndReleaseTheFont) {
    const ExpectedMessage kEnding[] = {
        {WM_COMMAND, MatchWParam, IDCANCEL},
        {WM_CLOSE, AnyParams, 0},
        {WM_DESTROY, AnyParams, 0},
        {WM_NCDESTROY, AnyParams, 0},
    };
    RunScript([](HWND dialog) {
        // Only a click (notification 0) ends it.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_DOUBLECLICKED), 0);
        EXPECT_TRUE(IsWindow(dialog)) << "another notification from Quit ended the dialog";
        SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindow(dialog));
    });
    EXPECT_TRUE(SeenInOrder(MessageLog, kEnding));
    EXPECT_TRUE(FontIsGone());

    // Escape goes through the dialog's keyboard handling in the modal loop.
    RunScript([](HWND dialog) {
        SetControlFocus(dialog, IDC_RECEIVED_TEXT);
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(GetFocus(), WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001));
        Pump(dialog, 2000);
        EXPECT_FALSE(IsWindow(dialog)) << "Escape did not end the dialog";
    });
    EXPECT_TRUE(SeenInOrder(MessageLog, kEnding));
    EXPECT_TRUE(FontIsGone());
}

// ---- against the practice Trainer ----

class CommandsWithTrainer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        trainer = StartPracticeTrainer(std::string("--text \"") + kSentText + "\"");
    }
    static void TearDownTestSuite() {
        EndProcess(trainer);
        trainer = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(nullptr, TrainerWindow()) << "the practice Trainer is not up";
    }
    static HANDLE trainer;
};
HANDLE CommandsWithTrainer::trainer = nullptr;

struct CompareCase {
    const char* typed;
    const char* line;
    DWORD sentMark;     // 1-based, 0 for none
    DWORD receivedMark; // 1-based, 0 for none
};

// Compare with the case's copy in the lower box, which has the focus: the
// upper box must hold `sent`, and the score line, the marks, the copy and the
// focus must be as the case says.
void CompareAndExpect(HWND dialog, const CompareCase& c, const std::string& sent) {
    SetControlText(dialog, IDC_RECEIVED_TEXT, c.typed);
    SetControlFocus(dialog, IDC_RECEIVED_TEXT);
    const std::string typedBefore = ControlText(dialog, IDC_RECEIVED_TEXT);
    Command(dialog, IDC_COMPARE);
    EXPECT_EQ(sent, ControlText(dialog, IDC_SENT_TEXT));
    EXPECT_EQ(c.line, ControlText(dialog, IDC_SCORE));
    EXPECT_EQ(typedBefore, ControlText(dialog, IDC_RECEIVED_TEXT));
    if (c.sentMark > 0) {
        EXPECT_TRUE(Selects(dialog, IDC_SENT_TEXT, c.sentMark - 1, c.sentMark));
    } else {
        EXPECT_TRUE(SelectsNothing(dialog, IDC_SENT_TEXT));
    }
    if (c.receivedMark > 0) {
        EXPECT_TRUE(Selects(dialog, IDC_RECEIVED_TEXT, c.receivedMark - 1, c.receivedMark));
    } else {
        EXPECT_TRUE(SelectsNothing(dialog, IDC_RECEIVED_TEXT));
    }
    // The focus stays where the user had it.
    EXPECT_EQ(GetDlgItem(dialog, IDC_RECEIVED_TEXT), GetFocus());
}

// The sent text is "AB CD EF".
const CompareCase kCompareCases[] = {
    {"ab cd ef", " 6 out of 6 = 100.00%", 0, 0},
    {"ABCDEF", " 6 out of 6 = 100.00%", 0, 0},
    {"AB\r\nCD EF EXTRA", " 6 out of 6 = 100.00%", 0, 0},
    {"ABXDEF", " 2 out of 6 = 33.33%", 4, 3},
    {"AB CE EF", " 3 out of 6 = 50.00%", 5, 5},
    {"AB DE", " 2 out of 6 = 33.33%", 4, 4},
    {"AB C", " 3 out of 6 = 50.00%", 5, 0},
    {"", " 0 out of 6 = 0.00%", 1, 0},
};

TEST_F(CommandsWithTrainer, CompareFetchesScoresAndMarksTheFirstError) {
    for (const CompareCase& c : kCompareCases) {
        SCOPED_TRACE(std::string("typed '") + c.typed + "'");
        RunScript([&c](HWND dialog) { CompareAndExpect(dialog, c, kSentText); });
    }
}

TEST_F(CommandsWithTrainer, EraseLeavesTheUpperBoxAndItsMarkAlone) {
    RunScript([](HWND dialog) {
        SetControlText(dialog, IDC_RECEIVED_TEXT, "ABX");
        Command(dialog, IDC_COMPARE);
        ASSERT_TRUE(Selects(dialog, IDC_SENT_TEXT, 3, 4));
        Command(dialog, IDC_ERASE);
        EXPECT_EQ("", ControlText(dialog, IDC_RECEIVED_TEXT));
        EXPECT_EQ("", ControlText(dialog, IDC_SCORE));
        EXPECT_EQ(kSentText, ControlText(dialog, IDC_SENT_TEXT));
        EXPECT_TRUE(Selects(dialog, IDC_SENT_TEXT, 3, 4));
    });
}

TEST_F(CommandsWithTrainer, RunShowsTheStatusForTwoSecondsRestartedByASecondRun) {
    RunScript([](HWND dialog) {
        SetControlText(dialog, IDC_RECEIVED_TEXT, "TYPED COPY");
        Command(dialog, IDC_RUN_TRAINER);
        EXPECT_EQ("ZINTRA.EXE RUNNING", ControlText(dialog, IDC_SCORE));
        Pump(dialog, 1500);
        EXPECT_EQ("ZINTRA.EXE RUNNING", ControlText(dialog, IDC_SCORE)) << "cleared too soon";
        Pump(dialog, 1000);
        EXPECT_EQ("", ControlText(dialog, IDC_SCORE)) << "not cleared after 2.5 s";

        // A second Run 1 s after the first restarts the 2 s; a score line
        // written meanwhile is wiped with the status.
        Command(dialog, IDC_RUN_TRAINER);
        Pump(dialog, 1000);
        Command(dialog, IDC_RUN_TRAINER);
        Pump(dialog, 1500);
        EXPECT_EQ("ZINTRA.EXE RUNNING", ControlText(dialog, IDC_SCORE))
            << "the second Run did not restart the timer";
        Command(dialog, IDC_COMPARE);
        EXPECT_EQ(" 0 out of 6 = 0.00%", ControlText(dialog, IDC_SCORE));
        Pump(dialog, 1000);
        EXPECT_EQ("", ControlText(dialog, IDC_SCORE));
        // Fired once, the timer is gone: a score line written now stays.
        Command(dialog, IDC_COMPARE);
        Pump(dialog, 2500);
        EXPECT_EQ(" 0 out of 6 = 0.00%", ControlText(dialog, IDC_SCORE))
            << "the status timer fired again";
        EXPECT_EQ("TYPED COPY", ControlText(dialog, IDC_RECEIVED_TEXT));
        // The timer fired once per arming and was killed each time.
        EXPECT_EQ(2, std::count_if(MessageLog.begin(), MessageLog.end(), [](const SeenMessage& m) {
                      return m.message == WM_TIMER && m.wParam == 1;
                  }));
    });
}

TEST_F(CommandsWithTrainer, ALowerBoxBeyondTheCountsRangeGivesADefinedScoreAndIsKept) {
    RunScript([](HWND dialog) {
        // Another program can put far more into the box than anyone types.
        const std::string huge = "ABCDX" + std::string(32995, 'Q');
        SendMessageA(GetDlgItem(dialog, IDC_RECEIVED_TEXT), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(huge.c_str()));
        const std::string before = ControlText(dialog, IDC_RECEIVED_TEXT);
        ASSERT_EQ(33000U, before.size());
        Command(dialog, IDC_COMPARE);
        EXPECT_EQ(" 4 out of 6 = 66.67%", ControlText(dialog, IDC_SCORE));
        EXPECT_TRUE(Selects(dialog, IDC_SENT_TEXT, 6, 7));
        EXPECT_TRUE(Selects(dialog, IDC_RECEIVED_TEXT, 4, 5));
        EXPECT_EQ(before, ControlText(dialog, IDC_RECEIVED_TEXT));
    });
}

TEST_F(CommandsWithTrainer, BeginClearsClicksStartAndFocusesStopClicksStopOnly) {
    const int starts = TrainerCount("start");
    const int stops = TrainerCount("stop");
    RunScript([](HWND dialog) {
        BeginFrom(dialog, IDC_STOP);

        SetControlText(dialog, IDC_RECEIVED_TEXT, "MY COPY");
        SetControlText(dialog, IDC_SCORE, "A SCORE");
        Command(dialog, IDC_STOP);
        EXPECT_EQ("MY COPY", ControlText(dialog, IDC_RECEIVED_TEXT));
        EXPECT_EQ("A SCORE", ControlText(dialog, IDC_SCORE));
    });
    EXPECT_EQ(starts + 1, TrainerCount("start")) << TrainerReport();
    EXPECT_EQ(stops + 1, TrainerCount("stop")) << TrainerReport();
    // Both reached the Trainer as the BN_CLICKED of its buttons' own BM_CLICK.
    const std::string report = TrainerReport();
    EXPECT_EQ("101.102", report.substr(report.size() - 7)) << report;
}

// ---- a sent text in paragraphs ----

using CommandsWithParagraphs = PracticeTrainerTest;

// Two lines and an empty one, with CR LF as the rich-edit control gives them.
constexpr const char* kParagraphs = "ABCDE FGHIJ\r\nKLMNO PQRST\r\n\r\nUVWXY";

// Positions count each CR and LF, as the boxes' EM_SETSEL does.
const CompareCase kParagraphCases[] = {
    {"ABCDE FGHIJ\r\nKLMNO PQRST\r\n\r\nUVWXY", " 25 out of 25 = 100.00%", 0, 0},
    {"abcde fghij klmno pqrsx uvwxy", " 19 out of 25 = 76.00%", 24, 23},
    {"ABCDEFGHIJKLMNOPQRST\r\nUVWXZ", " 24 out of 25 = 96.00%", 33, 27},
    {"ABCDE FGHIJ\r\n", " 10 out of 25 = 40.00%", 14, 0},
};

TEST_F(CommandsWithParagraphs, CompareTakesTheLineBreaksAsGivenAndMarksAcrossThem) {
    StartTrainerWithText(kParagraphs);
    ASSERT_EQ(kParagraphs, TrainerText());
    for (const CompareCase& c : kParagraphCases) {
        SCOPED_TRACE(std::string("typed '") + c.typed + "'");
        RunScript([&c](HWND dialog) { CompareAndExpect(dialog, c, kParagraphs); });
    }
}

// ---- faults ----

TEST(CommandsFaults, ATrainerKilledWhileIdleLeavesNothingToClickOrRead) {
    HANDLE trainer = StartPracticeTrainer("--text \"CQ CQ\"");
    ASSERT_NE(nullptr, trainer);
    RunScript([](HWND dialog) {
        Command(dialog, IDC_COMPARE);
        ASSERT_EQ("CQ CQ", ControlText(dialog, IDC_SENT_TEXT));
        SetControlText(dialog, IDC_RECEIVED_TEXT, "CQ");
        // The Trainer goes away while the Receiver waits for the user.
        DWORD processId = 0;
        GetWindowThreadProcessId(TrainerWindow(), &processId);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
        ASSERT_TRUE(PollUntil([] { return TrainerWindow() == nullptr; }, 10000));

        Command(dialog, IDC_BEGIN);
        Command(dialog, IDC_STOP);
        SetControlText(dialog, IDC_RECEIVED_TEXT, "CQ");
        Command(dialog, IDC_COMPARE);
        EXPECT_EQ("", ControlText(dialog, IDC_SENT_TEXT));
        EXPECT_EQ(" 0 out of 0 = 0.00%", ControlText(dialog, IDC_SCORE));
        EXPECT_EQ("CQ", ControlText(dialog, IDC_RECEIVED_TEXT));
    });
    EndProcess(trainer);
}

TEST(CommandsFaults, RunWithAZintraExeThatIsNoProgramShowsNothingAndChangesNothing) {
    const std::string junk = TestFolder() + "ZINTRA.EXE";
    FILE* file = std::fopen(junk.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fputs("this is not a program", file);
    std::fclose(file);
    RunScript([](HWND dialog) {
        SetControlText(dialog, IDC_RECEIVED_TEXT, "MY COPY");
        SetControlText(dialog, IDC_SCORE, " 1 out of 1 = 100.00%");
        const std::size_t before = VisibleWindowsFrom(TestFolder());
        Command(dialog, IDC_RUN_TRAINER);
        Pump(dialog, 1000);
        EXPECT_EQ(before, VisibleWindowsFrom(TestFolder())) << "a window came up";
        EXPECT_EQ("MY COPY", ControlText(dialog, IDC_RECEIVED_TEXT));
        EXPECT_EQ(" 1 out of 1 = 100.00%", ControlText(dialog, IDC_SCORE));
        EXPECT_TRUE(IsWindowVisible(dialog));
    });
    DeleteFileA(junk.c_str());
}

} // namespace
