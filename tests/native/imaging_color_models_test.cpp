// Integer colour models.
#include <gtest/gtest.h>

#include "kavlib.h"

static void expect_hsv(uint32_t colour, int h, int s, int v)
{
    KAV_Hsv hsv = rgb_to_hsv(colour);
    EXPECT_EQ(h, hsv.hue) << std::hex << colour;
    EXPECT_EQ(s, hsv.saturation) << std::hex << colour;
    EXPECT_EQ(v, hsv.value) << std::hex << colour;
    EXPECT_EQ(h, hue_of(colour));
    EXPECT_EQ(s, saturation_of(colour));
    EXPECT_EQ(v, value_of(colour));
}

TEST(RgbToHsv, SectorsAndTheirEdges)
{
    expect_hsv(0x808080, 0, 0, 128);
    expect_hsv(0xFF0000, 0, 255, 255);
    expect_hsv(0x00FF00, 120, 255, 255);
    expect_hsv(0x0000FF, 240, 255, 255);
    expect_hsv(0xFF00FF, 300, 255, 255);
    expect_hsv(0xFFFF00, 60, 255, 255);
    expect_hsv(0x00FFFF, 180, 255, 255);
    expect_hsv(0xFF0100, 0, 255, 255);
    expect_hsv(0xFF00FE, 300, 255, 255);
    expect_hsv(0xFF0001, 359, 255, 255);
    expect_hsv(0x40102030, 210, 0x20, 0x30);  // top byte ignored
    expect_hsv(0x804020, 20, 0x60, 0x80);  // saturation is the chroma, not divided by value
}

TEST(HsvToRgb, InverseUpToRounding)
{
    EXPECT_EQ(0xFF0000u, hsv_to_rgb(255, 255, 0));
    EXPECT_EQ((50u << 16) | (100u << 8), hsv_to_rgb(100, 200, 90));  // m is 0
    for (uint32_t c : {0x00FF00u, 0x0000FFu, 0xFF00FFu, 0xFFFF00u, 0x00FFFFu, 0x808080u}) {
        KAV_Hsv hsv = rgb_to_hsv(c);
        EXPECT_EQ(c, hsv_to_rgb(hsv.value, hsv.saturation, hsv.hue)) << std::hex << c;
    }
    // Every hue comes back within one step per channel.
    for (int h = 0; h < 360; h += 7) {
        uint32_t c = hsv_to_rgb(200, 150, h);
        KAV_Hsv back = rgb_to_hsv(c);
        EXPECT_EQ(200, back.value);
        EXPECT_EQ(150, back.saturation);
        EXPECT_NEAR(h, back.hue, 1) << h;
    }
}

TEST(Luma, ForwardConversions)
{
    KAV_YCrCb w = to_ycrcb(0xFFFFFF);
    EXPECT_EQ(255, w.y);
    EXPECT_EQ(0, w.cr);
    EXPECT_EQ(0, w.cb);
    KAV_YCrCb r = to_ycrcb(0xFF0000);
    EXPECT_EQ(76, r.y);
    EXPECT_EQ(128, r.cr);
    EXPECT_EQ(-42, r.cb);
    KAV_YCrCb b = to_ycrcb(0x0000FF);
    EXPECT_EQ(29, b.y);
    EXPECT_EQ(-20, b.cr);
    EXPECT_EQ(128, b.cb);
    EXPECT_EQ(-127, to_ycrcb(0x00FFFF).cr);
    EXPECT_EQ(0, luminance(0));
    EXPECT_EQ(255, luminance(0xFFFFFF));
    EXPECT_EQ(150, luminance(0x00FF00));

    KAV_Yuv u = to_yuv(0x0000FF);
    EXPECT_EQ(29, u.y);
    EXPECT_EQ(111, u.u);   // (28574 * 255 + 32768) / 65536
    EXPECT_EQ(-25, u.v);   // (-6554 * 255 + 32768) / 65536, truncated toward zero
    KAV_Yiq q = to_yiq(0xFF0000);
    EXPECT_EQ(76, q.y);
    EXPECT_EQ(152, q.i);
    EXPECT_EQ(53, q.q);
    EXPECT_EQ(0, to_yuv(0x808080).u);
    EXPECT_EQ(0, to_yiq(0x808080).i);
}

TEST(Luma, InverseConversionsClampEachChannel)
{
    EXPECT_EQ(0xFF0000u & ycrcb_to_rgb(255, 127, 0), 0xFF0000u);
    EXPECT_EQ(0xFFFFFFu, ycrcb_to_rgb(255, 0, 0));
    EXPECT_EQ(0u, ycrcb_to_rgb(0, 0, 0));
    EXPECT_EQ(0x00FF00u, ycrcb_to_rgb(0, -300, -300) & 0x00FF00u);  // green saturates, red and blue floor
    EXPECT_EQ(0u, ycrcb_to_rgb(0, -300, -300) & 0xFF00FFu);
    // Round trips through each model stay close.
    for (uint32_t c : {0x102030u, 0xC08040u, 0x7F7F7Fu, 0x00FF80u}) {
        KAV_YCrCb a = to_ycrcb(c);
        KAV_Yuv b = to_yuv(c);
        KAV_Yiq d = to_yiq(c);
        for (uint32_t back : {ycrcb_to_rgb(a.y, a.cr, a.cb), yuv_to_rgb(b.y, b.u, b.v), yiq_to_rgb(d.y, d.i, d.q)})
            for (int shift = 0; shift <= 16; shift += 8)
                EXPECT_NEAR((int)((c >> shift) & 0xFF), (int)((back >> shift) & 0xFF), 3)
                    << std::hex << c << " " << back;
    }
}
