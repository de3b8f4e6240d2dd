// The main dialog's commands: begin and stop the Trainer's sending, launch it,
// erase the copy, compare and score it, quit, and the status text's timer.
#include "main_dialog.h"

#include "annotations.h"
#include "compare.h"
#include "dialog_frame.h"
#include "score_line.h"
#include "text.h"
#include "trainer_launch.h"
#include "trainer_link.h"

namespace {

constexpr UINT_PTR STATUS_TIMER_ID = 1;
constexpr UINT STATUS_TIMER_MS = 2000;

// Selects the character at 1-based position pos, or removes the selection for pos 0.
void MarkCharacter(HWND dialog, int id, int pos) {
    if (pos <= 0) {
        SetControlSelection(dialog, id, -1, -1);
        return;
    }
    SetControlSelection(dialog, id, pos - 1, pos);
}

// Puts a non-empty text into the score label and has screen readers read it out.
void ShowInScoreLabel(HWND dialog, std::string_view text) {
    SetControlText(dialog, IDC_SCORE, text);
    AnnounceLiveRegion(GetDlgItem(dialog, IDC_SCORE));
}

void CompareText(HWND dialog) {
    // Both texts set here are handed over with their NUL, so the frame needs no
    // terminated copy of them.
    char trainerText[kTrainerTextSize];
    const std::size_t trainerLength = ReadTrainerText(trainerText);
    SetControlText(dialog, IDC_SENT_TEXT, std::string_view(trainerText, trainerLength + 1));
    HeapText sent = GetControlText(dialog, IDC_SENT_TEXT);
    HeapText received = GetControlText(dialog, IDC_RECEIVED_TEXT);
    const ScoreResult score = CompareCopy(TextView(sent), TextView(received));
    FreeText(&sent);
    FreeText(&received);
    switch (score.outcome) {
    case CopyMismatch:
        MarkCharacter(dialog, IDC_SENT_TEXT, score.sentPos);
        MarkCharacter(dialog, IDC_RECEIVED_TEXT, score.receivedPos);
        break;
    case CopyShort:
        MarkCharacter(dialog, IDC_SENT_TEXT, score.sentPos);
        MarkCharacter(dialog, IDC_RECEIVED_TEXT, 0);
        break;
    case CopyMatched:
        MarkCharacter(dialog, IDC_SENT_TEXT, 0);
        MarkCharacter(dialog, IDC_RECEIVED_TEXT, 0);
        break;
    }
    const ScoreText line = FormatScoreLine(score.correct, score.total);
    ShowInScoreLabel(dialog, std::string_view(line.text, line.length + 1));
}

void EraseText(HWND dialog) {
    SetControlText(dialog, IDC_RECEIVED_TEXT, "");
    SetControlText(dialog, IDC_SCORE, "");
}

void BeginCw(HWND dialog) {
    SetControlText(dialog, IDC_RECEIVED_TEXT, "");
    SetControlText(dialog, IDC_SCORE, "");
    SetControlText(dialog, IDC_SENT_TEXT, "");
    PressTrainerButton("TBitBtn", "Start");
    SetControlFocus(dialog, IDC_RECEIVED_TEXT);
}

void StopCw() {
    PressTrainerButton("TBitBtn", "Stop");
}

void RunTrainer(HWND dialog) {
    if (FindTrainerWindow() == 0) {
        LaunchTrainer();
        return;
    }
    ShowInScoreLabel(dialog, "ZINTRA.EXE RUNNING");
    SetTimer(dialog, STATUS_TIMER_ID, STATUS_TIMER_MS, nullptr);
}

void ClearStatus(HWND dialog) {
    KillTimer(dialog, STATUS_TIMER_ID);
    SetControlText(dialog, IDC_SCORE, "");
}

void OnCommand(HWND dialog, int id, int notification) {
    switch (id) {
    case IDCANCEL:
        if (notification == 0) {
            FrameEndDialog(dialog, 0);
        }
        return;
    case IDC_COMPARE:
        CompareText(dialog);
        return;
    case IDC_ERASE:
        EraseText(dialog);
        return;
    case IDC_BEGIN:
        BeginCw(dialog);
        return;
    case IDC_STOP:
        StopCw();
        return;
    case IDC_RUN_TRAINER:
        RunTrainer(dialog);
        return;
    default:
        return;
    }
}

} // namespace

INT_PTR MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == STATUS_TIMER_ID) {
            ClearStatus(dialog);
        }
        return 0;
    case WM_DESTROY:
        ClearControlAnnotations(dialog);
        DeleteObject(TextFont);
        return 0;
    default:
        return 0;
    }
}
