// Whole-image arithmetic: the test patterns against their per-pixel formulas, quarter turns
// and scaled sizes.
#include <gtest/gtest.h>

#include <math.h>

#include <random>
#include <vector>

#include "kavlib.h"
#include "imaging/whole_image.h"
#include "imaging_image.h"

// The patterns' colours written out pixel by pixel, as the formulas state them.
static uint32_t rgb_at(int64_t x, int64_t y, int64_t w, int64_t h)
{
    return (uint32_t)((255 * x / w) * 65536 + (255 * y / h) * 256 + (255 - 255 * (x + y) / (w + h)));
}

static uint32_t hsv_at(int64_t x, int64_t y, int64_t w, int64_t h)
{
    int64_t half = h / 2, s, v;
    if (y < half) { s = 255 * y / half; v = 255; }
    else { s = 255; v = 255 - 255 * (y - half) / half; }
    return hsv_to_rgb((int32_t)v, (int32_t)s, (int32_t)(359 * x / w));
}

static uint32_t chroma_at(ChromaModel model, int64_t x, int64_t y, int64_t w, int64_t h)
{
    int32_t a = (int32_t)((x - w / 2) * 255 / w), b = (int32_t)((y - h / 2) * 255 / h);
    int32_t luma = (int32_t)sqrt(5.0 * b * b + 5.0 * a * a);
    if (model == CHROMA_YCRCB) return ycrcb_to_rgb(luma, -b, a);
    if (model == CHROMA_YUV) return yuv_to_rgb(luma, a, -b);
    return yiq_to_rgb(luma, -b, a);
}

TEST(Patterns, CornersCentresAndRows)
{
    Image rgb(256, 256);
    rgb_pattern(rgb.b);
    EXPECT_EQ(0x0000FFu, rgb.word(0, 0));
    EXPECT_EQ(0xFE0080u, rgb.word(255, 0));
    EXPECT_EQ(0x00FE80u, rgb.word(0, 255));
    EXPECT_EQ(0xFEFE01u, rgb.word(255, 255));
    EXPECT_EQ(255, pen_position.x);
    EXPECT_EQ(255, pen_position.y);

    Image hsv(300, 101);
    hsv_pattern(hsv.b);
    for (int x = 0; x < 300; x += 7) EXPECT_EQ(0xFFFFFFu, hsv.word(x, 0)) << "the top row is white";
    EXPECT_EQ((uint32_t)(255 - 255 * (100 - 50) / 50) << 16, hsv.word(0, 100));  // hue 0 at its last value

    for (ChromaModel m : {CHROMA_YCRCB, CHROMA_YUV, CHROMA_YIQ}) {
        Image c(64, 48);
        chroma_pattern(c.b, m);
        EXPECT_EQ(0u, c.word(32, 24)) << "black centre";
        EXPECT_NE(0u, c.word(0, 0));
    }

    Image grey(256, 10, 8);  // index 255x / 256: 0 for the first two columns, 254 at the right
    grey_pattern(grey.b);
    for (int x = 0; x < 256; x++) {
        uint32_t v = x == 0 ? 0 : (uint32_t)x - 1;
        ASSERT_EQ(v, grey.word(x, 0));
        ASSERT_EQ(v, grey.word(x, 4));
        ASSERT_EQ(255 - v, grey.word(x, 5));
        ASSERT_EQ(255 - v, grey.word(x, 9));
    }
}

TEST(Patterns, OneRowHighImagesHaveADefinedPicture)
{
    Image hsv(360, 1), grey(5, 1);
    hsv_pattern(hsv.b);  // no halves: the full-colour row
    EXPECT_EQ(0xFF0000u, hsv.word(0, 0));
    EXPECT_EQ(hsv_to_rgb(255, 255, 359 * 200 / 360), hsv.word(200, 0));
    grey_pattern(grey.b);  // the lower half's ramp, as the column lines leave it
    EXPECT_EQ(0xFFFFFFu, grey.word(0, 0));
    Image one(1, 1);
    rgb_pattern(one.b);
    chroma_pattern(one.b, CHROMA_YIQ);
    EXPECT_EQ(0u, one.word(0, 0));
}

TEST(Patterns, EveryPixelIsItsFormulaAtBothDepths)
{
    std::mt19937 rng(6);
    for (int n = 0; n < 40; n++) {
        int w = (int)(rng() % 90) + 1, h = (int)(rng() % 70) + 2;
        for (int bits : {32, 8}) {
            Image rgb(w, h, bits), hsv(w, h, bits), grey(w, h, bits);
            rgb_pattern(rgb.b);
            hsv_pattern(hsv.b);
            grey_pattern(grey.b);
            uint32_t mask = bits == 32 ? 0xFFFFFFFFu : 0xFFu;
            for (ChromaModel m : {CHROMA_YCRCB, CHROMA_YUV, CHROMA_YIQ}) {
                Image c(w, h, bits);
                chroma_pattern(c.b, m);
                for (int y = 0; y < h; y++)
                    for (int x = 0; x < w; x++) ASSERT_EQ(chroma_at(m, x, y, w, h) & mask, c.word(x, y));
            }
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++) {
                    ASSERT_EQ(rgb_at(x, y, w, h) & mask, rgb.word(x, y)) << w << "x" << h << " " << x << "," << y;
                    ASSERT_EQ(hsv_at(x, y, w, h) & mask, hsv.word(x, y)) << w << "x" << h << " " << x << "," << y;
                    uint32_t v = (uint32_t)(255 * x / w), g = y < h / 2 ? v : 255 - v;
                    ASSERT_EQ((g * 0x010101u) & mask, grey.word(x, y));
                }
            EXPECT_EQ(w - 1, pen_position.x);
            EXPECT_EQ(h - 1, pen_position.y);
        }
    }
}

TEST(Patterns, LargeAndOddSizesMatchTheFormulaEverywhere)
{
    // Heights past 510 give every saturation and value step; widths past 360 repeat hues; a
    // row thousands wide steps its ramps (255x / W, 359x / W) a long way from their start.
    const int sizes[][2] = {{641, 513}, {359, 7}, {1, 3}, {2, 300}, {4099, 3}};
    for (auto size : sizes) {
        int w = size[0], h = size[1];
        for (int bits : {32, 8}) {
            uint32_t mask = bits == 32 ? 0xFFFFFFFFu : 0xFFu;
            Image hsv(w, h, bits), rgb(w, h, bits);
            hsv_pattern(hsv.b);
            rgb_pattern(rgb.b);
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++) {
                    ASSERT_EQ(hsv_at(x, y, w, h) & mask, hsv.word(x, y)) << w << "x" << h << " " << x << "," << y;
                    ASSERT_EQ(rgb_at(x, y, w, h) & mask, rgb.word(x, y)) << w << "x" << h << " " << x << "," << y;
                }
            for (ChromaModel m : {CHROMA_YCRCB, CHROMA_YUV, CHROMA_YIQ}) {
                Image c(w, h, bits);
                chroma_pattern(c.b, m);
                for (int y = 0; y < h; y++)
                    for (int x = 0; x < w; x++)
                        ASSERT_EQ(chroma_at(m, x, y, w, h) & mask, c.word(x, y)) << m << " " << w << "x" << h;
            }
        }
    }
}

TEST(QuarterTurns, ThreeByTwoAndRoundTrips)
{
    // Old 3 x 2 image, element y * 3 + x, as words and as bytes; 8-bit rows of 2 are padded.
    const uint32_t old_words[6] = {1, 2, 3, 4, 5, 6};
    const uint8_t old_bytes[6] = {1, 2, 3, 4, 5, 6};
    for (int bits : {32, 8}) {
        Image right(2, 3, bits);
        rotate_packed(right.b, bits == 32 ? (const void *)old_words : old_bytes, 3, 2, true);
        EXPECT_EQ(4u, right.word(0, 0)) << "new (0, 0) is old (0, 1)";
        EXPECT_EQ(1u, right.word(1, 0)) << "new top-right is old top-left";
        EXPECT_EQ(6u, right.word(0, 2));
    }
    // Sizes that are multiples of 4 keep 8-bit rows packed, so an image is its own packed copy.
    std::mt19937 rng(8);
    for (int bits : {32, 8}) {
        auto turn = [bits](const std::vector<uint32_t> &from, int w, int h, bool clockwise) {
            Image out(h, w, bits);
            rotate_packed(out.b, from.data(), w, h, clockwise);
            return out.store;
        };
        Image start(8, 4, bits);
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 8; x++) buffer_put(start.b, x, y, rng());
        EXPECT_EQ(start.store, turn(turn(start.store, 8, 4, true), 4, 8, false)) << "right then left";
        EXPECT_EQ(start.store, turn(turn(turn(turn(start.store, 8, 4, true), 4, 8, true), 8, 4, true), 4, 8, true))
            << "four right turns";
    }
    Image wrong(3, 3);
    rotate_packed(wrong.b, old_words, 3, 2, true);  // not the swapped size: left alone
    EXPECT_EQ(0u, wrong.word(0, 0));
}

TEST(ScaledLength, RoundsHalvesUpAndStaysPositive)
{
    EXPECT_EQ(71, scaled_length(101, 707));
    EXPECT_EQ(1, scaled_length(1, 500));
    EXPECT_EQ(320, scaled_length(640, 500));
    EXPECT_EQ(640, scaled_length(320, 2000));
    EXPECT_EQ(905, scaled_length(640, 1414));
    EXPECT_EQ(1, scaled_length(3, 100));
    EXPECT_EQ(INT32_MAX, scaled_length(INT32_MAX, 2000));
}
