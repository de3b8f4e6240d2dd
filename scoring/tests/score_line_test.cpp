// The score line, its count and percentage rules, and the oracle the
// exhaustive check relies on, against the worked values.
#include "oracle.h"
#include "score_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(FormatCount, SignPositionThenPlainDigits) {
    EXPECT_EQ(" 0", FormatCount(0));
    EXPECT_EQ(" 7", FormatCount(7));
    EXPECT_EQ(" 32767", FormatCount(32767));
    EXPECT_EQ("-12", FormatCount(-12));
    EXPECT_EQ("-32768", FormatCount(-32768));
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
        EXPECT_EQ(row.shown, FormatPercent(ScorePercent(c, t)))
            << row.correct << " of " << row.total;
        EXPECT_EQ(OracleHundredths(row.correct, row.total), PercentHundredths(ScorePercent(c, t)))
            << row.correct << " of " << row.total;
    }
}

TEST(ScoreLine, ExactLines) {
    EXPECT_EQ(" 45 out of 50 = 90.00%", FormatScoreLine(45, 50));
    EXPECT_EQ(" 50 out of 50 = 100.00%", FormatScoreLine(50, 50));
    EXPECT_EQ(" 1 out of 1 = 100.00%", FormatScoreLine(1, 1));
    EXPECT_EQ(" 0 out of 50 = 0.00%", FormatScoreLine(0, 50));
    EXPECT_EQ(" 0 out of 0 = 0.00%", FormatScoreLine(0, 0));
    EXPECT_EQ(" 2 out of 3 = 66.67%", FormatScoreLine(2, 3));
    EXPECT_EQ(" 1 out of 3 = 33.33%", FormatScoreLine(1, 3));
    EXPECT_EQ(" 1 out of 160 = 0.62%", FormatScoreLine(1, 160));
    EXPECT_EQ(" 3 out of 800 = 0.38%", FormatScoreLine(3, 800));
    EXPECT_EQ(" 1 out of 800 = 0.12%", FormatScoreLine(1, 800));
    EXPECT_EQ(" 1462 out of 1491 = 98.06%", FormatScoreLine(1462, 1491));
    EXPECT_EQ(" 1074 out of 1541 = 69.69%", FormatScoreLine(1074, 1541));
    EXPECT_EQ(" 1 out of 20000 = 0.00%", FormatScoreLine(1, 20000));
    EXPECT_EQ(" 2469 out of 20000 = 12.35%", FormatScoreLine(2469, 20000));
    EXPECT_EQ(" 19999 out of 20000 = 100.00%", FormatScoreLine(19999, 20000));
    EXPECT_EQ(" 27999 out of 28000 = 100.00%", FormatScoreLine(27999, 28000));
    EXPECT_EQ(" 21762 out of 22841 = 95.28%", FormatScoreLine(21762, 22841));
}

TEST(FormatPercent, MaskHasNoPaddingAndWritesLargeValuesInFull) {
    EXPECT_EQ("5.50", FormatPercent(5.5F));
    EXPECT_EQ("0.50", FormatPercent(0.5F));
    EXPECT_EQ("1234.50", FormatPercent(1234.5F));
    EXPECT_EQ("-1234.50", FormatPercent(-1234.5F));
    EXPECT_EQ("0.00", FormatPercent(-0.0F));
    EXPECT_EQ("0.00", FormatPercent(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ("16777216.00", FormatPercent(16777216.0F));
    EXPECT_EQ("340282346638528859811704183484516925440.00",
              FormatPercent(std::numeric_limits<float>::max()));
    EXPECT_EQ("Infinity", FormatPercent(std::numeric_limits<float>::infinity()));
}
