// The image-data reader and the gain rendering, against hand-worked cases and against the
// C library's own "%d%d%d" loop on random text.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/imagedata.h"
#include "bench/reference_reader.h"

namespace {

std::vector<uint16_t> read_text(const std::string &text)
{
    std::vector<uint16_t> grid(IMAGE_DATA_SAMPLES, 0);
    ImageDataReader reader;
    image_data_begin(&reader, grid.data());
    image_data_feed(&reader, text.data(), text.size());
    image_data_end(&reader);
    return grid;
}

// Reads text through a real file with the library's formatted input.
std::vector<uint16_t> read_with_fscanf(const std::string &text, long *stored)
{
    std::vector<uint16_t> grid(IMAGE_DATA_SAMPLES, 0);
    FILE *f = tmpfile();
    EXPECT_TRUE(f != NULL);
    fwrite(text.data(), 1, text.size(), f);
    rewind(f);
    *stored = reference_read_image_data(f, grid.data());
    fclose(f);
    return grid;
}

std::vector<uint8_t> render(const std::vector<uint16_t> &grid, int gain)
{
    std::vector<uint8_t> bytes(IMAGE_DATA_SAMPLES, 7);
    render_grid(grid.data(), gain, bytes.data());
    return bytes;
}

int at(int x, int y) { return y * IMAGE_DATA_WIDTH + x; }

int nonzero(const std::vector<uint16_t> &grid)
{
    int n = 0;
    for (uint16_t s : grid) n += s != 0;
    return n;
}

}  // namespace

TEST(ImageDataRender, GainStepsOfOneSample)
{
    std::vector<uint16_t> grid = read_text("10 20 3\n");
    EXPECT_EQ(189, render(grid, 5)[at(10, 20)]);  // 3 x 63
    EXPECT_EQ(255, render(grid, 6)[at(10, 20)]);  // 381 clipped
    EXPECT_EQ(93, render(grid, 4)[at(10, 20)]);   // 3 x 31
    std::vector<uint8_t> bytes = render(grid, 5);
    bytes[at(10, 20)] = 0;
    for (uint8_t b : bytes) ASSERT_EQ(0, b) << "every other pixel is black";
}

TEST(ImageDataRender, MultipliersAndClipping)
{
    std::vector<uint16_t> grid = read_text("0 0 300  1 0 -1  2 0 65536  3 0 255  4 0 256");
    std::vector<uint8_t> k0 = render(grid, 0);
    EXPECT_EQ(255, k0[at(0, 0)]);
    EXPECT_EQ(0, k0[at(2, 0)]);
    EXPECT_EQ(255, k0[at(3, 0)]);
    EXPECT_EQ(255, k0[at(4, 0)]);
    for (int k = 0; k < 8; k++) EXPECT_EQ(255, render(grid, k)[at(1, 0)]) << "-1 is 65535 at gain " << k;
    // 65535 x 255 is the largest product and must not wrap in 32 bits.
    EXPECT_EQ(255, render(read_text("5 5 65535"), 7)[at(5, 5)]);
}

// Every sample value at every gain against the rule: the product, clipped at 255.
TEST(ImageDataRender, EverySampleAtEveryGain)
{
    std::vector<uint16_t> grid(IMAGE_DATA_SAMPLES);
    for (int i = 0; i < IMAGE_DATA_SAMPLES; i++) grid[i] = (uint16_t)(i < 65536 ? i : i * 7919);
    for (int k = 0; k <= IMAGE_DATA_MAX_GAIN; k++) {
        std::vector<uint8_t> bytes = render(grid, k);
        for (int i = 0; i < IMAGE_DATA_SAMPLES; i++) {
            uint32_t t = (uint32_t)grid[i] * ((2u << k) - 1);
            ASSERT_EQ(t > 255 ? 255 : t, bytes[i]) << "sample " << grid[i] << " at gain " << k;
        }
    }
}

TEST(ImageDataReader, ValuesAreCutToSixteenBits)
{
    std::vector<uint16_t> grid = read_text("0 0 -1 1 0 65536 2 0 65537 3 0 -65536 4 0 70000");
    EXPECT_EQ(65535, grid[at(0, 0)]);
    EXPECT_EQ(0, grid[at(1, 0)]);
    EXPECT_EQ(1, grid[at(2, 0)]);
    EXPECT_EQ(0, grid[at(3, 0)]);
    EXPECT_EQ(70000 - 65536, grid[at(4, 0)]);
}

TEST(ImageDataReader, TriplesOffTheGridAreSkipped)
{
    EXPECT_EQ(0, nonzero(read_text("640 0 9\n0 480 9\n-1 5 9\n5 -1 9\n")));
    std::vector<uint16_t> grid = read_text("639 479 4 0 0 5 640 0 9");
    EXPECT_EQ(4, grid[at(639, 479)]);
    EXPECT_EQ(5, grid[at(0, 0)]);
    EXPECT_EQ(2, nonzero(grid));
}

TEST(ImageDataReader, StopsAtTheFirstNonNumber)
{
    std::vector<uint16_t> grid = read_text("1 1 1\n2 2 2\n7 8 x\n3 3 3\n");
    EXPECT_EQ(2, nonzero(grid));
    EXPECT_EQ(0, grid[at(7, 8)]) << "the incomplete triple is dropped";
    // A number running into letters ends there; the letters then stop the reading.
    grid = read_text("1 1 5abc 2 2 2");
    EXPECT_EQ(5, grid[at(1, 1)]);
    EXPECT_EQ(1, nonzero(grid));
    // A sign with no digits, a double sign, a decimal point.
    EXPECT_EQ(0, nonzero(read_text("1 1 - 5")));
    EXPECT_EQ(0, nonzero(read_text("1 1 +-5")));
    grid = read_text("1 1 +5 2 2 2.5 3 3 3");
    EXPECT_EQ(5, grid[at(1, 1)]);
    EXPECT_EQ(2, grid[at(2, 2)]);
    EXPECT_EQ(2, nonzero(grid)) << "the point ends the reading";
    // An incomplete last triple at the end of the text.
    EXPECT_EQ(1, nonzero(read_text("4 4 4 5 5")));
    // A NUL byte is text like any other letter.
    EXPECT_EQ(1, nonzero(read_text(std::string("4 4 4 5 5 5", 11).replace(6, 1, 1, '\0'))));
}

TEST(ImageDataReader, TriplesSpanLinesAndShareLines)
{
    std::vector<uint16_t> grid = read_text("10\n20\r\n\t3 11 21 4\v\f12 22 5\n\n\n 13\n 23\n 6");
    EXPECT_EQ(3, grid[at(10, 20)]);
    EXPECT_EQ(4, grid[at(11, 21)]);
    EXPECT_EQ(5, grid[at(12, 22)]);
    EXPECT_EQ(6, grid[at(13, 23)]);
    EXPECT_EQ(9, read_text("1 1 5\n1 1 9\n")[at(1, 1)]) << "a later triple overwrites";
}

TEST(ImageDataReader, OverflowFollowsTheLibraryConversion)
{
    // With a 64-bit long: 2^32 cuts to 0, 2^32 + 5 to 5; beyond the long the value saturates.
    ASSERT_EQ(8u, sizeof(long));
    std::vector<uint16_t> grid = read_text("4294967296 0 1  4294967301 0 2  0 1 99999999999999999999999");
    EXPECT_EQ(1, grid[at(0, 0)]);
    EXPECT_EQ(2, grid[at(5, 0)]);
    EXPECT_EQ(65535, grid[at(0, 1)]) << "saturates to the long's maximum, whose low bits are all ones";
    grid = read_text("0 2 -99999999999999999999999  0 3 -9223372036854775808  0 4 -9223372036854775807");
    EXPECT_EQ(0, grid[at(0, 2)]);
    EXPECT_EQ(0, grid[at(0, 3)]);
    EXPECT_EQ(1, grid[at(0, 4)]);
    grid = read_text("00000000000000000000000000007 0000000000000000000000000000008 9");
    EXPECT_EQ(9, grid[at(7, 8)]) << "leading zeros never overflow";
}

// Random text built from the pieces that matter to the conversion, read by both the fast
// reader (from a file in chunks, and in random pieces) and the library's loop.
TEST(ImageDataReader, MatchesFormattedInputOnRandomText)
{
    static const char *const tokens[] = {
        "0", "1", "9", "-1", "+1", "639", "640", "479", "480", "-0", "+0", "65535", "65536", "-65536",
        "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967295", "4294967296",
        "9223372036854775807", "9223372036854775808", "-9223372036854775808", "-9223372036854775809",
        "18446744073709551615", "18446744073709551616", "123456789012345678901234567890", "007",
        "-", "+", "--1", "+-1", "x", "1x", "0x10", "1.5", "1e3", ".", "\x1a", "#",
    };
    static const char *const spaces[] = {" ", "  ", "\n", "\r\n", "\t", "\v", "\f", "\r", ""};
    std::mt19937 random(20240611);
    for (int round = 0; round < 600; round++) {
        std::string text;
        int count = 1 + (int)(random() % 150);
        for (int i = 0; i < count; i++) {
            unsigned pick = random() % 100;
            if (pick < 70) text += std::to_string((int)(random() % 700) - 30);  // mostly plain triples
            else text += tokens[random() % (sizeof tokens / sizeof *tokens)];
            text += spaces[random() % (sizeof spaces / sizeof *spaces)];
            if (random() % 300 == 0) text += '\0';
        }
        long expected_stored = 0;
        std::vector<uint16_t> expected = read_with_fscanf(text, &expected_stored);

        std::vector<uint16_t> grid(IMAGE_DATA_SAMPLES, 0);
        FILE *f = tmpfile();
        ASSERT_TRUE(f != NULL);
        fwrite(text.data(), 1, text.size(), f);
        rewind(f);
        long stored = read_image_data_file(f, grid.data());
        fclose(f);
        ASSERT_EQ(expected_stored, stored) << "text: " << text;
        ASSERT_EQ(expected, grid) << "text: " << text;

        std::vector<uint16_t> pieces(IMAGE_DATA_SAMPLES, 0);
        ImageDataReader reader;
        image_data_begin(&reader, pieces.data());
        for (size_t at_byte = 0; at_byte < text.size();) {
            size_t n = std::min(text.size() - at_byte, (size_t)(random() % 8));
            image_data_feed(&reader, text.data() + at_byte, n);
            at_byte += n;
        }
        image_data_end(&reader);
        ASSERT_EQ(expected, pieces) << "text in pieces: " << text;
    }
}

// Long runs of nothing but digits and white space, with numbers of every length, so that
// numbers start, end and overrun at every place of the blocks the reader classifies at once.
TEST(ImageDataReader, MatchesFormattedInputOnPlainNumbers)
{
    static const char *const spaces[] = {" ", "\n", "\r\n", "\t", "   ", "\v\f"};
    std::mt19937 random(77);
    for (int round = 0; round < 150; round++) {
        std::string text;
        int count = 30 + (int)(random() % 600);
        for (int i = 0; i < count; i++) {
            int digits = random() % 10 == 0 ? 1 + (int)(random() % 24) : 1 + (int)(random() % 3);
            for (int d = 0; d < digits; d++) text += (char)('0' + (d == 0 && digits < 4 && random() % 2 ? 1 + random() % 5 : random() % 10));
            text += spaces[random() % (sizeof spaces / sizeof *spaces)];
        }
        if (round % 3 == 0) text.insert(random() % text.size(), random() % 2 ? "-" : "+x");
        long expected_stored = 0;
        std::vector<uint16_t> expected = read_with_fscanf(text, &expected_stored);
        std::vector<uint16_t> grid(IMAGE_DATA_SAMPLES, 0);
        ImageDataReader reader;
        image_data_begin(&reader, grid.data());
        image_data_feed(&reader, text.data(), text.size());
        image_data_end(&reader);
        ASSERT_EQ(expected_stored, reader.triples_stored) << "text: " << text;
        ASSERT_EQ(expected, grid) << "text: " << text;
    }
}

// Plain numbers of one to six digits (leading zeros too) put at every place of the 64-byte
// blocks, the text cut once at every place around them: a number split between two pieces, or
// ending or starting at a block's edge, must read as one number.
TEST(ImageDataReader, NumbersAcrossBlockEdgesAndPieces)
{
    std::mt19937 random(4242);
    std::vector<uint16_t> grid(IMAGE_DATA_SAMPLES);
    for (int round = 0; round < 16; round++) {
        std::string text;
        while (text.size() < 300) {
            int digits = 1 + (int)(random() % 6);
            for (int d = 0; d < digits; d++) text += (char)('0' + (d == 0 && random() % 3 ? 0 : random() % 10));
            text += round % 4 == 0 ? "\n" : std::string(1 + random() % 3, ' ');
        }
        text += std::to_string(round % 7);  // the text ends inside a number
        long expected_stored = 0;
        std::vector<uint16_t> expected = read_with_fscanf(text, &expected_stored);
        for (size_t cut = 0; cut <= text.size(); cut += 1 + round % 5) {
            std::fill(grid.begin(), grid.end(), 0);
            ImageDataReader reader;
            image_data_begin(&reader, grid.data());
            image_data_feed(&reader, text.data(), cut);
            image_data_feed(&reader, text.data() + cut, text.size() - cut);
            image_data_end(&reader);
            ASSERT_EQ(expected_stored, reader.triples_stored) << "cut at " << cut << " of: " << text;
            ASSERT_EQ(expected, grid) << "cut at " << cut << " of: " << text;
        }
    }
}

TEST(ImageDataReader, FilesLongerThanOneChunk)
{
    std::string text;
    for (int y = 0; y < IMAGE_DATA_HEIGHT; y += 3)
        for (int x = 0; x < IMAGE_DATA_WIDTH; x += 2) text += std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(x * 100 + y) + "\n";
    ASSERT_GT(text.size(), 3u * IMAGE_DATA_CHUNK_BYTES);
    long expected_stored = 0;
    std::vector<uint16_t> expected = read_with_fscanf(text, &expected_stored);
    std::vector<uint16_t> grid(IMAGE_DATA_SAMPLES, 0);
    FILE *f = tmpfile();
    fwrite(text.data(), 1, text.size(), f);
    rewind(f);
    EXPECT_EQ(expected_stored, read_image_data_file(f, grid.data()));
    fclose(f);
    EXPECT_EQ(expected, grid);
}

TEST(PicturePath, TheExtensionIsAlwaysAppendedAndNeverCut)
{
    char out[16];
    ASSERT_EQ(0, picture_path("a.txt", ".gif", out, sizeof out));
    EXPECT_STREQ("a.txt.gif", out);
    ASSERT_EQ(0, picture_path("scan.GIF", ".gif", out, sizeof out));
    EXPECT_STREQ("scan.GIF.gif", out) << "never the data file itself";
    ASSERT_EQ(0, picture_path("x.bmp", ".bmp", out, sizeof out));
    EXPECT_STREQ("x.bmp.bmp", out);
    ASSERT_EQ(0, picture_path("abcdefghijk", ".bmp", out, sizeof out));
    EXPECT_STREQ("abcdefghijk.bmp", out) << "exactly fills the buffer";
    EXPECT_EQ(1, picture_path("abcdefghijkl", ".bmp", out, sizeof out));
}
