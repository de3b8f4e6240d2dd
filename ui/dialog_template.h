// The in-memory DLGTEMPLATE (no items) that the dialog frame hands to
// CreateDialogIndirectParamA.
#pragma once

#include <windows.h>

#include <cstddef>

// A template on the heap, in 32-bit words so it starts on a 4-byte boundary.
// Its holder owns it and releases it with FreeDialogTemplate.
struct DialogTemplate {
    DWORD* words; // nullptr when no template could be made
    std::size_t count;
};

// A new template owned by the caller: style, extended style, no items, the
// rectangle in dialog units, no menu, the platform's dialog class, the caption
// and the font (point size and face name). Caption and face name are widened
// byte by byte, each byte one 16-bit character of the same value; an empty
// caption is written as one blank. words is nullptr when the memory cannot be had.
DialogTemplate BuildDialogTemplate(const char* caption, int x, int y, int width, int height,
                                   DWORD style, DWORD exStyle, WORD pointSize,
                                   const char* faceName);

// Releases what *dialogTemplate owns and leaves it empty; nothing to an empty one.
void FreeDialogTemplate(DialogTemplate* dialogTemplate);
