// The upper-casing rule over all 256 byte values, and exact text equality.
#include "text.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(want, UpperText(in));
    EXPECT_EQ("", UpperText(""));
}

TEST(TextEqual, SameLengthAndSameBytesOnly) {
    EXPECT_TRUE(TextEqual("", ""));
    EXPECT_TRUE(TextEqual("Stop", "Stop"));
    EXPECT_FALSE(TextEqual("Stop", "STOP"));
    EXPECT_FALSE(TextEqual("Stop", "Stop "));
    EXPECT_FALSE(TextEqual("", " "));
    EXPECT_FALSE(TextEqual(std::string("a\0b", 3), "a"));
}
