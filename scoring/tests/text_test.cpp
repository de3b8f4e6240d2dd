// The upper-casing rule over all 256 byte values, exact text equality, and
// the heap texts, including the ones that cannot be had.
#include "text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// The heap text tests ask for more memory than there is: under ASan such an
// allocation must fail as it does elsewhere, with a null pointer, not end the run.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

TEST(UpperByte, MapsExactlyTheLettersAndTheSevenCodePage437Pairs) {
    const unsigned char pairs[][2] = {{0x81, 0x9A}, {0x82, 0x90}, {0x84, 0x8E}, {0x86, 0x8F},
                                      {0x87, 0x80}, {0x94, 0x99}, {0xA4, 0xA5}};
    for (int b = 0; b < 256; ++b) {
        int want = b;
        if (b >= 'a' && b <= 'z') {
            want = b - 32;
        }
        for (const auto& p : pairs) {
            if (b == p[0]) {
                want = p[1];
            }
        }
        const auto got = static_cast<unsigned char>(UpperByte(static_cast<char>(b)));
        EXPECT_EQ(want, got) << "byte 0x" << std::hex << b;
    }
}

TEST(UpperText, KeepsLengthAndLeavesAnsiAccentsAlone) {
    const std::string in("ab\0c\xE9\xFF\x81z", 8);
    const std::string want("AB\0C\xE9\xFF\x9AZ", 8);
    // Exactly the text's bytes are written: the guards on both sides stay.
    std::string out(in.size() + 2, '#');
    UpperText(in, &out[1]);
    EXPECT_EQ("#" + want + "#", out);
    UpperText("", &out[1]);
    EXPECT_EQ("#" + want + "#", out);
    // In place.
    std::string same(in);
    UpperText(same, same.data());
    EXPECT_EQ(want, same);
}

TEST(TextEqual, SameLengthAndSameBytesOnly) {
    EXPECT_TRUE(TextEqual("", ""));
    EXPECT_TRUE(TextEqual("Stop", "Stop"));
    EXPECT_FALSE(TextEqual("Stop", "STOP"));
    EXPECT_FALSE(TextEqual("Stop", "Stop "));
    EXPECT_FALSE(TextEqual("", " "));
    EXPECT_FALSE(TextEqual(std::string("a\0b", 3), "a"));
}

TEST(HeapText, NewAndJoinedTextsEndInTheirNul) {
    HeapText zeros = NewText(5);
    ASSERT_NE(nullptr, zeros.chars);
    EXPECT_EQ(std::string(6, '\0'), std::string(zeros.chars, 6)) << "five NUL bytes and the NUL";
    EXPECT_EQ(std::string(5, '\0'), TextView(zeros));
    FreeText(&zeros);
    EXPECT_EQ(nullptr, zeros.chars);
    EXPECT_EQ(0u, zeros.length);

    HeapText none = NewText(0);
    ASSERT_NE(nullptr, none.chars) << "an empty text that was had is not the empty text";
    EXPECT_EQ('\0', none.chars[0]);
    EXPECT_EQ("", TextView(none));
    FreeText(&none);

    HeapText joined = JoinText("\"", std::string_view("C:\\A\0B", 6), "\"");
    ASSERT_NE(nullptr, joined.chars);
    EXPECT_EQ(std::string("\"C:\\A\0B\"", 8), TextView(joined));
    EXPECT_EQ('\0', joined.chars[8]);
    FreeText(&joined);

    HeapText single = JoinText("Start");
    EXPECT_STREQ("Start", single.chars);
    FreeText(&single);

    HeapText empty = JoinText({}, {}, {});
    ASSERT_NE(nullptr, empty.chars);
    EXPECT_STREQ("", empty.chars);
    FreeText(&empty);
}

TEST(HeapText, TextsThatCannotBeHadAreTheEmptyText) {
    const std::size_t most = SIZE_MAX;
    // No room is left for the NUL: the size asked for would wrap around to 0.
    const HeapText wrapped = NewText(most);
    EXPECT_EQ(nullptr, wrapped.chars);
    EXPECT_EQ(0u, wrapped.length);
    // More than any allocator gives.
    const HeapText refused = NewText(most - 1);
    EXPECT_EQ(nullptr, refused.chars);
    EXPECT_EQ(0u, refused.length);

    // The empty text reads as "" and can be released, again and again.
    HeapText empty{nullptr, 0};
    EXPECT_EQ("", TextView(empty));
    FreeText(&empty);
    FreeText(&empty);
    EXPECT_EQ(nullptr, empty.chars);
}
