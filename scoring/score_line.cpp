// The score line and its two number rules. The percentage is rounded from the
// exact binary value of a float, so the last digit never depends on the
// compiler's floating-point mode.
#include "score_line.h"

#include <cmath>
#include <cstring>
#include <string_view>

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
    // double; rint rounds halves to even in the default rounding mode. (Unlike
    // nearbyint it may raise the inexact flag, which nothing reads; MinGW's
    // nearbyint saves and restores the x87 control word, four times slower.)
    volatile double product = static_cast<double>(p) * 100.0;
    return static_cast<std::int64_t>(std::rint(product));
}

namespace {

// The most decimal digits a formatter writes: 100 * FLT_MAX has 41.
constexpr std::size_t kMaxDigits = 48;

// Appends the piece and a NUL to out. A piece that would not fit is cut, which
// the formatters' own texts never are.
void Append(ScoreText* out, std::string_view piece) {
    const std::size_t room = sizeof out->text - 1 - out->length;
    const std::size_t count = piece.size() < room ? piece.size() : room;
    std::memcpy(out->text + out->length, piece.data(), count);
    out->length += count;
    out->text[out->length] = '\0';
}

// Writes the decimal digits of value, most significant first and "0" for 0,
// to digits (room for kMaxDigits); their count.
std::size_t DecimalDigits(std::uint64_t value, char* digits) {
    char reversed[kMaxDigits];
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (std::size_t i = 0; i < count; ++i) {
        digits[i] = reversed[count - 1 - i];
    }
    return count;
}

// Writes the decimal digits of 100 * mantissa * 2^exponent (exponent >= 0),
// most significant first, to digits (room for kMaxDigits); their count. The
// digits are found by repeated doubling of a little-endian digit string.
std::size_t DigitsOfScaledInteger(std::uint32_t mantissa, int exponent, char* digits) {
    char little[kMaxDigits]; // digit values, least significant first
    std::size_t count = 0;
    for (std::uint64_t m = mantissa * std::uint64_t{100}; m != 0; m /= 10) {
        little[count++] = static_cast<char>(m % 10);
    }
    for (int k = 0; k < exponent; ++k) {
        int carry = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const int v = little[i] * 2 + carry;
            little[i] = static_cast<char>(v % 10);
            carry = v / 10;
        }
        if (carry != 0 && count < kMaxDigits) {
            little[count++] = static_cast<char>(carry);
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        digits[i] = static_cast<char>('0' + little[count - 1 - i]);
    }
    return count;
}

// Writes the digits of m = round(100 * magnitude) for any finite, non-negative
// magnitude to digits (room for kMaxDigits); their count.
std::size_t HundredthsDigits(float magnitude, char* digits) {
    if (magnitude < 1.0e13F) {
        return DecimalDigits(static_cast<std::uint64_t>(PercentHundredths(magnitude)), digits);
    }
    // Beyond 2^24 every float is an integer: mantissa * 2^exponent exactly.
    std::uint32_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const std::uint32_t mantissa = (bits & 0x7FFFFFU) | 0x800000U;
    const int exponent = static_cast<int>((bits >> 23) & 0xFFU) - 127 - 23;
    return DigitsOfScaledInteger(mantissa, exponent, digits);
}

} // namespace

ScoreText FormatCount(std::int16_t n) {
    const int value = n;
    ScoreText out{};
    Append(&out, value < 0 ? "-" : " ");
    char digits[kMaxDigits];
    const std::size_t count =
        DecimalDigits(static_cast<std::uint64_t>(value < 0 ? -value : value), digits);
    Append(&out, std::string_view(digits, count));
    return out;
}

ScoreText FormatPercent(float p) {
    ScoreText out{};
    if (std::isnan(p)) {
        p = 0.0F;
    }
    if (std::isinf(p)) {
        Append(&out, p < 0 ? "-Infinity" : "Infinity");
        return out;
    }
    // Two places more than the longest digit string, for the leading zeros.
    char digits[kMaxDigits + 2];
    std::size_t count = HundredthsDigits(std::fabs(p), digits);
    const bool negative = std::signbit(p) && !(count == 1 && digits[0] == '0');
    if (count < 3) {
        // At least one integer digit: 5 hundredths are "0.05".
        const std::size_t pad = 3 - count;
        std::memmove(digits + pad, digits, count);
        std::memset(digits, '0', pad);
        count = 3;
    }
    if (negative) {
        Append(&out, "-");
    }
    Append(&out, std::string_view(digits, count - 2));
    Append(&out, ".");
    Append(&out, std::string_view(digits + count - 2, 2));
    return out;
}

ScoreText FormatScoreLine(std::int16_t correct, std::int16_t total) {
    ScoreText line = FormatCount(correct);
    const ScoreText totalText = FormatCount(total);
    const ScoreText percentText = FormatPercent(ScorePercent(correct, total));
    Append(&line, " out of");
    Append(&line, std::string_view(totalText.text, totalText.length));
    Append(&line, " = ");
    Append(&line, std::string_view(percentText.text, percentText.length));
    Append(&line, "%");
    return line;
}
