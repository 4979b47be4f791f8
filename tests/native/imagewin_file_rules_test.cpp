// Save name extensions, palette counts, the packed-DIB check and indexing of true colour.
#include <gtest/gtest.h>

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

TEST(IndexTrueColour, FewColoursGetAnExactPaletteManyGetTheUniformOne)
{
    const uint32_t words[6] = {0x102030, 0xFF0000, 0x102030, 0xAA102030, 0x00FF00, 0xFF0000};
    uint8_t idx[2 * 4] = {};
    uint32_t palette[256];
    int used = index_true_colour(words, 3, 2, idx, 4, palette);
    ASSERT_EQ(3, used);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 3; x++)
            EXPECT_EQ(words[y * 3 + x] & 0xFFFFFF, palette[idx[y * 4 + x]]) << x << "," << y;

    std::vector<uint32_t> rich(40 * 40);
    for (size_t i = 0; i < rich.size(); i++) rich[i] = (uint32_t)(i * 2654435761u) & 0xFFFFFF;
    std::vector<uint8_t> idx2(40 * 40);
    EXPECT_EQ(256, index_true_colour(rich.data(), 40, 40, idx2.data(), 40, palette));
    for (size_t i = 0; i < rich.size(); i++) {
        uint32_t c = rich[i], p = palette[idx2[i]];
        EXPECT_NEAR((int)(c >> 16), (int)(p >> 16), 19);
        EXPECT_NEAR((int)((c >> 8) & 0xFF), (int)((p >> 8) & 0xFF), 19);
        EXPECT_NEAR((int)(c & 0xFF), (int)(p & 0xFF), 43);
    }
}
