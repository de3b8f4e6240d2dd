// MainDialog: the text font, the table of the eleven controls, and building and
// running the dialog through the frame.
#include "main_dialog.h"

#include "annotations.h"
#include "dialog_frame.h"

#include <commctrl.h>

#include <cstring>

HWND MainDialog = nullptr;
HFONT TextFont = nullptr;

namespace {

// Visible, caption, window menu, minimise box, modal frame, dialog font, 3D look.
constexpr DWORD kDialogStyle = 0x14CA00C4;
// Modal frame, topmost, window edge, control parent.
constexpr DWORD kDialogExStyle = 0x00010109;

// Multi-line with a vertical scroll bar, capitals, wants Enter, keeps its
// selection shown without the focus.
constexpr DWORD kTextBoxStyle = 0x5021150C;
constexpr DWORD kButtonStyle = 0x50010000; // plain push button, a tab stop
constexpr DWORD kLabelStyle = 0x50000000;  // left-aligned text
constexpr DWORD kScoreStyle = 0x50001001;  // centred text in a sunken frame
constexpr DWORD kTextBoxExStyle = WS_EX_NOPARENTNOTIFY | WS_EX_CLIENTEDGE;
constexpr DWORD kPlainExStyle = WS_EX_NOPARENTNOTIFY;
constexpr DWORD kScoreExStyle = WS_EX_NOPARENTNOTIFY | WS_EX_STATICEDGE;

struct ControlRow {
    ControlKind kind;
    int id;
    const char* caption;
    int x, y, width, height; // dialog units
    DWORD style;
    DWORD exStyle;
    // For screen readers: the row of the label whose caption names the control
    // (kNotNamed for none).
    int namedBy;
    bool textFont;   // TextFont instead of the dialog font
    bool liveRegion; // its text read out by screen readers as it changes
};

// The rows of the two labels that name the text boxes; the lower one has no id
// of its own to be found by.
constexpr int kNotNamed = -1;
constexpr int kSentLabelRow = 8;
constexpr int kReceivedLabelRow = 10;

// In creation order, which is also the z-order and the Tab order.
// clang-format off
constexpr ControlRow kControls[] = {
    {TextBoxControl, IDC_RECEIVED_TEXT, "", 10, 115, 321, 74, kTextBoxStyle, kTextBoxExStyle, kReceivedLabelRow, true, false},
    {ButtonControl, IDC_COMPARE, "&Compare Text", 220, 195, 53, 14, kButtonStyle, kPlainExStyle, kNotNamed, false, false},
    {ButtonControl, IDC_ERASE, "&Erase Text", 10, 195, 53, 14, kButtonStyle, kPlainExStyle, kNotNamed, false, false},
    {ButtonControl, IDC_RUN_TRAINER, "&Run Tamsor", 159, 95, 53, 14, kButtonStyle, kPlainExStyle, kNotNamed, false, false},
    {ButtonControl, IDC_BEGIN, "&Begin CW", 219, 95, 53, 14, kButtonStyle, kPlainExStyle, kNotNamed, false, false},
    {ButtonControl, IDC_STOP, "&Stop CW", 279, 95, 53, 14, kButtonStyle, kPlainExStyle, kNotNamed, false, false},
    {ButtonControl, IDCANCEL, "&Quit", 280, 195, 53, 14, kButtonStyle, kPlainExStyle, kNotNamed, false, false},
    {TextBoxControl, IDC_SENT_TEXT, "", 10, 15, 321, 74, kTextBoxStyle, kTextBoxExStyle, kSentLabelRow, true, false},
    {LabelControl, IDC_SENT_LABEL, "Zintra Trainer Transmission Text", 10, 5, 220, 8, kLabelStyle, kPlainExStyle, kNotNamed, false, false},
    {LabelControl, IDC_SCORE, "", 70, 196, 144, 12, kScoreStyle, kScoreExStyle, kNotNamed, true, true},
    {LabelControl, IDC_UNNAMED, "Type Received Text in this window", 10, 105, 123, 8, kLabelStyle, kPlainExStyle, kNotNamed, false, false},
};
// clang-format on
static_assert(kControls[kSentLabelRow].id == IDC_SENT_LABEL, "the upper box's label");
static_assert(kControls[kReceivedLabelRow].kind == LabelControl &&
                  kControls[kReceivedLabelRow].id == IDC_UNNAMED,
              "the lower box's label");

bool Annotated(const ControlRow& row) {
    return row.namedBy != kNotNamed || row.liveRegion;
}

// The screen's dots per inch, as the system reports them to this process; 96
// when there is no screen to ask.
int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return 96;
    }
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// The stock ANSI_VAR_FONT with height, width, weight and face changed; every
// other field is the stock font's. 18 pixels high at 96 dots per inch, in
// proportion at any other scale, as the dialog font grows with the display.
HFONT MakeTextFont() {
    LOGFONTA font{};
    GetObjectA(GetStockObject(ANSI_VAR_FONT), sizeof font, &font);
    font.lfHeight = -MulDiv(18, ScreenDpi(), 96);
    font.lfWidth = 0;
    font.lfWeight = FW_NORMAL;
    constexpr char kFace[] = "Arial";
    static_assert(sizeof kFace <= LF_FACESIZE, "the face name must fit its field");
    std::memcpy(font.lfFaceName, kFace, sizeof kFace);
    return CreateFontIndirectA(&font);
}

void SetIcons(HWND dialog) {
    SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_APPLICATION)));
    SendMessageA(dialog, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_APPLICATION)));
}

void AddControls(HWND dialog) {
    for (const ControlRow& row : kControls) {
        HWND control = FrameAddControl(row.kind, dialog, row.id, row.caption, row.x, row.y,
                                       row.width, row.height, row.style, row.exStyle);
        if (row.textFont) {
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(TextFont), FALSE);
        }
    }
}

// Names each text box after its label and makes the score label a polite live
// region, for screen readers.
void AnnotateControls(HWND dialog) {
    IAccPropServices* service = OpenAnnotations();
    for (const ControlRow& row : kControls) {
        if (row.namedBy != kNotNamed) {
            AnnotateName(service, GetDlgItem(dialog, row.id), kControls[row.namedBy].caption);
        }
        if (row.liveRegion) {
            AnnotatePoliteLiveRegion(service, GetDlgItem(dialog, row.id));
        }
    }
    CloseAnnotations(service);
}

} // namespace

void ClearControlAnnotations(HWND dialog) {
    IAccPropServices* service = OpenAnnotations();
    for (const ControlRow& row : kControls) {
        if (Annotated(row)) {
            ClearAnnotations(service, GetDlgItem(dialog, row.id));
        }
    }
    CloseAnnotations(service);
}

HWND BuildMainDialog() {
    // With the manifest's Common Controls 6, the BUTTON, EDIT and STATIC classes
    // come from its comctl32.dll; Windows XP loads it only when asked.
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    TextFont = MakeTextFont();
    MainDialog = FrameCreateDialog(nullptr, kMainDialogCaption, 0, 0, 343, 216, kDialogStyle,
                                   kDialogExStyle);
    SetIcons(MainDialog);
    AddControls(MainDialog);
    AnnotateControls(MainDialog);
    return MainDialog;
}

int ReceiverMain(HINSTANCE /*instance*/, HINSTANCE /*previousInstance*/,
                 const char* /*commandTail*/, int /*showCommand*/) {
    FrameRunModal(BuildMainDialog(), MainDialogProc);
    return 0;
}
