// The score line, its count and percentage rules, and the oracle the
// exhaustive check relies on, against the worked values; the digits written
// against the standard library's for whole ranges of values.
#include "oracle.h"
#include "score_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace {

// A formatter's text as a string; its length must be where its NUL is.
std::string Shown(const ScoreText& t) {
    EXPECT_LT(t.length, sizeof t.text);
    EXPECT_EQ(std::strlen(t.text), t.length) << t.text;
    return std::string(t.text, t.length);
}

// m hundredths as "##0.00", written with std::to_string.
std::string HundredthsText(std::uint64_t m) {
    const std::string cents = std::to_string(m % 100);
    return std::to_string(m / 100) + "." + (cents.size() < 2 ? "0" : "") + cents;
}

} // namespace

TEST(FormatCount, SignPositionThenPlainDigits) {
    EXPECT_EQ(" 0", Shown(FormatCount(0)));
    EXPECT_EQ(" 7", Shown(FormatCount(7)));
    EXPECT_EQ(" 32767", Shown(FormatCount(32767)));
    EXPECT_EQ("-12", Shown(FormatCount(-12)));
    EXPECT_EQ("-32768", Shown(FormatCount(-32768)));
    for (int n = -32768; n <= 32767; ++n) {
        const std::string want = (n < 0 ? "-" : " ") + std::to_string(n < 0 ? -n : n);
        ASSERT_EQ(want, Shown(FormatCount(static_cast<std::int16_t>(n))));
    }
}

TEST(ScoreLine, WorkedValues) {
    struct Row {
        int correct;
        int total;
        const char* shown;
    };
    const Row rows[] = {
        {45, 50, "90.00"},        {0, 50, "0.00"},        {50, 50, "100.00"},
        {2, 3, "66.67"},          {1, 3, "33.33"},        {1, 7, "14.29"},
        {1, 800, "0.12"},         {3, 800, "0.38"},       {1, 160, "0.62"},
        {3, 160, "1.88"},         {2469, 20000, "12.35"}, {1, 20000, "0.00"},
        {1462, 1491, "98.06"},    {1074, 1541, "69.69"},  {1999, 2000, "99.95"},
        {19999, 20000, "100.00"}, {0, 0, "0.00"},
    };
    for (const Row& row : rows) {
        const auto c = static_cast<std::int16_t>(row.correct);
        const auto t = static_cast<std::int16_t>(row.total);
        EXPECT_EQ(row.shown, Shown(FormatPercent(ScorePercent(c, t))))
            << row.correct << " of " << row.total;
        EXPECT_EQ(OracleHundredths(row.correct, row.total), PercentHundredths(ScorePercent(c, t)))
            << row.correct << " of " << row.total;
    }
}

TEST(ScoreLine, ExactLines) {
    EXPECT_EQ(" 45 out of 50 = 90.00%", Shown(FormatScoreLine(45, 50)));
    EXPECT_EQ(" 50 out of 50 = 100.00%", Shown(FormatScoreLine(50, 50)));
    EXPECT_EQ(" 1 out of 1 = 100.00%", Shown(FormatScoreLine(1, 1)));
    EXPECT_EQ(" 0 out of 50 = 0.00%", Shown(FormatScoreLine(0, 50)));
    EXPECT_EQ(" 0 out of 0 = 0.00%", Shown(FormatScoreLine(0, 0)));
    EXPECT_EQ(" 2 out of 3 = 66.67%", Shown(FormatScoreLine(2, 3)));
    EXPECT_EQ(" 1 out of 3 = 33.33%", Shown(FormatScoreLine(1, 3)));
    EXPECT_EQ(" 1 out of 160 = 0.62%", Shown(FormatScoreLine(1, 160)));
    EXPECT_EQ(" 3 out of 800 = 0.38%", Shown(FormatScoreLine(3, 800)));
    EXPECT_EQ(" 1 out of 800 = 0.12%", Shown(FormatScoreLine(1, 800)));
    EXPECT_EQ(" 1462 out of 1491 = 98.06%", Shown(FormatScoreLine(1462, 1491)));
    EXPECT_EQ(" 1074 out of 1541 = 69.69%", Shown(FormatScoreLine(1074, 1541)));
    EXPECT_EQ(" 1 out of 20000 = 0.00%", Shown(FormatScoreLine(1, 20000)));
    EXPECT_EQ(" 2469 out of 20000 = 12.35%", Shown(FormatScoreLine(2469, 20000)));
    EXPECT_EQ(" 19999 out of 20000 = 100.00%", Shown(FormatScoreLine(19999, 20000)));
    EXPECT_EQ(" 27999 out of 28000 = 100.00%", Shown(FormatScoreLine(27999, 28000)));
    EXPECT_EQ(" 21762 out of 22841 = 95.28%", Shown(FormatScoreLine(21762, 22841)));
}

TEST(FormatPercent, MaskHasNoPaddingAndWritesLargeValuesInFull) {
    EXPECT_EQ("5.50", Shown(FormatPercent(5.5F)));
    EXPECT_EQ("0.50", Shown(FormatPercent(0.5F)));
    EXPECT_EQ("1234.50", Shown(FormatPercent(1234.5F)));
    EXPECT_EQ("-1234.50", Shown(FormatPercent(-1234.5F)));
    EXPECT_EQ("0.00", Shown(FormatPercent(-0.0F)));
    EXPECT_EQ("0.00", Shown(FormatPercent(std::numeric_limits<float>::quiet_NaN())));
    EXPECT_EQ("16777216.00", Shown(FormatPercent(16777216.0F)));
    EXPECT_EQ("340282346638528859811704183484516925440.00",
              Shown(FormatPercent(std::numeric_limits<float>::max())));
    EXPECT_EQ("Infinity", Shown(FormatPercent(std::numeric_limits<float>::infinity())));
}

TEST(FormatPercent, DigitsAreThoseOfTheRoundedHundredths) {
    // Every hundredth up to 2,000.00, and the floats around each power of ten
    // up to 10^13, where the digits stop being those of the rounded hundredths
    // and become those of the float's integer value.
    for (std::uint32_t m = 0; m <= 200000; ++m) {
        const float p = static_cast<float>(m) / 100.0F;
        const auto h = static_cast<std::uint64_t>(PercentHundredths(p));
        ASSERT_EQ(HundredthsText(h), Shown(FormatPercent(p))) << m;
        if (h != 0) {
            ASSERT_EQ("-" + HundredthsText(h), Shown(FormatPercent(-p))) << m;
        }
    }
    for (int power = 0; power <= 13; ++power) {
        const auto decade = static_cast<float>(std::pow(10.0, power));
        float p = decade;
        for (int step = 0; step < 200; ++step) {
            p = std::nextafter(p, 0.0F);
        }
        for (int step = 0; step < 400; ++step) {
            const auto h = static_cast<std::uint64_t>(PercentHundredths(p));
            ASSERT_EQ(HundredthsText(h), Shown(FormatPercent(p))) << p;
            p = std::nextafter(p, 2.0F * decade);
        }
    }
    // From 10^13 on the float's integer value is written out in full; below
    // 2^64 / 100 its hundredths are still a 64-bit integer to check it by.
    // The steps of 0.1% reach about 1.6 * 10^17.
    for (int step = 0; step < 9700; ++step) {
        const auto p = static_cast<float>(1.0e13 * std::pow(1.001, step));
        const auto whole = static_cast<std::uint64_t>(p);
        ASSERT_EQ(HundredthsText(whole * 100), Shown(FormatPercent(p))) << whole;
        ASSERT_EQ("-" + HundredthsText(whole * 100), Shown(FormatPercent(-p))) << whole;
    }
    EXPECT_EQ("-Infinity", Shown(FormatPercent(-std::numeric_limits<float>::infinity())));
}
