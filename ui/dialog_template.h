// The in-memory DLGTEMPLATE (no items) that the dialog frame hands to
// CreateDialogIndirectParamA.
#pragma once

#include <windows.h>

#include <vector>

// A new template owned by the caller, in 32-bit words so it starts on a 4-byte
// boundary: style, extended style, no items, the rectangle in dialog units, no
// menu, the platform's dialog class, the caption and the font (point size and
// face name). Caption and face name are widened byte by byte, each byte one
// 16-bit character of the same value; an empty caption is written as one blank.
std::vector<DWORD> BuildDialogTemplate(const char* caption, int x, int y, int width, int height,
                                       DWORD style, DWORD exStyle, WORD pointSize,
                                       const char* faceName);
