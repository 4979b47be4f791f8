// Save name extensions, palette counts, the packed-DIB check and indexing of true colour.
#include <gtest/gtest.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imagewin/file_rules.h"
#include "imagewin/indexed_picture.h"

static std::wstring with_extension(const wchar_t *name, int kind, int units = 260)
{
    std::vector<wchar_t> out(units);
    if (name_with_extension(name, kind, out.data(), units) != 0) return L"<refused>";
    return out.data();
}

TEST(SaveNames, TheExtensionIsAppendedUnlessTheNameEndsWithIt)
{
    EXPECT_EQ(L"out.png", with_extension(L"out", 3));
    EXPECT_EQ(L"out.PNG", with_extension(L"out.PNG", 3));
    EXPECT_EQ(L"a.png", with_extension(L"a", 3));
    EXPECT_EQ(L"a.BMP", with_extension(L"a.BMP", 0));
    EXPECT_EQ(L"photo.jpeg.jpg", with_extension(L"photo.jpeg", 1));
    EXPECT_EQ(L".gif", with_extension(L".gif", 2));
    EXPECT_EQ(L"x.tif", with_extension(L"x", 4));
    EXPECT_EQ(L"png.png", with_extension(L"png", 3)) << "shorter than four: always appended";
    EXPECT_EQ(L"<refused>", with_extension(L"a", 5));
    EXPECT_EQ(L"<refused>", with_extension(L"a", -1));
    // The name buffer: a result that does not fit is refused, never cut.
    EXPECT_EQ(L"abcd.png", with_extension(L"abcd", 3, 9));
    EXPECT_EQ(L"<refused>", with_extension(L"abcde", 3, 9));
    EXPECT_STREQ(L"image/gif", save_kind_mime(2));
    EXPECT_EQ(nullptr, save_kind_mime(5));
}

TEST(PaletteCount, LimitedTo256Entries)
{
    EXPECT_EQ(0, palette_entry_count(0));
    EXPECT_EQ(0, palette_entry_count(8));
    EXPECT_EQ(0, palette_entry_count(-100));
    EXPECT_EQ(2, palette_entry_count(16));
    EXPECT_EQ(256, palette_entry_count(8 + 1024));
    EXPECT_EQ(256, palette_entry_count(8 + 4096));
}

static DibHeaderFields header(int w, int h, int bits, uint32_t used = 0, uint32_t compression = 0)
{
    return DibHeaderFields{40, w, h, (uint32_t)bits, compression, 0, used};
}

TEST(PackedDib, ASoundBlockIsLaidOut)
{
    DibLayout l;
    // 8-bit, width 5 (rows of 8), 3 rows, 256 colours.
    ASSERT_EQ(0, check_packed_dib(header(5, 3, 8), 40 + 1024 + 24, &l));
    EXPECT_EQ(256, l.palette_colours);
    EXPECT_EQ(40u, l.table_offset);
    EXPECT_EQ(40u + 1024, l.bits_offset);
    ASSERT_EQ(0, check_packed_dib(header(5, -3, 8, 16), 40 + 64 + 24, &l));
    EXPECT_EQ(16, l.palette_colours);
    ASSERT_EQ(0, check_packed_dib(header(3, 2, 24), 40 + 24, &l));
    EXPECT_EQ(0, l.palette_colours);
    EXPECT_EQ(40u, l.bits_offset);
    ASSERT_EQ(0, check_packed_dib(header(2, 2, 32, 0, 3), 40 + 12 + 16, &l));
    EXPECT_EQ(52u, l.bits_offset) << "bit-field masks follow a 40-byte header";
}

TEST(PackedDib, HostileOrBrokenBlocksAreRefused)
{
    DibLayout l = {-1, 0, 0};
    EXPECT_EQ(2, check_packed_dib(header(5, 3, 8), 40 + 1024 + 23, &l)) << "one byte short";
    EXPECT_EQ(2, check_packed_dib(header(4, 4, 8, 100000), 40 + 1024 + 16, &l)) << "colour count beyond the block";
    EXPECT_EQ(2, check_packed_dib(header(4, 4, 8, 0xFFFFFFFFu), 1u << 20, &l));
    EXPECT_EQ(2, check_packed_dib(header(0x7FFFFFFF, 0x7FFFFFFF, 32), 1u << 20, &l));
    EXPECT_EQ(2, check_packed_dib(header(1, INT32_MIN, 32), 1u << 20, &l));
    EXPECT_EQ(1, check_packed_dib(header(0, 3, 8), 1u << 20, &l));
    EXPECT_EQ(1, check_packed_dib(header(-4, 3, 8), 1u << 20, &l));
    EXPECT_EQ(1, check_packed_dib(header(4, 0, 8), 1u << 20, &l));
    EXPECT_EQ(1, check_packed_dib(header(4, 4, 7), 1u << 20, &l));
    DibHeaderFields small = header(1, 1, 8);
    small.header_size = 12;
    EXPECT_EQ(1, check_packed_dib(small, 1u << 20, &l));
    DibHeaderFields huge_header = header(1, 1, 24);
    huge_header.header_size = 0x7FFFFFFF;
    EXPECT_EQ(2, check_packed_dib(huge_header, 4096, &l));
    EXPECT_EQ(-1, l.palette_colours) << "nothing stored for a refused block";
    // More than 256 colours claimed in a block that holds them: only 256 are copied out.
    ASSERT_EQ(0, check_packed_dib(header(4, 1, 8, 300), 40 + 1200 + 4, &l));
    EXPECT_EQ(256, l.palette_colours);
    EXPECT_EQ(40u + 1200, l.bits_offset);
}

TEST(PackedDib, IndicesArePastedUprightAndClippedToTheImage)
{
    // A bottom-up DIB 3 x 2 (rows of 4 bytes): the top row 1 2 3 comes last in the bits.
    const uint8_t bottom_up[8] = {4, 5, 6, 0xEE, 1, 2, 3, 0xEE};
    const uint8_t top_down[8] = {1, 2, 3, 0xEE, 4, 5, 6, 0xEE};
    std::vector<uint8_t> image(4 * 3, 0);  // 4 x 3 image, stride 4
    paste_dib_indices(bottom_up, 3, 2, image.data(), 4, 3, 4, 0, 0);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 0, 4, 5, 6, 0, 0, 0, 0, 0}), image);
    image.assign(12, 0);
    paste_dib_indices(top_down, 3, -2, image.data(), 4, 3, 4, 2, 2);  // hangs over right and bottom
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2}), image);
    image.assign(12, 0);
    paste_dib_indices(bottom_up, 3, 2, image.data(), 4, 3, 4, -2, -1);  // hangs over left and top
    EXPECT_EQ((std::vector<uint8_t>{6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), image);
    paste_dib_indices(bottom_up, 3, 2, image.data(), 4, 3, 4, 4, 0);  // wholly outside
    paste_dib_indices(bottom_up, 3, 2, image.data(), 4, 3, 4, -3, 0);
    EXPECT_EQ(6, image[0]);
    EXPECT_EQ(0, image[3] + image[4]);
}

TEST(IndexTrueColour, FewColoursGetAnExactPalette)
{
    const uint32_t words[6] = {0x102030, 0xFF0000, 0x102030, 0xAA102030, 0x00FF00, 0xFF0000};
    uint8_t idx[2 * 4] = {0, 0, 0, 0x5A, 0, 0, 0, 0x5A};
    uint32_t palette[256];
    int used = index_true_colour(words, 3, 2, idx, 4, palette);
    ASSERT_EQ(3, used);
    for (int y = 0; y < 2; y++) {
        for (int x = 0; x < 3; x++)
            EXPECT_EQ(words[y * 3 + x] & 0xFFFFFF, palette[idx[y * 4 + x]]) << x << "," << y;
        EXPECT_EQ(0x5A, idx[y * 4 + 3]) << "row padding untouched";
    }
}

// Largest and mean per-channel difference between a picture and its indexed form.
struct IndexError {
    int largest;
    double mean;
};

static IndexError index_error(const std::vector<uint32_t> &words, const std::vector<uint8_t> &idx,
                              const uint32_t palette[256])
{
    IndexError e = {0, 0};
    for (size_t i = 0; i < words.size(); i++)
        for (int shift = 0; shift <= 16; shift += 8) {
            int d = abs((int)(words[i] >> shift & 0xFF) - (int)(palette[idx[i]] >> shift & 0xFF));
            e.largest = d > e.largest ? d : e.largest;
            e.mean += d;
        }
    e.mean /= 3.0 * (double)words.size();
    return e;
}

static int distance2(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int e = (int)(a >> shift & 0xFF) - (int)(b >> shift & 0xFF);
        d += e * e;
    }
    return d;
}

TEST(IndexTrueColour, ManyColoursGetAPaletteMadeForThePicture)
{
    uint32_t palette[256];
    // 512 shades of one hue: a fixed palette keeps 4 levels of blue, one made for the picture
    // keeps nearly every step.
    std::vector<uint32_t> shades(512);
    for (int i = 0; i < 512; i++) shades[i] = (uint32_t)(i & 1) << 16 | (uint32_t)(i / 2);
    std::vector<uint8_t> idx(512);
    int used = index_true_colour(shades.data(), 512, 1, idx.data(), 512, palette);
    ASSERT_GT(used, 0);
    EXPECT_LE(index_error(shades, idx, palette).largest, 2);

    // A smooth, photo-like picture of 76,800 colours.
    const int W = 320, H = 240;
    std::vector<uint32_t> photo(W * H);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            int r = x * 255 / (W - 1), g = y * 255 / (H - 1), b = (int)(127.5 + 127.5 * sin(x * 0.011 + y * 0.017));
            photo[y * W + x] = (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b;
        }
    idx.assign(W * H, 0);
    used = index_true_colour(photo.data(), W, H, idx.data(), W, palette);
    ASSERT_EQ(256, used);
    IndexError e = index_error(photo, idx, palette);
    EXPECT_LE(e.largest, 24) << "a fixed 3-3-2 palette is 42 off in blue";
    EXPECT_LT(e.mean, 5.5);

    // Noise: every pixel still gets the palette entry nearest to it, and only entries in use.
    std::vector<uint32_t> noise(64 * 50);
    for (size_t i = 0; i < noise.size(); i++) noise[i] = (uint32_t)(i * 2654435761u) & 0xFFFFFF;
    idx.assign(noise.size(), 0);
    used = index_true_colour(noise.data(), 64, 50, idx.data(), 64, palette);
    ASSERT_EQ(256, used);
    int not_nearest = 0;
    for (size_t i = 0; i < noise.size(); i++) {
        int best = 1 << 30;
        for (int k = 0; k < used; k++) best = std::min(best, distance2(noise[i], palette[k]));
        if (distance2(noise[i], palette[idx[i]]) != best) not_nearest++;
    }
    EXPECT_EQ(0, not_nearest);
}

// A file held in memory is read through seeks a damaged file asks for: nothing is read beyond
// its end, wherever the position was put, and no seek wraps around.
TEST(FileRules, MemoryReadsNeverPassTheEndWhereverSeeksPutThePosition)
{
    EXPECT_EQ(10u, memory_read_count(100, 0, 10));
    EXPECT_EQ(4u, memory_read_count(100, 96, 10));
    EXPECT_EQ(0u, memory_read_count(100, 100, 10));
    EXPECT_EQ(0u, memory_read_count(100, 0x7FFFFFF0, 16));
    EXPECT_EQ(100u, memory_read_count(100, 0, UINT64_MAX));
    EXPECT_EQ(0u, memory_read_count(0, 0, 1));

    uint64_t at = 5;
    EXPECT_EQ(0, memory_seek(100, &at, 0, 0x7FFFFFF0));
    EXPECT_EQ(0x7FFFFFF0u, at) << "beyond the end is a place to stand, not to read";
    EXPECT_EQ(0, memory_seek(100, &at, 2, -30));
    EXPECT_EQ(70u, at);
    EXPECT_EQ(0, memory_seek(100, &at, 1, -70));
    EXPECT_EQ(0u, at);
    EXPECT_EQ(1, memory_seek(100, &at, 1, -1)) << "before the start";
    EXPECT_EQ(1, memory_seek(100, &at, 0, INT64_MIN));
    EXPECT_EQ(1, memory_seek(100, &at, 3, 0)) << "no such origin";
    EXPECT_EQ(0u, at) << "a refused seek keeps the position";
    EXPECT_EQ(0, memory_seek(100, &at, 0, (int64_t)1 << 62));
    EXPECT_EQ(1, memory_seek(100, &at, 1, INT64_MAX)) << "a sum that would wrap";
    EXPECT_EQ(1, memory_seek(100, &at, 1, 1));
    EXPECT_EQ((uint64_t)1 << 62, at);
}
