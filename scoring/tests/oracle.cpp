// The percentage oracle, with no floating point at all, for checking the
// formatter over every pair of counts.
#include "oracle.h"

namespace {

int BitLength(std::uint64_t v) {
    int n = 0;
    for (; v != 0; v >>= 1) {
        ++n;
    }
    return n;
}

// Adds one to q when the discarded part rem/den is more than a half, or exactly
// a half and q is odd.
std::uint64_t RoundHalfEven(std::uint64_t q, std::uint64_t rem, std::uint64_t den) {
    if (2 * rem > den || (2 * rem == den && (q & 1) != 0)) {
        return q + 1;
    }
    return q;
}

} // namespace

std::int64_t OracleHundredths(std::int32_t correct, std::int32_t total) {
    if (correct == 0) {
        return 0; // 0/t is 0, and 0/0 is a NaN that shows as 0
    }
    const std::uint64_t num = 100U * static_cast<std::uint64_t>(correct);
    const auto den = static_cast<std::uint64_t>(total);

    // Scale so that the quotient has 24 significant bits: 2^23 <= num*2^k/den < 2^24.
    int k = 23 - (BitLength(num) - BitLength(den));
    std::uint64_t mant = (num << k) / den;
    if (mant >= (1U << 24)) {
        --k;
        mant = (num << k) / den;
    } else if (mant < (1U << 23)) {
        ++k;
        mant = (num << k) / den;
    }
    mant = RoundHalfEven(mant, (num << k) - mant * den, den);
    if (mant == (1U << 24)) {
        mant >>= 1;
        --k;
    }

    // The float is mant / 2^k; 100 times it, rounded half to even.
    const std::uint64_t scaled = 100 * mant;
    const std::uint64_t unit = std::uint64_t{1} << k;
    return static_cast<std::int64_t>(RoundHalfEven(scaled >> k, scaled & (unit - 1), unit));
}
