// The copy comparison: the walk's outcomes and positions, blanks on either
// side, long texts, and the invariants over many random texts.
#include "compare.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

struct Case {
    const char* sent;
    const char* received;
    CopyOutcome outcome;
    int total;
    int correct;
    int sentPos;
    int receivedPos;
};

std::string Describe(const Case& c) {
    return std::string("sent '") + c.sent + "', received '" + c.received + "'";
}

} // namespace

TEST(CompareCopy, WalksAndStopsAsExpected) {
    const Case cases[] = {
        {"AB CD EF", "ab cd ef", CopyMatched, 6, 6, 9, 9},
        {"AB CD", "ABCD", CopyMatched, 4, 4, 6, 5},
        {"AB CD", "A B\r\nC D", CopyMatched, 4, 4, 6, 9},
        {"ABCDEF", "ABXDEF", CopyMismatch, 6, 2, 3, 3},
        {"ABCDEF", "ABDEF", CopyMismatch, 6, 2, 3, 3},
        {"AB CD", "AB", CopyShort, 4, 2, 4, 4},
        {"AB CD", "AB  ", CopyShort, 4, 2, 4, 5},
        {"AB", "", CopyShort, 2, 0, 1, 2},
        {"  \r\nAB", "", CopyShort, 2, 0, 5, 2},
        {"", "", CopyMatched, 0, 0, 1, 1},
        {"", "XYZ", CopyMatched, 0, 0, 1, 1},
        {" \r\n ", "XYZ", CopyMatched, 0, 0, 5, 1},
        {"ABC", "ABCXYZ", CopyMatched, 3, 3, 4, 4},
        {"A\tB", "A\tB", CopyMatched, 3, 3, 4, 4},
        {"A\tB", "A B", CopyMismatch, 3, 1, 2, 3},
        {"A\tB", "AB", CopyMismatch, 3, 1, 2, 2},
        {"cq de", "CQDE", CopyMatched, 4, 4, 6, 5},
        {"\x81\x94", "\x9A\x99", CopyMatched, 2, 2, 3, 3},
        {"\xE9", "\xC9", CopyMismatch, 1, 0, 1, 1},
    };
    for (const Case& c : cases) {
        const ScoreResult r = CompareCopy(c.sent, c.received);
        EXPECT_EQ(c.outcome, r.outcome) << Describe(c);
        EXPECT_EQ(c.total, r.total) << Describe(c);
        EXPECT_EQ(c.correct, r.correct) << Describe(c);
        EXPECT_EQ(c.sentPos, r.sentPos) << Describe(c);
        if (c.outcome == CopyMismatch) {
            EXPECT_EQ(c.receivedPos, r.receivedPos) << Describe(c);
        }
    }
}

TEST(CompareCopy, NulBytesAreOrdinaryCountableCharacters) {
    const std::string sent("A\0B", 3);
    EXPECT_EQ(CopyMatched, CompareCopy(sent, sent).outcome);
    const ScoreResult r = CompareCopy(sent, "AB");
    EXPECT_EQ(CopyMismatch, r.outcome);
    EXPECT_EQ(2, r.sentPos);
}

TEST(CompareCopy, OnlyTheFirst32765BytesOfEachTextTakePart) {
    const std::string longSent(100000, 'E');
    const ScoreResult all = CompareCopy(longSent, longSent);
    EXPECT_EQ(CopyMatched, all.outcome);
    EXPECT_EQ(32765, all.total);
    EXPECT_EQ(32765, all.correct);
    EXPECT_EQ(32766, all.sentPos);

    // A typed copy cut short: the walk stops past the end, never wrapping.
    const ScoreResult shortCopy = CompareCopy(longSent, std::string(32764, 'E'));
    EXPECT_EQ(CopyShort, shortCopy.outcome);
    EXPECT_EQ(32764, shortCopy.correct);
    EXPECT_EQ(32765, shortCopy.sentPos);
    EXPECT_EQ(32766, shortCopy.receivedPos);

    // The first error beyond the compared stretch is not seen.
    std::string typed(longSent);
    typed[40000] = 'X';
    EXPECT_EQ(CopyMatched, CompareCopy(longSent, typed).outcome);

    // A received text of blanks up to the cut and beyond.
    const ScoreResult blanks = CompareCopy("A", std::string(50000, ' '));
    EXPECT_EQ(CopyShort, blanks.outcome);
    EXPECT_EQ(32766, blanks.receivedPos);
}

TEST(CompareCopy, InvariantsHoldOverRandomTexts) {
    std::mt19937 rng(12345);
    const std::string alphabet = "ABab  \r\n\t.E";
    auto randomText = [&](std::size_t maxLen) {
        std::string s(rng() % (maxLen + 1), ' ');
        for (char& c : s) {
            c = alphabet[rng() % alphabet.size()];
        }
        return s;
    };
    for (int n = 0; n < 20000; ++n) {
        const std::string sent = randomText(n % 100 == 0 ? 2000 : 12);
        // Half the copies start as a true copy, so long matches and late errors occur.
        std::string received = (n % 2 == 0) ? sent : randomText(12);
        if (n % 4 == 0 && !received.empty()) {
            received[rng() % received.size()] = alphabet[rng() % alphabet.size()];
        }
        const ScoreResult r = CompareCopy(sent, received);
        ASSERT_LE(0, r.correct);
        ASSERT_LE(r.correct, r.total);
        ASSERT_EQ(r.outcome == CopyMatched, r.correct == r.total)
            << "sent '" << sent << "' received '" << received << "'";
        ASSERT_GE(r.sentPos, 1);
        ASSERT_LE(r.sentPos, static_cast<int>(sent.size()) + 1);
        if (r.outcome != CopyMatched) {
            ASSERT_LE(r.sentPos, static_cast<int>(sent.size()));
        }
        if (r.outcome == CopyMismatch) {
            ASSERT_LE(r.receivedPos, static_cast<int>(received.size()));
            ASSERT_NE(sent[static_cast<std::size_t>(r.sentPos - 1)], ' ');
        }
    }
}
