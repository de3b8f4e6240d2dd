// The real dialog in this process against practice Trainers that behave badly
// or send strange text: a thousand children before the buttons, a slow answer
// to WM_GETTEXT, every byte value, a text of nothing but blanks, and a window
// that only borrows the Trainer's title.
#include "main_dialog.h"

#include "compare.h"
#include "dialog_frame.h"
#include "control_text.h"
#include "dialog_script.h"
#include "practice_options.h"
#include "score_line.h"
#include "wine_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Hostile = PracticeTrainerTest;

// Compare with `typed` in the lower box: the marks must be those the scoring
// gives for what the two boxes hold, and the lower box must keep its bytes.
void CompareAndCheck(HWND dialog, const std::string& typed, const std::string& expectedLine) {
    SetControlText(dialog, IDC_RECEIVED_TEXT, typed);
    const std::string copy = ControlText(dialog, IDC_RECEIVED_TEXT);
    Command(dialog, IDC_COMPARE);
    EXPECT_EQ(expectedLine, ControlText(dialog, IDC_SCORE));
    const ScoreResult score = CompareCopy(ControlText(dialog, IDC_SENT_TEXT), copy);
    if (score.outcome == CopyMatched) {
        EXPECT_TRUE(SelectsNothing(dialog, IDC_SENT_TEXT));
    } else {
        const auto at = static_cast<DWORD>(score.sentPos);
        EXPECT_TRUE(Selects(dialog, IDC_SENT_TEXT, at - 1, at));
    }
    if (score.outcome == CopyMismatch) {
        const auto at = static_cast<DWORD>(score.receivedPos);
        EXPECT_TRUE(Selects(dialog, IDC_RECEIVED_TEXT, at - 1, at));
    } else {
        EXPECT_TRUE(SelectsNothing(dialog, IDC_RECEIVED_TEXT));
    }
    EXPECT_EQ(copy, ControlText(dialog, IDC_RECEIVED_TEXT)) << "Compare changed the copy";
}

TEST_F(Hostile, AThousandChildrenBeforeTheButtonsStillFindTheRightOnesInOrder) {
    StartTrainer("--children 1000 --two-stops --text \"CQ DE AB\"");
    RunScript([](HWND dialog) {
        CompareAndCheck(dialog, "CQ DE AX", " 5 out of 6 = 83.33%");
        EXPECT_EQ("CQ DE AB", ControlText(dialog, IDC_SENT_TEXT));
        Command(dialog, IDC_BEGIN);
        Command(dialog, IDC_STOP);
    });
    // Start, then both Stops in the order the window system gives them.
    EXPECT_EQ("start=1 stop=2 sending=0 clicks=101.102.103", TrainerReport());
}

constexpr DWORD kSlowMs = 1500;

TEST_F(Hostile, ASlowTrainerIsWaitedForAndTheScoreIsRight) {
    StartTrainer("--slow-gettext " + std::to_string(kSlowMs) + " --text \"AB CD\"");
    RunScript([](HWND dialog) {
        const DWORD begin = GetTickCount();
        CompareAndCheck(dialog, "AB CX", " 3 out of 4 = 75.00%");
        EXPECT_GE(GetTickCount() - begin, kSlowMs);
        EXPECT_EQ("AB CD", ControlText(dialog, IDC_SENT_TEXT));
    });
}

TEST_F(Hostile, EveryByteValueInBothTextsIsComparedAsItStands) {
    std::string bytes;
    for (int b = 1; b <= 255; ++b) {
        bytes.push_back(static_cast<char>(b));
    }
    // This test alone uses a Trainer whose text control is an EDIT: the
    // rich-edit control gives a lone CR or LF back as CR LF, so only an EDIT
    // delivers every byte value exactly as it was put in.
    StartTrainerWithText(bytes, "--edit-text");
    RunScript([&bytes](HWND dialog) {
        // Both boxes hold the bytes as capitals; the three blanks (space, CR,
        // LF) are passed over and the other 252 all agree.
        CompareAndCheck(dialog, bytes, " 252 out of 252 = 100.00%");
        EXPECT_EQ(bytes.size(), ControlText(dialog, IDC_SENT_TEXT).size());

        // The same bytes the other way round: the first agreement to fail is
        // at the first byte, whichever it is.
        const std::string reversed(bytes.rbegin(), bytes.rend());
        CompareAndCheck(dialog, reversed, " 0 out of 252 = 0.00%");
    });
}

TEST_F(Hostile, ASentTextOfNothingButBlanksScoresNothingSent) {
    StartTrainerWithText(std::string(27999, ' '));
    RunScript([](HWND dialog) {
        CompareAndCheck(dialog, "CQ CQ", " 0 out of 0 = 0.00%");
        EXPECT_EQ(std::string(27999, ' '), ControlText(dialog, IDC_SENT_TEXT));
        CompareAndCheck(dialog, "", " 0 out of 0 = 0.00%");
    });
}

TEST_F(Hostile, AWindowThatOnlyBorrowsTheTitleIsHandledLikeAnyTrainer) {
    // Ordinary buttons and an ordinary edit box under the Trainer's title:
    // nothing to click and nothing to read.
    StartTrainer("--button-class Button --text-class Edit --text \"NOT SENT\"");
    RunScript([](HWND dialog) {
        Command(dialog, IDC_BEGIN);
        Command(dialog, IDC_STOP);
        CompareAndCheck(dialog, "NOT SENT", " 0 out of 0 = 0.00%");
        EXPECT_EQ("", ControlText(dialog, IDC_SENT_TEXT));
    });
    EXPECT_EQ("start=0 stop=0 sending=0 clicks=", TrainerReport());
}

TEST_F(Hostile, ATextLongerThanTheReadLimitIsCutToItsFirst27999Characters) {
    StartTrainer("--fill 30000");
    RunScript([](HWND dialog) {
        // 459 whole lines of ten groups, the last ending with its CR LF.
        const std::string sent = FillText(27999);
        CompareAndCheck(dialog, sent + "EXTRA", FormatScoreLine(22950, 22950).text);
        EXPECT_EQ(sent, ControlText(dialog, IDC_SENT_TEXT));
    });
}

} // namespace
