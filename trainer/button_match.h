// Which child of the Trainer's window counts as a wanted button: plain text
// logic, no window system.
#pragma once

#include <cstddef>
#include <string_view>

// Writes the caption upper-cased and stripped of every '&' to key, the
// caller's, which must have room for caption.size() bytes; no NUL is added.
// Returns the number of bytes written.
std::size_t CaptionKey(std::string_view caption, char* key);

// True when the child's class name upper-cased equals wantedClassUpper and the
// child's caption, upper-cased and stripped of every '&', equals
// wantedCaptionUpper. Both wanted values must already be upper-cased (UpperText);
// the wanted caption keeps any '&', so one containing '&' never matches.
bool ButtonMatches(std::string_view childClass, std::string_view childCaption,
                   std::string_view wantedClassUpper, std::string_view wantedCaptionUpper);
