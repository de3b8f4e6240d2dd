// The dialog frame in-process: the message rules of its modal run as recorded
// sequences, the window its template makes, and the control operations.
#include "dialog_frame.h"

#include "control_text.h"
#include "dialog_template.h"
#include "logged_run.h"
#include "message_log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

constexpr DWORD kStyle = 0x14CA00C4;   // as the program's dialog gives it
constexpr DWORD kExStyle = 0x00010109; // modal frame, topmost, window edge, control parent
constexpr int kEditId = 10;
constexpr UINT kStep = WM_APP + 1;  // posted by a test to make its reaction act
constexpr UINT kProbe = WM_APP + 2; // sent to see whether the handler is attached yet

// A frame dialog with a text box and a "&Quit" button (IDCANCEL).
HWND MakeDialog() {
    HWND dialog = FrameCreateDialog(nullptr, "Frame test", 0, 0, 200, 100, kStyle, kExStyle);
    FrameAddControl(TextBoxControl, dialog, kEditId, "", 5, 5, 100, 40, WS_TABSTOP, 0);
    FrameAddControl(ButtonControl, dialog, IDCANCEL, "&Quit", 5, 60, 50, 14, WS_TABSTOP, 0);
    return dialog;
}

void PostCloseBox(HWND dialog) {
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// What a reaction saw at WM_INITDIALOG.
struct InitDialogCall {
    int calls;
    bool visible;
    bool controlsExist;
    bool wParamIsDialog;
    LPARAM lParam;
};
InitDialogCall initCall;

INT_PTR ProbeAtInitThenClose(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        initCall.calls++;
        initCall.visible = IsWindowVisible(dialog) != FALSE;
        initCall.controlsExist = GetDlgItem(dialog, kEditId) != nullptr;
        initCall.wParamIsDialog = reinterpret_cast<HWND>(wParam) == dialog;
        initCall.lParam = lParam;
        SendMessageA(dialog, kProbe, 0, 0); // must not reach this handler
        PostCloseBox(dialog);
    }
    return 0;
}

TEST(FrameRunModal, CallsTheHandlerOnceWithInitDialogBeforeAttachingIt) {
    HWND dialog = MakeDialog();
    ASSERT_NE(nullptr, dialog);
    initCall = InitDialogCall{};
    ASSERT_TRUE(RunLogged(dialog, ProbeAtInitThenClose)) << Describe(MessageLog);

    EXPECT_EQ(1, initCall.calls);
    EXPECT_FALSE(initCall.visible) << "the dialog must still be hidden at WM_INITDIALOG";
    EXPECT_TRUE(initCall.controlsExist);
    EXPECT_TRUE(initCall.wParamIsDialog);
    EXPECT_EQ(0, initCall.lParam);
    ASSERT_FALSE(MessageLog.empty());
    EXPECT_EQ(static_cast<UINT>(WM_INITDIALOG), MessageLog.front().message);
    EXPECT_EQ(1u, CountSeen(MessageLog, WM_INITDIALOG)) << Describe(MessageLog);
    EXPECT_EQ(0u, CountSeen(MessageLog, kProbe))
        << "a message sent during WM_INITDIALOG reached the handler:\n"
        << Describe(MessageLog);
}

TEST(FrameRunModal, CloseBoxShowsThenEndsTheDialogThroughTheFrame) {
    static const ExpectedMessage kCloseBox[] = {
        {WM_INITDIALOG, AnyParams, 0},
        {WM_SHOWWINDOW, MatchWParam, TRUE},
        {WM_SYSCOMMAND, MatchWParam, SC_CLOSE},
        {WM_CLOSE, AnyParams, 0},
        {WM_DESTROY, AnyParams, 0},
        {WM_NCDESTROY, AnyParams, 0},
    };
    HWND dialog = MakeDialog();
    ASSERT_TRUE(RunLogged(dialog, ProbeAtInitThenClose)) << Describe(MessageLog);
    EXPECT_TRUE(SeenInOrder(MessageLog, kCloseBox));
    EXPECT_EQ(0u, CountSeen(MessageLog, WM_ACTIVATE)) << Describe(MessageLog);
    EXPECT_EQ(static_cast<UINT>(WM_NCDESTROY), MessageLog.back().message)
        << "the frame must forget the dialog at WM_NCDESTROY:\n"
        << Describe(MessageLog);
}

// The activation the platform sends when the dialog is shown, and two more sent
// explicitly: none reaches the handler, and the platform does not put the focus
// back where it was at deactivation.
struct ActivationResult {
    HWND focusAfter;
    HWND focusWanted;
};
ActivationResult activation;

INT_PTR ActivateTwiceThenClose(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        PostMessageA(dialog, kStep, 0, 0);
    } else if (message == kStep) {
        SetFocus(GetDlgItem(dialog, kEditId));
        SendMessageA(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        SendMessageA(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
        activation = ActivationResult{GetFocus(), GetDlgItem(dialog, IDCANCEL)};
        PostCloseBox(dialog);
    }
    return 0;
}

TEST(FrameDialogProc, SwallowsActivationWithItsFocusRestoring) {
    HWND dialog = MakeDialog();
    activation = ActivationResult{};
    ASSERT_TRUE(RunLogged(dialog, ActivateTwiceThenClose)) << Describe(MessageLog);
    EXPECT_EQ(0u, CountSeen(MessageLog, WM_ACTIVATE)) << Describe(MessageLog);
    EXPECT_EQ(activation.focusWanted, activation.focusAfter)
        << "activation moved the focus back to the control focused at deactivation";
}

// Another thread sends WM_CLOSE, as another program would.
INT_PTR EndOnCancel(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && wParam == MAKEWPARAM(IDCANCEL, BN_CLICKED)) {
        FrameEndDialog(dialog, 0);
    }
    return 0;
}

TEST(FrameDialogProc, CloseSentFromOutsideComesBackAsCancelCommand) {
    static const ExpectedMessage kCancel[] = {
        {WM_CLOSE, AnyParams, 0},   {WM_COMMAND, MatchWParam, MAKEWPARAM(IDCANCEL, BN_CLICKED)},
        {WM_CLOSE, AnyParams, 0}, // from FrameEndDialog
        {WM_DESTROY, AnyParams, 0}, {WM_NCDESTROY, AnyParams, 0},
    };
    HWND dialog = MakeDialog();
    HWND quit = GetDlgItem(dialog, IDCANCEL);
    std::atomic<bool> sent{false};
    std::thread outsider([dialog, &sent] {
        for (int i = 0; i < 500 && !IsWindowVisible(dialog); ++i) {
            Sleep(10);
        }
        DWORD_PTR ignored = 0;
        sent = SendMessageTimeoutA(dialog, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &ignored) != 0;
    });
    const bool ended = RunLogged(dialog, EndOnCancel);
    outsider.join();
    ASSERT_TRUE(sent);
    ASSERT_TRUE(ended) << Describe(MessageLog);
    EXPECT_TRUE(SeenInOrder(MessageLog, kCancel));
    std::size_t cancels = 0;
    for (const SeenMessage& seen : MessageLog) {
        if (seen.message == WM_COMMAND && LOWORD(seen.wParam) == IDCANCEL) {
            ++cancels;
            EXPECT_EQ(reinterpret_cast<LPARAM>(quit), seen.lParam) << "the command's control";
        }
    }
    EXPECT_EQ(1u, cancels) << "the command posted in answer to FrameEndDialog's WM_CLOSE was "
                              "handled:\n"
                           << Describe(MessageLog);
}

// One WM_QUIT is posted to the thread before the run, another during it; a
// timer that fires only while the loop goes on then closes the dialog.
constexpr UINT_PTR kAfterQuitTimer = 1;

INT_PTR QuitThenCloseOnTimer(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 0, 0);
        PostMessageA(dialog, kStep, 0, 0);
    } else if (message == kStep) {
        PostQuitMessage(0);
        SetTimer(dialog, kAfterQuitTimer, 10, nullptr);
    } else if (message == WM_TIMER && wParam == kAfterQuitTimer) {
        KillTimer(dialog, kAfterQuitTimer);
        PostCloseBox(dialog);
    }
    return 0;
}

TEST(FrameRunModal, PostedQuitDoesNotEndTheLoop) {
    static const ExpectedMessage kGoesOn[] = {
        {kStep, AnyParams, 0},
        {WM_TIMER, MatchWParam, kAfterQuitTimer},
        {WM_SYSCOMMAND, MatchWParam, SC_CLOSE},
        {WM_NCDESTROY, AnyParams, 0},
    };
    HWND dialog = MakeDialog();
    EXPECT_TRUE(RunLogged(dialog, QuitThenCloseOnTimer))
        << "the loop left before the dialog was gone:\n"
        << Describe(MessageLog);
    EXPECT_TRUE(SeenInOrder(MessageLog, kGoesOn));
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "the loop must take WM_QUIT from the queue";
}

// Handled results: the frame puts them in DWLP_MSGRESULT unless the handler has
// put one there itself; colour requests the handler leaves get the platform's.
constexpr UINT kAnswerWide = WM_APP + 3;
// A result that fills every byte of the pointer-sized slot: 0x2AAAAAAA, or
// 0x2AAAAAAAAAAAAAAA in a 64-bit build, where a cut to 32 bits shows.
constexpr INT_PTR kWide = static_cast<INT_PTR>(~UINT_PTR{0} / 6);
constexpr UINT kAnswerOwn = WM_APP + 4;

struct Results {
    LRESULT answerWide;
    LONG_PTR msgResultAfterWide;
    LRESULT answerOwn;
    LRESULT editColour;
    LRESULT staticColour;
};
Results results;

INT_PTR AnswerThenClose(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        PostMessageA(dialog, kStep, 0, 0);
        return 0;
    case kAnswerWide:
        return kWide;
    case kAnswerOwn:
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 7);
        return TRUE;
    case WM_CTLCOLOREDIT:
        return reinterpret_cast<INT_PTR>(GetStockObject(GRAY_BRUSH));
    case kStep: {
        results.answerWide = SendMessageA(dialog, kAnswerWide, 0, 0);
        results.msgResultAfterWide = GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
        results.answerOwn = SendMessageA(dialog, kAnswerOwn, 0, 0);
        HDC dc = GetDC(dialog);
        HWND edit = GetDlgItem(dialog, kEditId);
        results.editColour = SendMessageA(dialog, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                          reinterpret_cast<LPARAM>(edit));
        results.staticColour = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                            reinterpret_cast<LPARAM>(edit));
        ReleaseDC(dialog, dc);
        PostCloseBox(dialog);
        return 0;
    }
    default:
        return 0;
    }
}

TEST(FrameDialogProc, HandledResultLandsInMsgResult) {
    HWND dialog = MakeDialog();
    results = Results{};
    ASSERT_TRUE(RunLogged(dialog, AnswerThenClose)) << Describe(MessageLog);
    EXPECT_EQ(kWide, results.answerWide);
    EXPECT_EQ(kWide, results.msgResultAfterWide);
    EXPECT_EQ(7, results.answerOwn) << "the handler's own DWLP_MSGRESULT was overwritten";
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)), results.editColour);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)), results.staticColour)
        << "an unhandled colour request must get the platform's brush";
}

TEST(FrameRunModal, ReturnsAfterInitDialogWhenThereIsNoDialog) {
    initCall = InitDialogCall{};
    FrameRunModal(nullptr, ProbeAtInitThenClose);
    EXPECT_EQ(1, initCall.calls);
}

// The template, seen through the window it makes.
LOGFONTA FontOf(HWND window) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST(FrameCreateDialog, MakesTheWindowItsTemplateDescribes) {
    constexpr DWORD kGiven =
        static_cast<DWORD>(WS_POPUP) | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SYSMODAL;
    constexpr DWORD kMade = (kGiven & ~static_cast<DWORD>(WS_VISIBLE | DS_SYSMODAL)) | 0x54;
    HWND dialog =
        FrameCreateDialog(nullptr, "Made from a template", 8, 40, 120, 60, kGiven, WS_EX_TOPMOST);
    ASSERT_NE(nullptr, dialog);
    const auto style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    EXPECT_EQ(kMade, style & ~static_cast<DWORD>(WS_CLIPSIBLINGS)) << std::hex << "style " << style;
    EXPECT_NE(0, GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    char text[64] = {};
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ("Made from a template", text);
    char className[16] = {};
    GetClassNameA(dialog, className, sizeof className);
    EXPECT_STREQ("#32770", className);
    EXPECT_EQ(nullptr, GetMenu(dialog));

    const LOGFONTA font = FontOf(dialog);
    EXPECT_STREQ("MS Sans Serif", font.lfFaceName);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), font.lfHeight);
    ReleaseDC(nullptr, screen);

    // x and y place the client area, which is width by height dialog units.
    RECT where{8, 40, 120, 60};
    MapDialogRect(dialog, &where);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(where.left, origin.x);
    EXPECT_EQ(where.top, origin.y);
    EXPECT_EQ(where.right, client.right);
    EXPECT_EQ(where.bottom, client.bottom);
    DestroyWindow(dialog);
}

// The caption's 16-bit characters in a template: from the eleventh word on,
// after the header, the menu and the class.
std::wstring TemplateCaption(const char* caption) {
    DialogTemplate made =
        BuildDialogTemplate(caption, 0, 0, 50, 20, WS_POPUP, 0, 8, "MS Sans Serif");
    if (made.words == nullptr) {
        ADD_FAILURE() << "no template for '" << caption << "'";
        return std::wstring();
    }
    const auto* chars = reinterpret_cast<const wchar_t*>(made.words) + 11;
    std::wstring text(chars);
    FreeDialogTemplate(&made);
    return text;
}

TEST(FrameCreateDialog, WritesAnEmptyCaptionAsOneBlankAndWidensEachByte) {
    HWND blank = FrameCreateDialog(nullptr, "", 0, 0, 50, 20, WS_POPUP | WS_CAPTION, 0);
    char text[8] = {};
    GetWindowTextA(blank, text, sizeof text);
    EXPECT_STREQ(" ", text);
    DestroyWindow(blank);

    // Seen in the template itself: Wine's CreateDialogIndirectParamA takes the
    // caption back through the ANSI code page, which hides how it was widened.
    // 0x80 is the euro sign in code page 1252, but widened byte by byte U+0080.
    EXPECT_EQ(std::wstring(L"\x0080\x00E9"), TemplateCaption("\x80\xE9"));
    EXPECT_EQ(std::wstring(L" "), TemplateCaption(""));
}

TEST(ControlOperations, SetGetSelectFocusAndFont) {
    HWND dialog = MakeDialog();
    HWND label = FrameAddControl(LabelControl, dialog, 11, "", 5, 80, 50, 8, 0, 0);
    ASSERT_NE(nullptr, label);

    SetControlText(dialog, 11, std::string_view("AB\0CD", 5));
    EXPECT_EQ("AB", ControlText(dialog, 11)) << "the text ends at its first NUL";
    SetControlText(dialog, 11, std::string_view("HELLO WORLD").substr(0, 5));
    EXPECT_EQ("HELLO", ControlText(dialog, 11)) << "only the view's own bytes";
    const std::string longText(100000, 'x');
    SetControlText(dialog, 11, longText);
    EXPECT_EQ(longText, ControlText(dialog, 11)) << "the whole text, however long";
    HeapText read = GetControlText(dialog, 11);
    ASSERT_NE(nullptr, read.chars);
    EXPECT_EQ(longText.size(), read.length);
    EXPECT_EQ('\0', read.chars[read.length]) << "the text ends in its NUL";
    FreeText(&read);
    SetControlText(dialog, 11, "");
    EXPECT_EQ("", ControlText(dialog, 11));
    EXPECT_EQ("", ControlText(dialog, 999)) << "no such control";

    SetControlText(dialog, kEditId, "ABCDE");
    SetControlSelection(dialog, kEditId, 1, 3);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(GetDlgItem(dialog, kEditId), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(1u, start);
    EXPECT_EQ(3u, end);

    SetControlFocus(dialog, IDCANCEL);
    EXPECT_EQ(GetDlgItem(dialog, IDCANCEL), GetFocus());

    HFONT font = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
    SetControlFont(dialog, kEditId, font, FALSE);
    EXPECT_EQ(reinterpret_cast<LRESULT>(font),
              SendMessageA(GetDlgItem(dialog, kEditId), WM_GETFONT, 0, 0));
    DestroyWindow(dialog);
}

} // namespace
