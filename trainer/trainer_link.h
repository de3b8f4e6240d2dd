// The Receiver's link to the Trainer's window: find it by its title, press its
// buttons and read the text it has sent. Each call looks for the Trainer afresh.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

using TrainerWindow = std::uintptr_t; // 0 = no window

// The Trainer's top-level window, or 0 when it is not running.
TrainerWindow FindTrainerWindow();

// Clicks, in the order the window system reports them, every direct child of the
// Trainer's window whose class name and caption match (see ButtonMatches). Does
// nothing when there is no Trainer or no matching child.
void PressTrainerButton(std::string_view className, std::string_view caption);

// Room for what ReadTrainerText reads: at most 27,999 characters and a NUL.
constexpr std::size_t kTrainerTextSize = 28001;

// Fills text, the caller's, with the text of the Trainer's first non-empty
// "TRichEdit" child, NUL-terminated: at most 27,999 characters, ending at its
// first NUL; "" when there is none. Returns the text's length.
std::size_t ReadTrainerText(char (&text)[kTrainerTextSize]);
