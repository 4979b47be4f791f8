// The image-data reader against this platform's own "%d%d%d" loop, whose long has 32 bits and
// whose text mode ends a file at Ctrl-Z: random text of the pieces that matter, read through a
// real file by both.
#include "harness.h"

#include <stdio.h>
#include <random>
#include <string>
#include <vector>

#include "app/imagedata.h"
#include "bench/reference_reader.h"

TEST(ImageDataReaderOnWindows, MatchesTheFormattedInputOfThisPlatform)
{
    static const char *const tokens[] = {
        "-1", "+1", "640", "480", "-0", "65536", "2147483647", "2147483648", "-2147483648", "-2147483649",
        "4294967295", "4294967296", "4294967301", "9223372036854775808", "99999999999999999999999",
        "-99999999999999999999999", "0000000000000000000000012", "-", "+", "x", "1x", "\x1a", "\r", ".",
    };
    static const char *const spaces[] = {" ", "\n", "\r\n", "\t", "\v\f", ""};
    char path[MAX_PATH], folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    snprintf(path, sizeof path, "%skav_imagedata_%lu.txt", folder, GetCurrentProcessId());
    std::mt19937 random(5150);
    std::vector<uint16_t> expected(IMAGE_DATA_SAMPLES), grid(IMAGE_DATA_SAMPLES);
    for (int round = 0; round < 300; round++) {
        std::string text;
        int count = 1 + (int)(random() % (round % 10 == 0 ? 30000 : 200));  // some texts span pieces
        for (int i = 0; i < count; i++) {
            if (random() % 100 < 85) text += std::to_string((int)(random() % 700) - 30);
            else text += tokens[random() % (sizeof tokens / sizeof *tokens)];
            text += spaces[random() % (sizeof spaces / sizeof *spaces)];
        }
        FILE *f = fopen(path, "wb");
        ASSERT_TRUE(f != NULL);
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
        std::fill(expected.begin(), expected.end(), 0);
        std::fill(grid.begin(), grid.end(), 0);
        f = fopen(path, "rt");  // as the converter's format asks: text mode
        long expected_stored = reference_read_image_data(f, expected.data());
        fclose(f);
        f = fopen(path, "rb");
        long stored = read_image_data_file(f, grid.data());
        fclose(f);
        ASSERT_EQ(expected_stored, stored) << "text: " << text.substr(0, 2000);
        ASSERT_TRUE(expected == grid) << "text: " << text.substr(0, 2000);
    }
    DeleteFileA(path);
}
