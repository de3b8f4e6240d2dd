// The copy comparison: how much of the sent text the user copied correctly,
// and where the first error stands in each text. No platform dependencies.
#pragma once

#include <cstdint>
#include <string_view>

enum CopyOutcome : std::uint8_t {
    CopyMatched,  // every countable sent character was matched
    CopyMismatch, // a sent character differed from the received one held against it
    CopyShort,    // the received text ran out of countable characters
};

struct ScoreResult {
    std::int16_t total;       // countable (non-blank) characters in the sent text
    std::int16_t correct;     // countable sent characters matched before the walk stopped
    std::int16_t sentPos;     // 1-based index in the sent text where the walk stopped
    std::int16_t receivedPos; // 1-based index in the received text where the walk stopped
    CopyOutcome outcome;
};

// Only this many leading bytes of each text take part in a comparison; bytes
// beyond it are ignored as if the text ended there. The walk can stop two
// places past the end of the received text, so this keeps every count and
// every 1-based position inside the 16-bit signed range (at most 32767).
constexpr std::size_t kMaxComparedLength = 32765;

// Compares the sent text with the received copy: blanks (space, CR, LF) in
// either text are passed over, the rest is compared upper-cased one byte
// against one byte, and the walk stops at the first disagreement or when
// either text is used up. Pure; the texts are only read.
ScoreResult CompareCopy(std::string_view sent, std::string_view received);
