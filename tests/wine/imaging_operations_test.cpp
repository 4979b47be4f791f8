// Whole-image operations on real image windows: inversion and flips through the memory DC,
// quarter turns and scaling by re-creation, the patterns on the current window, and numbers
// that name no window.
#include "imaging_helpers.h"

#include <string>

using namespace kavtest;
using namespace imgtest;

TEST(WholeImage, InvertAndFlipsTwiceRestoreThePicture)
{
    destroy_all();
    for (int bits : {32, 8}) {
        std::vector<uint32_t> start, inverted, mirrored, upside_down, restored;
        int current = -1;
        on_worker([&] {
            if (bits == 32) KAV_CreateImage(7, "flip", 0, 0, 7, 5, 100);
            else KAV_CreateImage8(7, "flip", 0, 0, 7, 5, 100);
            KAV_CreateImage(8, "other", 0, 0, 4, 4, 100);
            scramble(7, 11);
            start = picture_of(7);
            invert_image(7);
            inverted = picture_of(7);
            invert_image(7);
            flip_horizontal(7);
            mirrored = picture_of(7);
            flip_horizontal(7);
            flip_vertical(7);
            upside_down = picture_of(7);
            flip_vertical(7);
            restored = picture_of(7);
            current = KAV_CurrentImage();
            KAV_DestroyImage(8);
        });
        EXPECT_EQ(8, current) << "the window operated on is not made current";
        EXPECT_EQ(start, restored) << bits;
        for (int y = 0; y < 5; y++)
            for (int x = 0; x < 7; x++) {
                uint32_t v = start[y * 7 + x];
                EXPECT_EQ(bits == 32 ? v ^ 0xFFFFFF : 255 - v, inverted[y * 7 + x]) << "top byte kept";
                EXPECT_EQ(v, mirrored[y * 7 + (6 - x)]) << bits << " " << x << "," << y;
                EXPECT_EQ(v, upside_down[(4 - y) * 7 + x]) << bits << " " << x << "," << y;
            }
        destroy_all();
    }
}

TEST(WholeImage, QuarterTurnsRecreateTheWindowInPlace)
{
    destroy_all();
    const int W = 80, H = 60;
    std::vector<uint32_t> start, turned, back, round;
    uint32_t table[256] = {}, turned_table[256] = {};
    RECT before = {}, after = {};
    int zoom = 0, mode = 0, current = -1, w = 0, h = 0, r = -1;
    on_worker([&] {
        KAV_CreateImage8(9, "turn", 40, 50, W, H, 200);
        for (int i = 0; i < 256; i++) table[i] = (uint32_t)(255 - i) * 0x010100u;
        KAV_SetColorTable(table, 256);
        KAV_SetStretchMode(9, HALFTONE);
        scramble(9, 3);
        start = picture_of(9);
        GetWindowRect(image_windows[9].hwnd, &before);
        zoom = image_windows[9].zoom;
        KAV_CreateImage(10, "other", 0, 0, 4, 4, 100);
        r = rotate_right(9);
        current = KAV_CurrentImage();
        w = image_windows[9].width;
        h = image_windows[9].height;
        turned = picture_of(9);
        GetWindowRect(image_windows[9].hwnd, &after);
        mode = KAV_GetStretchMode(9);
        KAV_GetColorTable(turned_table);
        rotate_left(9);
        back = picture_of(9);
        for (int i = 0; i < 4; i++) rotate_right(9);
        round = picture_of(9);
    });
    ASSERT_EQ(0, r);
    EXPECT_EQ(9, current);
    ASSERT_EQ(H, w);
    ASSERT_EQ(W, h);
    for (int y = 0; y < W; y++)
        for (int x = 0; x < H; x++)
            ASSERT_EQ(start[(H - 1 - x) * W + y], turned[y * H + x]) << "new (X, Y) is old (Y, H - 1 - X)";
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(200, zoom);
    EXPECT_EQ(zoom, image_windows[9].zoom);
    EXPECT_EQ(HALFTONE, mode);
    EXPECT_EQ(0, memcmp(table, turned_table, sizeof table)) << "colour table kept";
    EXPECT_EQ(start, back);
    EXPECT_EQ(start, round);
    destroy_all();
}

TEST(WholeImage, ScalingThereAndBackAndColourTables)
{
    destroy_all();
    int sizes[6] = {};
    uint32_t table[256] = {}, scaled_table[256] = {}, corner = 0;
    on_worker([&] {
        KAV_CreateImage(11, "scale", 0, 0, 40, 30, 100);
        for (int i = 0; i < 40 * 30; i++) pixels[11].words[i] = 0x00336699;
        scale_image(11, 500);
        sizes[0] = image_windows[11].width;
        sizes[1] = image_windows[11].height;
        corner = pixel_of(11, 19, 14) & 0xFFFFFF;
        scale_image(11, 2000);
        sizes[2] = image_windows[11].width;
        sizes[3] = image_windows[11].height;
        KAV_CreateImage8(12, "scale8", 0, 0, 101, 20, 100);
        for (int i = 0; i < 256; i++) table[i] = (uint32_t)i * 0x000101u;
        KAV_SetColorTable(table, 256);
        scale_image(12, 707);
        sizes[4] = image_windows[12].width;
        sizes[5] = image_windows[12].height;
        KAV_GetColorTable(scaled_table);
    });
    EXPECT_EQ(20, sizes[0]);
    EXPECT_EQ(15, sizes[1]);
    EXPECT_EQ(0x336699u, corner) << "the picture is stretched into the new window";
    EXPECT_EQ(40, sizes[2]);
    EXPECT_EQ(30, sizes[3]);
    EXPECT_EQ(71, sizes[4]);
    EXPECT_EQ(14, sizes[5]);
    EXPECT_EQ(0, memcmp(table, scaled_table, sizeof table));
    destroy_all();
}

#define KAV_SCALE_ROUNDS 40  // refused scalings with 20 free GDI handles

TEST(WholeImage, ATurnOrScaleThatCannotBeShownKeepsTheWindowAndFreesItsTemporaries)
{
    destroy_all();
    int created[2] = {-1, -1}, turned = -1, scaled = -1;
    int refused = 0;
    bool kept = false;
    on_worker([&] {
        // Large windows may be twice the screen; turned or scaled windows must fit on it, and
        // neither a 2-pixel-wide turn of the first nor the first scaled up does.
        created[0] = KAV_CreateImageFL(16, "wide", 0, 0, 2 * GetSystemMetrics(SM_CXSCREEN) - 10, 2, 100);
        created[1] = KAV_CreateImageFL(17, "tall", 0, 0, 2, 2 * GetSystemMetrics(SM_CYSCREEN) - 10, 100);
        if (created[0] != 0 || created[1] != 0) return;
        scramble(16, 5);
        scramble(17, 6);
        std::vector<uint32_t> wide = picture_of(16), tall = picture_of(17);
        turned = rotate_right(16);
        scaled = scale_image(17, 2000);
        // With all but a few GDI handles of the process taken, a DC and a bitmap kept by each
        // refused scaling would soon leave none for the next one's copy.
        std::vector<HRGN> taken;
        for (HRGN r; taken.size() < 200000 && (r = CreateRectRgn(0, 0, 1, 1)) != NULL;) taken.push_back(r);
        for (int i = 0; i < 20 && !taken.empty(); i++, taken.pop_back()) DeleteObject(taken.back());
        for (int i = 0; i < KAV_SCALE_ROUNDS; i++) refused += scale_image(17, 2000) == 2;
        for (HRGN r : taken) DeleteObject(r);
        kept = KAV_IsImageWindow(16) && KAV_IsImageWindow(17) && wide == picture_of(16) && tall == picture_of(17);
    });
    ASSERT_EQ(0, created[0]);
    ASSERT_EQ(0, created[1]);
    EXPECT_EQ(2, turned);
    EXPECT_EQ(2, scaled);
    EXPECT_TRUE(kept) << "the windows and their pictures stay";
    EXPECT_EQ(KAV_SCALE_ROUNDS, refused) << "the copy's DC and bitmap are freed";
    destroy_all();
}

TEST(WholeImage, GreyPatternReplacesATableThatIsNotQuiteTheRamp)
{
    // A table that is already the ramp is kept; one off in a single entry, at either end or in
    // the middle, or in the unused byte, is replaced whole.
    destroy_all();
    bool ramps[4] = {};
    on_worker([&] {
        KAV_CreateImage8(16, "grey", 0, 0, 64, 4, 100);
        const int changed[4] = {0, 128, 255, 77};
        for (int k = 0; k < 4; k++) {
            uint32_t table[256];
            for (int i = 0; i < 256; i++) table[i] = (uint32_t)i * 0x010101u;
            if (k < 3) table[changed[k]] ^= 0x000100u;
            else table[changed[k]] |= 0xFF000000u;
            KAV_SetColorTable(table, 256);
            pattern_grey();
            uint32_t after[256];
            KAV_GetColorTable(after);
            ramps[k] = true;
            for (int i = 0; i < 256; i++) ramps[k] = ramps[k] && after[i] == (uint32_t)i * 0x010101u;
        }
    });
    for (int k = 0; k < 4; k++) EXPECT_TRUE(ramps[k]) << k;
    destroy_all();
}

TEST(WholeImage, PatternsOnTheCurrentWindowAndNumbersOfNoWindow)
{
    destroy_all();
    uint32_t rgb_corner = 0, grey_table[256] = {};
    int grey_pixel = -1, results[8] = {};
    bool untouched = false;
    on_worker([&] {
        KAV_CreateImage(13, "rgb", 0, 0, 256, 256, 100);
        pattern_rgb();
        rgb_corner = pixel_of(13, 255, 0);
        KAV_CreateImage8(14, "grey", 0, 0, 256, 4, 100);
        uint32_t red[256];
        for (int i = 0; i < 256; i++) red[i] = (uint32_t)i << 16;
        KAV_SetColorTable(red, 256);
        pattern_grey();
        grey_pixel = (int)pixel_of(14, 200, 3);
        KAV_GetColorTable(grey_table);

        std::vector<uint32_t> before = picture_of(14);
        KAV_CreateImage(15, "gone", 0, 0, 10, 10, 100);
        KAV_DestroyImage(15);
        pattern_hsv();
        pattern_grey();
        pattern_yiq();
        results[0] = invert_image(15);
        results[1] = flip_horizontal(15);
        results[2] = flip_vertical(256);
        results[3] = rotate_right(15);
        results[4] = rotate_left(-1);
        results[5] = scale_image(15, 500);
        results[6] = scale_image(300, 2000);
        results[7] = KAV_CurrentImage();
        untouched = before == picture_of(14) && !KAV_IsImageWindow(15);
    });
    EXPECT_EQ(0xFE0080u, rgb_corner);
    EXPECT_EQ(255 - 255 * 200 / 256, grey_pixel);
    for (int i = 0; i < 256; i++) ASSERT_EQ((uint32_t)i * 0x010101u, grey_table[i]);
    for (int i = 0; i < 7; i++) EXPECT_EQ(1, results[i]) << i;
    EXPECT_EQ(15, results[7]) << "the current window stays as it was";
    EXPECT_TRUE(untouched);
    destroy_all();
}
