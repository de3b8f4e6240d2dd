// The score line and its two number rules. The percentage is rounded from the
// exact binary value of a float, so the last digit never depends on the
// compiler's floating-point mode.
#include "score_line.h"

#include <cmath>
#include <cstring>

float ScorePercent(std::int16_t correct, std::int16_t total) {
    // Rounding the double quotient to float gives the float nearest to the exact
    // quotient for every pair of 16-bit counts. volatile keeps an x87 build
    // from carrying the quotient in extended precision into the conversion.
    volatile double quotient = 100.0 * correct / total;
    return static_cast<float>(quotient);
}

std::int64_t PercentHundredths(float p) {
    if (std::isnan(p)) {
        return 0;
    }
    // A float has 24 significant bits, so 100 * p (7 more bits) is exact in a
    // double; nearbyint rounds halves to even in the default rounding mode.
    volatile double product = static_cast<double>(p) * 100.0;
    return static_cast<std::int64_t>(std::nearbyint(product));
}

namespace {

// Decimal digits of the integer mantissa * 2^exponent (exponent >= 0), by
// repeated doubling of a little-endian digit string.
std::string DigitsOfScaledInteger(std::uint32_t mantissa, int exponent) {
    std::string digits; // least significant first
    for (std::uint64_t m = mantissa * std::uint64_t{100}; m != 0; m /= 10) {
        digits.push_back(static_cast<char>('0' + m % 10));
    }
    for (int k = 0; k < exponent; ++k) {
        int carry = 0;
        for (char& d : digits) {
            const int v = (d - '0') * 2 + carry;
            d = static_cast<char>('0' + v % 10);
            carry = v / 10;
        }
        if (carry != 0) {
            digits.push_back(static_cast<char>('0' + carry));
        }
    }
    return {digits.rbegin(), digits.rend()};
}

// The digits of m = round(100 * |p|) for any finite p, as text.
std::string HundredthsDigits(float magnitude) {
    if (magnitude < 1.0e13F) {
        return std::to_string(PercentHundredths(magnitude));
    }
    // Beyond 2^24 every float is an integer: mantissa * 2^exponent exactly.
    std::uint32_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const std::uint32_t mantissa = (bits & 0x7FFFFFU) | 0x800000U;
    const int exponent = static_cast<int>((bits >> 23) & 0xFFU) - 127 - 23;
    return DigitsOfScaledInteger(mantissa, exponent);
}

} // namespace

std::string FormatCount(std::int16_t n) {
    const int value = n;
    std::string out(1, value < 0 ? '-' : ' ');
    out += std::to_string(value < 0 ? -value : value);
    return out;
}

std::string FormatPercent(float p) {
    if (std::isnan(p)) {
        p = 0.0F;
    }
    if (std::isinf(p)) {
        return p < 0 ? "-Infinity" : "Infinity";
    }
    std::string digits = HundredthsDigits(std::fabs(p));
    const bool negative = std::signbit(p) && digits != "0";
    if (digits.size() < 3) {
        digits.insert(0, 3 - digits.size(), '0');
    }
    digits.insert(digits.size() - 2, 1, '.');
    return negative ? "-" + digits : digits;
}

std::string FormatScoreLine(std::int16_t correct, std::int16_t total) {
    return FormatCount(correct) + " out of" + FormatCount(total) + " = " +
           FormatPercent(ScorePercent(correct, total)) + "%";
}
