// The built MainDialog against its layout: every control's id, class, caption,
// styles, rectangle, z-order and font; the window's place, styles and icons;
// the fonts as realised, with Windows' metrics; and the close box ending the
// program's own handler with the font released.
#include "main_dialog.h"

#include "dialog_frame.h"
#include "logged_run.h"
#include "message_log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

enum FontOfControl { DialogFont, ArialFont };

struct ExpectedControl {
    int id;
    const char* className;
    const char* caption;
    int x, y, width, height;
    DWORD style;
    DWORD exStyle;
    FontOfControl font;
};

// Creation order, which must also be the z-order.
const ExpectedControl kLayout[] = {
    {102, "Edit", "", 10, 115, 321, 74, 0x5021150C, 0x00000204, ArialFont},
    {107, "Button", "&Compare Text", 220, 195, 53, 14, 0x50010000, 0x00000004, DialogFont},
    {104, "Button", "&Erase Text", 10, 195, 53, 14, 0x50010000, 0x00000004, DialogFont},
    {108, "Button", "&Run Tamsor", 159, 95, 53, 14, 0x50010000, 0x00000004, DialogFont},
    {105, "Button", "&Begin CW", 219, 95, 53, 14, 0x50010000, 0x00000004, DialogFont},
    {106, "Button", "&Stop CW", 279, 95, 53, 14, 0x50010000, 0x00000004, DialogFont},
    {2, "Button", "&Quit", 280, 195, 53, 14, 0x50010000, 0x00000004, DialogFont},
    {101, "Edit", "", 10, 15, 321, 74, 0x5021150C, 0x00000204, ArialFont},
    {110, "Static", "Zintra Trainer Transmission Text", 10, 5, 220, 8, 0x50000000, 0x00000004,
     DialogFont},
    {103, "Static", "", 70, 196, 144, 12, 0x50001001, 0x00020004, ArialFont},
    {-1, "Static", "Type Received Text in this window", 10, 105, 123, 8, 0x50000000, 0x00000004,
     DialogFont},
};

// Builds the dialog for one test and takes it and its font away afterwards.
class MainDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog = BuildMainDialog();
        ASSERT_NE(nullptr, dialog);
        ASSERT_EQ(dialog, MainDialog);
    }
    void TearDown() override {
        if (IsWindow(dialog)) {
            DestroyWindow(dialog);
        }
        DeleteObject(TextFont);
    }
    HWND dialog = nullptr;
};

std::string TextOf(HWND window) {
    char text[128] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "%#010lx", static_cast<unsigned long>(value));
    return text;
}

// A control's rectangle in the dialog's client coordinates.
RECT PlaceOf(HWND dialog, HWND control) {
    RECT box{};
    GetWindowRect(control, &box);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&box), 2);
    return box;
}

std::string DescribeRect(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

TEST_F(MainDialogTest, ControlsMatchTheLayoutInZOrder) {
    const auto dialogFont = SendMessageA(dialog, WM_GETFONT, 0, 0);
    HWND control = GetWindow(dialog, GW_CHILD);
    for (const ExpectedControl& want : kLayout) {
        SCOPED_TRACE("control " + std::to_string(want.id) + " \"" + want.caption + "\"");
        ASSERT_NE(nullptr, control) << "fewer controls than the layout";
        EXPECT_EQ(want.id, GetDlgCtrlID(control));
        EXPECT_EQ(0, lstrcmpiA(want.className, ClassOf(control).c_str()))
            << "expected class " << want.className << ", got " << ClassOf(control);
        EXPECT_EQ(want.caption, TextOf(control));
        const auto style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE));
        EXPECT_EQ(Hex(want.style), Hex(style)) << "style";
        EXPECT_EQ(Hex(want.exStyle), Hex(exStyle)) << "extended style";

        // Mapped corner by corner, so this is where the dialog units put it.
        RECT want_px{want.x, want.y, want.x + want.width, want.y + want.height};
        MapDialogRect(dialog, &want_px);
        const RECT got = PlaceOf(dialog, control);
        EXPECT_TRUE(EqualRect(&want_px, &got))
            << "expected " << DescribeRect(want_px) << " px, got " << DescribeRect(got) << " px";

        const auto font = SendMessageA(control, WM_GETFONT, 0, 0);
        if (want.font == ArialFont) {
            EXPECT_EQ(reinterpret_cast<LRESULT>(TextFont), font) << "expected TextFont";
        } else {
            EXPECT_EQ(dialogFont, font) << "expected the dialog font";
        }
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, control) << "more controls than the layout";
}

TEST_F(MainDialogTest, TextFontIsArial18ChangedFromTheStockFont) {
    LOGFONTA stock{};
    GetObjectA(GetStockObject(ANSI_VAR_FONT), sizeof stock, &stock);
    LOGFONTA font{};
    ASSERT_EQ(static_cast<int>(sizeof font), GetObjectA(TextFont, sizeof font, &font));
    EXPECT_STREQ("Arial", font.lfFaceName);
    EXPECT_EQ(-18, font.lfHeight);
    EXPECT_EQ(0, font.lfWidth);
    EXPECT_EQ(FW_NORMAL, font.lfWeight);
    // Every other field is the stock font's.
    font.lfHeight = stock.lfHeight;
    font.lfWidth = stock.lfWidth;
    font.lfWeight = stock.lfWeight;
    std::memcpy(font.lfFaceName, stock.lfFaceName, sizeof font.lfFaceName);
    EXPECT_EQ(0, std::memcmp(&stock, &font, sizeof font));
}

TEST_F(MainDialogTest, WindowIsTopLeftTopmostFixedInSizeWithItsIcons) {
    EXPECT_FALSE(IsWindowVisible(dialog)) << "built hidden, shown by the modal run";
    const auto style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE));
    EXPECT_EQ(0x04CA00D4u, style & 0x04CA00D4u) << Hex(style);
    EXPECT_EQ(0u, style & (WS_VISIBLE | DS_SYSMODAL | WS_THICKFRAME | WS_MAXIMIZEBOX))
        << Hex(style);
    EXPECT_EQ(0x00010109u, exStyle & 0x00010109u) << Hex(exStyle);

    const std::string caption = TextOf(dialog);
    EXPECT_NE(std::string::npos, caption.find("Zintra Receiver v")) << caption;
    EXPECT_NE(std::string::npos, caption.find("Trainer")) << caption;
    EXPECT_EQ(nullptr, GetParent(dialog));

    RECT window{};
    GetWindowRect(dialog, &window);
    EXPECT_EQ(0, window.left);
    EXPECT_EQ(0, window.top);
    RECT size{0, 0, 343, 216};
    MapDialogRect(dialog, &size);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_TRUE(EqualRect(&size, &client))
        << "expected client " << DescribeRect(size) << ", got " << DescribeRect(client);

    // The window menu offers Close, which sends SC_CLOSE as the close box does.
    const UINT close = GetMenuState(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
    EXPECT_NE(static_cast<UINT>(-1), close) << "no Close in the window menu";
    EXPECT_EQ(0u, close & (MF_GRAYED | MF_DISABLED));

    const auto icon = reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(icon, SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(icon, SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
}

// What the dialog looks like depends on the fonts as the system realises them,
// not on the names asked for: the dialog font has the metrics of Windows' own
// MS Sans Serif (TextFont's are checked on the score label).
TEST_F(MainDialogTest, DialogFontIsRealisedWithWindowsMetrics) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi != 96) {
        GTEST_SKIP() << "the metrics below are those at 96 dots per inch";
    }
    // MS Sans Serif 8 makes a dialog unit of 6/4 by 13/8 pixels.
    RECT unit{0, 0, 4, 8};
    MapDialogRect(dialog, &unit);
    EXPECT_EQ(6, unit.right) << "horizontal base unit";
    EXPECT_EQ(13, unit.bottom) << "vertical base unit";
}

TEST_F(MainDialogTest, CaptionCarriesTheProjectVersion) {
    const std::string caption = TextOf(dialog);
    const std::string lead = "Zintra Receiver v";
    ASSERT_EQ(0u, caption.find(lead)) << caption;
    const std::size_t end = caption.find(' ', lead.size());
    ASSERT_NE(std::string::npos, end) << caption;
    // The release's first two numbers: "1.11" of 1.11.N.
    const std::string named = caption.substr(lead.size(), end - lead.size());
    const std::string release = RECEIVER_PROJECT_VERSION;
    EXPECT_EQ(release.substr(0, release.rfind('.')), named)
        << "the caption and the project version " << release << " disagree: " << caption;
}

TEST_F(MainDialogTest, CloseBoxEndsTheRunAndReleasesTheFont) {
    static const ExpectedMessage kClose[] = {
        {WM_SYSCOMMAND, MatchWParam, SC_CLOSE},
        {WM_CLOSE, AnyParams, 0},
        {WM_DESTROY, AnyParams, 0},
        {WM_NCDESTROY, AnyParams, 0},
    };
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(RunLogged(dialog, MainDialogProc)) << Describe(MessageLog);
    EXPECT_TRUE(SeenInOrder(MessageLog, kClose));
    EXPECT_EQ(0u, static_cast<unsigned>(GetObjectType(TextFont))) << "TextFont still exists";
    TextFont = nullptr;
}

} // namespace
