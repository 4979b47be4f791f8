// Single-pixel access over a described pixel buffer.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/pixel_ops.h"

TEST(PixelOps, ThirtyTwoBitReadWriteInvertAndBounds)
{
    std::vector<uint32_t> words(3 * 2, 0);
    PixelBuffer b = {32, 3, 2, words.data(), (uint8_t *)words.data()};
    buffer_put(b, 2, 1, 0x00102030);
    EXPECT_EQ(0x00102030u, words[5]);
    EXPECT_EQ(0x00102030, buffer_get(b, 2, 1, 0));
    buffer_invert(b, 2, 1);
    EXPECT_EQ(0x00EFDFCFu, words[5]);
    buffer_invert(b, 2, 1);
    EXPECT_EQ(0x00102030u, words[5]);
    words[0] = 0xAB000001;
    buffer_invert(b, 0, 0);
    EXPECT_EQ(0xABFFFFFEu, words[0]) << "the top byte is unchanged";

    for (auto p : {std::pair<int, int>{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {INT32_MIN, 0}}) {
        EXPECT_EQ(0, buffer_get(b, p.first, p.second, 0));
        EXPECT_EQ(-1, buffer_get(b, p.first, p.second, -1));
        buffer_put(b, p.first, p.second, 0xFFFFFF);  // must not write anywhere
        buffer_invert(b, p.first, p.second);
    }
    EXPECT_EQ(0xABFFFFFEu, words[0]);
    EXPECT_EQ(0u, words[1]);
}

TEST(PixelOps, EightBitUsesThePaddedStrideAndTheLowByte)
{
    std::vector<uint8_t> bytes(8 * 3, 0);  // width 5: stride 8
    PixelBuffer b = {8, 5, 3, nullptr, bytes.data()};
    buffer_put(b, 4, 2, 0x123456);
    EXPECT_EQ(0x56, bytes[2 * 8 + 4]);
    EXPECT_EQ(0x56, buffer_get(b, 4, 2, -1));
    buffer_put(b, 0, 1, 7);
    EXPECT_EQ(7, bytes[8]);
    buffer_invert(b, 0, 1);
    EXPECT_EQ(248, bytes[8]);
    buffer_put(b, 5, 0, 9);  // the padding is outside
    EXPECT_EQ(0, bytes[5]);
    EXPECT_EQ(-1, buffer_get(b, 5, 0, -1));
}
