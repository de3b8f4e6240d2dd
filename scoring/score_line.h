// The score line shown after a comparison, such as " 45 out of 50 = 90.00%",
// and the count and percentage rules it is built from. Independent of the
// user's locale and of the floating-point unit's excess precision.
#pragma once

#include <cstddef>
#include <cstdint>

// The single-precision value nearest to 100 * correct / total; a NaN when
// total is 0.
float ScorePercent(std::int16_t correct, std::int16_t total);

// The percentage rule's rounding step: 100 * p rounded to the nearest integer,
// halves to the even one, computed on the exact value of p. A NaN gives 0.
// Valid for |p| < 2^53 / 100; larger values are rounded by FormatPercent.
std::int64_t PercentHundredths(float p);

// What the formatters below give, held by value: `length` characters at
// `text`, then a NUL. The array has room for the longest of them, a score
// line whose percentage has a float's 39 integer digits.
struct ScoreText {
    char text[72];
    std::size_t length;
};

// A sign position (space or "-") followed by the decimal digits of n.
ScoreText FormatCount(std::int16_t n);

// p by the mask "##0.00": no padding, at least one integer digit, exactly two
// decimals rounded half to even on the exact value of p; a NaN shows as
// "0.00", infinities as "Infinity" and "-Infinity".
ScoreText FormatPercent(float p);

// FormatCount(correct) + " out of" + FormatCount(total) + " = " +
// FormatPercent(ScorePercent(correct, total)) + "%".
ScoreText FormatScoreLine(std::int16_t correct, std::int16_t total);
