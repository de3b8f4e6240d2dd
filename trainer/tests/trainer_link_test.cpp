// The button matching rule and the two walks over the Trainer's children,
// against the recording fake window system.
#include "button_match.h"
#include "fake_window_system.h"
#include "text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

namespace {

const char* const kTitle = " Zintra Method CW Trainer - Tamsor";

std::string Upper(std::string_view text) {
    std::string upper(text.size(), '\0');
    UpperText(text, upper.data());
    return upper;
}

// What the link reads into a buffer that held other bytes before, as a string
// that must end where the buffer's NUL does.
std::string ReadText(const WindowSystem& system) {
    static char text[kTrainerTextSize];
    std::memset(text, 'x', sizeof text);
    const std::size_t length = ReadTrainerTextWith(system, text);
    EXPECT_EQ(std::strlen(text), length);
    return std::string(text, length);
}

struct MatchCase {
    const char* childClass;
    const char* childCaption;
    const char* wantedClass;
    const char* wantedCaption;
    bool matches;
};

TEST(ButtonMatches, ClassUpperCasedCaptionUpperCasedAndStrippedOfAmpersands) {
    const MatchCase cases[] = {
        {"TBitBtn", "&Start", "TBitBtn", "Start", true},
        {"TBitBtn", "START", "TBitBtn", "Start", true},
        {"TBitBtn", "start", "TBitBtn", "Start", true},
        {"TBitBtn", "St&art", "TBitBtn", "Start", true},
        {"TBitBtn", "&&S&t&a&r&t&", "TBitBtn", "Start", true},
        {"TBITBTN", "Start", "TBitBtn", "Start", true},
        {"tbitbtn", "&Stop", "TBitBtn", "stop", true},
        {"TBitBtn", "Start ", "TBitBtn", "Start", false},
        {"TBitBtn", " Start", "TBitBtn", "Start", false},
        {"TBitBtn", "Starting", "TBitBtn", "Start", false},
        {"TBitBtn", "Sta", "TBitBtn", "Start", false},
        {"TBitBtn", "", "TBitBtn", "Start", false},
        {"TButton", "Start", "TBitBtn", "Start", false},
        {"TBitBtn ", "Start", "TBitBtn", "Start", false},
        {"TBit", "Start", "TBitBtn", "Start", false},
        {"TBitBtn", "&Start", "TBitBtn", "&Start", false}, // the wanted caption keeps its '&'
        {"TBitBtn", "Start", "TBitBtn", "&Start", false},
        {"TBitBtn", "\x84t", "TBitBtn", "\x8eT", true},  // code page 437 pair
        {"TBitBtn", "\xe9t", "TBitBtn", "\xc9T", false}, // ANSI accents stay as they are
    };
    for (const MatchCase& c : cases) {
        EXPECT_EQ(c.matches, ButtonMatches(c.childClass, c.childCaption, Upper(c.wantedClass),
                                           Upper(c.wantedCaption)))
            << "child '" << c.childClass << "' '" << c.childCaption << "', wanted '"
            << c.wantedClass << "' '" << c.wantedCaption << "'";
    }
}

TEST(CaptionKey, UpperCasesAndDropsEveryAmpersandWritingNoMore) {
    struct {
        const char* caption;
        const char* key;
    } const cases[] = {
        {"&Start", "START"},
        {"&&S&t&a&r&t&", "START"},
        {"St&op ", "STOP "},
        {"&", ""},
        {"", ""},
        {"\x84t\xe9", "\x8eT\xe9"},
        {"a&b&&c", "ABC"},
    };
    for (const auto& c : cases) {
        const std::string_view caption(c.caption);
        std::string key(caption.size() + 1, '#');
        const std::size_t length = CaptionKey(caption, key.data());
        EXPECT_EQ(c.key, key.substr(0, length)) << c.caption;
        EXPECT_EQ(std::string(key.size() - length, '#'), key.substr(length))
            << "bytes written past the key of '" << c.caption << "'";
    }
}

class TrainerLink : public ::testing::Test {
  protected:
    FakeDesktop desktop;
    const WindowSystem& system = FakeWindowSystem(&desktop);

    TrainerWindow AddTrainer() { return AddWindow(desktop, 0, "TForm", kTitle); }

    std::vector<std::string> Clicks() const {
        std::vector<std::string> clicks;
        std::copy_if(desktop.calls.begin(), desktop.calls.end(), std::back_inserter(clicks),
                     [](const std::string& call) { return call.rfind("click ", 0) == 0; });
        return clicks;
    }
};

TEST_F(TrainerLink, FindsOnlyTheExactTitle) {
    AddWindow(desktop, 0, "TForm", "Zintra Method CW Trainer - Tamsor");
    AddWindow(desktop, 0, "TForm", std::string(kTitle) + " ");
    EXPECT_EQ(0u, FindTrainerWindowWith(system));
    const TrainerWindow trainer = AddTrainer();
    EXPECT_EQ(trainer, FindTrainerWindowWith(system));
    EXPECT_EQ(std::string("find ") + kTitle, desktop.calls.back());
}

TEST_F(TrainerLink, NoTrainerMeansOnlyTheLookup) {
    AddWindow(desktop, 0, "TBitBtn", "Start");
    PressTrainerButtonWith(system, "TBitBtn", "Start");
    EXPECT_EQ("", ReadText(system));
    EXPECT_EQ(
        (std::vector<std::string>{std::string("find ") + kTitle, std::string("find ") + kTitle}),
        desktop.calls);
}

TEST_F(TrainerLink, PressWalksEveryDirectChildToTheEndAndClicksEachMatchInOrder) {
    const TrainerWindow trainer = AddTrainer();
    AddWindow(desktop, trainer, "TBitBtn", "&Start");                      // 2
    const TrainerWindow panel = AddWindow(desktop, trainer, "TPanel", ""); // 3
    AddWindow(desktop, panel, "TBitBtn", "Start");                         // 4, inside the panel
    AddWindow(desktop, trainer, "TBitBtn", "&Stop");                       // 5
    AddWindow(desktop, trainer, "TBITBTN", "START");                       // 6
    AddWindow(desktop, trainer, "TRichEdit", "");                          // 7
    PressTrainerButtonWith(system, "TBitBtn", "Start");
    const std::vector<std::string> want = {
        std::string("find ") + kTitle,
        "next 1 0",
        "class 2 20",
        "text 2 20",
        "click 2",
        "next 1 2",
        "class 3 20",
        "text 3 20",
        "next 1 3",
        "class 5 20",
        "text 5 20",
        "next 1 5",
        "class 6 20",
        "text 6 20",
        "click 6",
        "next 1 6",
        "class 7 20",
        "text 7 20",
        "next 1 7",
    };
    EXPECT_EQ(want, desktop.calls);
    EXPECT_TRUE(desktop.buffersZeroFilled);
}

TEST_F(TrainerLink, PressClicksBothStopButtonsAndNoStartInsideAPanel) {
    const TrainerWindow trainer = AddTrainer();
    const TrainerWindow panel = AddWindow(desktop, trainer, "TPanel", "");
    AddWindow(desktop, panel, "TBitBtn", "&Start");
    AddWindow(desktop, trainer, "TBitBtn", "&Stop"); // 4
    AddWindow(desktop, trainer, "TBitBtn", "Stop");  // 5
    PressTrainerButtonWith(system, "TBitBtn", "Start");
    EXPECT_TRUE(Clicks().empty());
    PressTrainerButtonWith(system, "TBitBtn", "Stop");
    EXPECT_EQ((std::vector<std::string>{"click 4", "click 5"}), Clicks());
}

TEST_F(TrainerLink, OnlyTheFirst19CharactersOfClassAndCaptionCount) {
    const TrainerWindow trainer = AddTrainer();
    AddWindow(desktop, trainer, "TBitBtn", "Start the transmission"); // 2
    AddWindow(desktop, trainer, "TBitBtnWithLongName9", "Go");        // 3
    AddWindow(desktop, trainer, "TBitBtn", "&S&t&a&r&t&&&&&&&&&X");   // 4: X is the 20th
    struct {
        const char* className;
        const char* caption;
        std::vector<std::string> clicks;
    } const cases[] = {
        {"TBitBtn", "START THE TRANSMISS", {"click 2"}},
        {"TBitBtn", "Start the transmission", {}},
        {"TBitBtnWithLongName", "Go", {"click 3"}},
        {"TBitBtnWithLongName9", "Go", {}}, // a wanted class over 19 characters never matches
        {"TBitBtn", "Start", {"click 4"}},  // cut first, then stripped
        {"TBitBtn", "StartX", {}},
    };
    for (const auto& c : cases) {
        desktop.calls.clear();
        PressTrainerButtonWith(system, c.className, c.caption);
        EXPECT_EQ(c.clicks, Clicks()) << c.className << " " << c.caption;
    }
}

TEST_F(TrainerLink, ReadTakesTheFirstNonEmptyTRichEditAndStillWalksToTheEnd) {
    const TrainerWindow trainer = AddTrainer();
    const TrainerWindow panel = AddWindow(desktop, trainer, "TPanel", ""); // 2
    AddWindow(desktop, panel, "TRichEdit", "", "INSIDE");                  // 3
    AddWindow(desktop, trainer, "TRICHEDIT", "", "UPPER");                 // 4
    AddWindow(desktop, trainer, "TRichEdit", "", "");                      // 5
    AddWindow(desktop, trainer, "TBitBtn", "&Start");                      // 6
    AddWindow(desktop, trainer, "TRichEdit", "", "CQ TEST\r\nDE X");       // 7
    AddWindow(desktop, trainer, "TRichEdit", "", "LATER");                 // 8
    EXPECT_EQ("CQ TEST\r\nDE X", ReadText(system));
    const std::vector<std::string> want = {
        std::string("find ") + kTitle,
        "next 1 0",
        "class 2 100",
        "next 1 2",
        "class 4 100",
        "next 1 4",
        "class 5 100",
        "gettext 5 28000",
        "next 1 5",
        "class 6 100",
        "next 1 6",
        "class 7 100",
        "gettext 7 28000",
        "next 1 7",
        "class 8 100",
        "next 1 8",
    };
    EXPECT_EQ(want, desktop.calls);
    EXPECT_TRUE(desktop.buffersZeroFilled);
}

TEST_F(TrainerLink, ReadCutsTheTextTo27999Characters) {
    const TrainerWindow trainer = AddTrainer();
    const TrainerWindow edit = AddWindow(desktop, trainer, "TRichEdit", "");
    for (const std::size_t length : {27998u, 27999u, 28000u, 30000u}) {
        std::string text(length, 'e');
        text.replace(0, 4, "A\r\nB");
        desktop.windows[edit - 1].text = text;
        EXPECT_EQ(text.substr(0, 27999), ReadText(system)) << length;
    }
}

TEST_F(TrainerLink, ReadGivesNothingWithoutANonEmptyTRichEdit) {
    const TrainerWindow trainer = AddTrainer();
    AddWindow(desktop, trainer, "TRICHEDIT", "", "UPPER");
    AddWindow(desktop, trainer, "TRichEdit", "", "");
    AddWindow(desktop, trainer, "TRichEdit ", "", "SPACE");
    AddWindow(desktop, trainer, "trichedit", "", "LOWER");
    EXPECT_EQ("", ReadText(system));
}

} // namespace
