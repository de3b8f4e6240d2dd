// The practice Trainer's command-line switches, which build the unusual window
// layouts the Trainer link's tests need.
#pragma once

#include <string>

// Each field with the switch that sets it.
struct PracticeOptions {
    std::string title = " Zintra Method CW Trainer - Tamsor"; // --title TEXT
    std::string startCaption = "&Start";                      // --start-caption TEXT
    std::string buttonClass = "TBitBtn";                      // --button-class NAME (e.g. TBITBTN)
    std::string textClass = "TRichEdit";                      // --text-class NAME (e.g. TRICHEDIT)
    bool editText = false;     // --edit-text: the text control extends EDIT, not the rich-edit one
    bool startInPanel = false; // --start-in-panel: Start inside a panel child
    bool twoStops = false;     // --two-stops: a second Stop after the first
    bool twoTexts = false;     // --two-texts: an empty text control first
    std::string initialText;   // --text TEXT, --text-file PATH, --fill N
    int slowGetTextMs = 0;     // --slow-gettext MS: sleep before each WM_GETTEXT
    int extraChildren = 0;     // --children N: hidden STATICs before the rest
    int x = -1;                // --at X Y: the window's position; by default
    int y = -1;                // the top-right corner of the work area
};

// What follows the Nth group (counted from 1) the practice Trainer sends: a
// blank, or a line break (CR LF) after every tenth group.
const char* GroupEnd(int group);

// N characters laid out as the practice Trainer sends them, with groups
// running through the alphabet: "ABCDE FGHIJ ... UVWXY ZABCD\r\nEFGHI ...".
std::string FillText(int length);

// Reads the switches into *options; unknown switches and missing values are
// passed over, and a file that cannot be read gives no text.
void ParseOptions(int argc, char** argv, PracticeOptions* options);
