// The tests' way of reading a control's text: GetControlText's heap text
// copied into a std::string and released.
#pragma once

#include "dialog_frame.h"

#include <string>

inline std::string ControlText(HWND dialog, int id) {
    HeapText text = GetControlText(dialog, id);
    std::string copy(TextView(text));
    FreeText(&text);
    return copy;
}
