// The practice Trainer: a stand-in for the Zintra Method CW Trainer with the
// same window contract, built like it from owner-drawn buttons and a rich-edit
// text. It counts the clicks that reach it as BN_CLICKED, shows the counts in a
// STATIC child, and while started appends five-letter groups to its text, ten
// to a line.
#include "practice_controls.h"
#include "practice_options.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* kMainClass = "TZintraPractice";
constexpr const char* kPanelClass = "TPanel";

// Control ids; the click report is the STATIC child with IdReport.
enum ControlId : int {
    IdStart = 101,
    IdStop = 102,
    IdSecondStop = 103,
    IdEmptyText = 201,
    IdText = 202,
    IdPanel = 301,
    IdReport = 900,
    IdFirstExtra = 1000,
};

constexpr UINT_PTR kSendTimer = 1;
constexpr UINT kSendIntervalMs = 80; // one character (or one line break) per tick
constexpr std::size_t kClicksKept = 40;

// Pixel layout of the client area.
constexpr int kMargin = 12;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 8;
constexpr int kTextTop = kMargin + kButtonHeight + kMargin;
constexpr int kEmptyTextHeight = 48;
constexpr int kReportHeight = 18;

// Everything the one window needs, used on the one thread.
struct Practice {
    PracticeOptions options;
    HFONT font = nullptr;
    HFONT textFont = nullptr;
    HWND start = nullptr; // or the panel that holds it
    HWND stop = nullptr;
    HWND secondStop = nullptr;
    HWND emptyText = nullptr;
    HWND text = nullptr;
    HWND report = nullptr;
    int starts = 0;
    int stops = 0;
    bool sending = false;
    // The ids of the buttons whose BN_CLICKED arrived, separated by '.', latest
    // last; an id is followed by '*' when its BN_CLICKED did not come from the
    // button's own BM_CLICK handling (a mouse click, a key, a WM_COMMAND sent
    // to the window from outside).
    std::string clicks;
    std::string pending; // the rest of the group being sent, with its blank or line break
    int groups = 0;      // groups begun so far
};

Practice g_practice;

void ShowReport() {
    char line[128];
    std::snprintf(line, sizeof line, "start=%d stop=%d sending=%d clicks=%s", g_practice.starts,
                  g_practice.stops, g_practice.sending ? 1 : 0, g_practice.clicks.c_str());
    SetWindowTextA(g_practice.report, line);
}

void NoteClick(int id, bool fromOwnClick) {
    std::string& clicks = g_practice.clicks;
    clicks += (clicks.empty() ? "" : ".") + std::to_string(id) + (fromOwnClick ? "" : "*");
    while (clicks.size() > kClicksKept) {
        const std::size_t dot = clicks.find('.');
        clicks.erase(0, dot == std::string::npos ? clicks.size() : dot + 1);
    }
}

void AppendText(HWND edit, const char* text) {
    const LRESULT end = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

// Sends the next letter or blank, or a whole line break: the rich-edit control
// would take a CR and then an LF appended apart as two paragraphs.
void SendNext() {
    std::string& pending = g_practice.pending;
    if (pending.empty()) {
        for (int i = 0; i < 5; ++i) {
            pending.push_back(static_cast<char>('A' + std::rand() % 26));
        }
        pending += GroupEnd(++g_practice.groups);
    }
    const std::size_t length = pending.compare(0, 2, "\r\n") == 0 ? 2 : 1;
    AppendText(g_practice.text, pending.substr(0, length).c_str());
    pending.erase(0, length);
}

void OnButton(HWND window, int id, bool fromOwnClick) {
    NoteClick(id, fromOwnClick);
    if (id == IdStart) {
        ++g_practice.starts;
        g_practice.sending = true;
        SetTimer(window, kSendTimer, kSendIntervalMs, nullptr);
    } else {
        ++g_practice.stops;
        g_practice.sending = false;
        KillTimer(window, kSendTimer);
    }
    ShowReport();
}

HWND Child(HWND parent, const char* className, const char* text, DWORD style, int id) {
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(g_practice.font), FALSE);
    return child;
}

HWND TextControl(HWND parent, int id) {
    HWND edit = Child(
        parent, g_practice.options.textClass.c_str(), "",
        WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, id);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(g_practice.textFont), FALSE);
    LiftTextLimit(edit);
    return edit;
}

void CreateControls(HWND window) {
    const PracticeOptions& options = g_practice.options;
    const char* button = options.buttonClass.c_str();
    const DWORD buttonStyle = WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
    for (int i = 0; i < options.extraChildren; ++i) {
        Child(window, "STATIC", "", 0, IdFirstExtra + i);
    }
    if (options.startInPanel) {
        g_practice.start = Child(window, kPanelClass, "", WS_VISIBLE, IdPanel);
        HWND inner =
            Child(g_practice.start, button, options.startCaption.c_str(), buttonStyle, IdStart);
        MoveWindow(inner, 0, 0, kButtonWidth, kButtonHeight, FALSE);
    } else {
        g_practice.start =
            Child(window, button, options.startCaption.c_str(), buttonStyle, IdStart);
    }
    g_practice.stop = Child(window, button, "&Stop", buttonStyle, IdStop);
    if (options.twoStops) {
        g_practice.secondStop = Child(window, button, "&Stop", buttonStyle, IdSecondStop);
    }
    if (options.twoTexts) {
        g_practice.emptyText = TextControl(window, IdEmptyText);
    }
    g_practice.text = TextControl(window, IdText);
    SetWindowTextA(g_practice.text, options.initialText.c_str());
    g_practice.report = Child(window, "STATIC", "", WS_VISIBLE | SS_LEFT, IdReport);
    ShowReport();
}

void Layout(int width, int height) {
    int x = kMargin;
    for (HWND button : {g_practice.start, g_practice.stop, g_practice.secondStop}) {
        if (button != nullptr) {
            MoveWindow(button, x, kMargin, kButtonWidth, kButtonHeight, TRUE);
            x += kButtonWidth + kButtonGap;
        }
    }
    const int reportTop = height - kMargin - kReportHeight;
    MoveWindow(g_practice.report, kMargin, reportTop, width - 2 * kMargin, kReportHeight, TRUE);
    int top = kTextTop;
    const int textBottom = reportTop - kButtonGap;
    if (g_practice.emptyText != nullptr) {
        MoveWindow(g_practice.emptyText, kMargin, top, width - 2 * kMargin, kEmptyTextHeight, TRUE);
        top += kEmptyTextHeight + kButtonGap;
    }
    MoveWindow(g_practice.text, kMargin, top, width - 2 * kMargin, textBottom - top, TRUE);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateControls(window);
        return 0;
    case WM_SIZE:
        Layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COMMAND:
        // The form's reaction to a click, as a Delphi form's: BN_CLICKED from the button.
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) >= IdStart &&
            LOWORD(wParam) <= IdSecondStop) {
            const auto from = reinterpret_cast<HWND>(lParam);
            OnButton(window, LOWORD(wParam), from != nullptr && from == ButtonInClick());
        }
        return 0;
    case WM_DRAWITEM:
        return ReflectDrawItem(lParam);
    case WM_TIMER:
        if (wParam == kSendTimer) {
            SendNext();
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The panel passes its button's notifications up to the main window and
// reflects its drawing to the button.
LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        return SendMessageA(GetParent(window), message, wParam, lParam);
    }
    if (message == WM_DRAWITEM) {
        return ReflectDrawItem(lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = PanelProc;
    wc.lpszClassName = kPanelClass;
    if (RegisterClassExA(&wc) == 0) {
        return false;
    }
    wc.lpfnWndProc = MainProc;
    wc.lpszClassName = kMainClass;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    const PracticeOptions& options = g_practice.options;
    return RegisterClassExA(&wc) != 0 &&
           RegisterControlClasses(instance, {options.buttonClass.c_str(), options.textClass.c_str(),
                                             options.editText, options.slowGetTextMs});
}

void MakeFonts() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        g_practice.font = CreateFontIndirectA(&metrics.lfMessageFont);
    }
    if (g_practice.font == nullptr) {
        g_practice.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    g_practice.textFont = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      FIXED_PITCH | FF_MODERN, "Courier New");
    if (g_practice.textFont == nullptr) {
        g_practice.textFont = g_practice.font;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    ParseOptions(__argc, __argv, &g_practice.options);
    std::srand(GetTickCount());
    if (!RegisterClasses(instance)) {
        return 1;
    }
    MakeFonts();
    RECT frame = {0, 0, 500, 320};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    const int width = frame.right - frame.left;
    // By default in the top-right corner, clear of the Receiver in the top-left one.
    RECT work = {0, 0, 1024, 768};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const PracticeOptions& options = g_practice.options;
    const int x = options.x >= 0 ? options.x : work.right - width;
    const int y = options.y >= 0 ? options.y : work.top;
    HWND window =
        CreateWindowExA(0, kMainClass, options.title.c_str(), WS_OVERLAPPEDWINDOW, x, y, width,
                        frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return 0;
}
