// An integer-only model of the percentage: the float nearest to 100*c/t found
// by long division, then 100 times that float rounded half to even.
#pragma once

#include <cstdint>

// m such that the score line shows m/100 "." m%100, for 0 <= c <= t <= 32767;
// 0 for c = t = 0.
std::int64_t OracleHundredths(std::int32_t correct, std::int32_t total);
