// Which child of the Trainer's window counts as a wanted button: plain text
// logic, no window system.
#pragma once

#include <string>
#include <string_view>

// A new string: the caption upper-cased, then stripped of every '&'.
std::string CaptionKey(std::string_view caption);

// True when the child's class name upper-cased equals wantedClassUpper and the
// child's caption, upper-cased and stripped of every '&', equals
// wantedCaptionUpper. Both wanted values must already be upper-cased (UpperText);
// the wanted caption keeps any '&', so one containing '&' never matches.
bool ButtonMatches(std::string_view childClass, std::string_view childCaption,
                   std::string_view wantedClassUpper, std::string_view wantedCaptionUpper);
