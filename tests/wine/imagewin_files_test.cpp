// Loading and saving image files through real image windows. The pictures come from
// ImageMagick and the saved files are read back by it: imagewin_files_check.sh prepares the
// folder (KAV_IMAGE_TEST_DIR) and judges the results. Without that folder the tests skip.
#include "harness.h"

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

#include "imagewin/imagewin.h"

using namespace kavtest;

static std::string folder(void)
{
    const char *dir = getenv("KAV_IMAGE_TEST_DIR");
    return dir ? std::string(dir) + "\\" : std::string();
}

#define NEED_FOLDER() \
    if (folder().empty()) GTEST_SKIP() << "run through imagewin_files_check.sh"

static std::vector<uint8_t> read_file(const std::string &name)
{
    std::vector<uint8_t> data;
    FILE *f = fopen((folder() + name).c_str(), "rb");
    if (!f) return data;
    int c;
    while ((c = fgetc(f)) != EOF) data.push_back((uint8_t)c);
    fclose(f);
    return data;
}

static void write_file(const std::string &name, const std::vector<uint8_t> &data)
{
    FILE *f = fopen((folder() + name).c_str(), "wb");
    ASSERT_TRUE(f != NULL);
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
}

static void destroy_all(void)
{
    on_worker([] {
        for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) destroy_image_window(n);
    });
}

static const int ROSE_W = 70, ROSE_H = 46;

// Loads the file into a fresh 32-bit window filled with a marker and compares it with the
// raw RGB reference decoded by ImageMagick, within tolerance per channel.
static void expect_loaded(const char *file, const char *reference, int tolerance)
{
    std::vector<uint8_t> ref = read_file(reference);
    ASSERT_EQ((size_t)ROSE_W * ROSE_H * 3, ref.size()) << reference;
    int r = -1;
    std::vector<uint32_t> got(200 * 100);
    on_worker([&] {
        KAV_CreateImage(1, "load", 0, 0, 200, 100, 100);
        for (int i = 0; i < 200 * 100; i++) pixels[1].words[i] = 0x00123456;
        r = KAV_LoadImage((folder() + file).c_str(), 0, 0);
        for (int i = 0; i < 200 * 100; i++) got[i] = pixels[1].words[i];
        KAV_DestroyImage(1);
    });
    ASSERT_EQ(0, r) << file;
    int worst = 0;
    for (int y = 0; y < ROSE_H; y++)
        for (int x = 0; x < ROSE_W; x++) {
            const uint8_t *p = &ref[(y * ROSE_W + x) * 3];
            uint32_t w = got[y * 200 + x];
            int d[3] = {abs((int)(w >> 16 & 0xFF) - p[0]), abs((int)(w >> 8 & 0xFF) - p[1]),
                        abs((int)(w & 0xFF) - p[2])};
            for (int k = 0; k < 3; k++) worst = d[k] > worst ? d[k] : worst;
        }
    EXPECT_LE(worst, tolerance) << file;
    EXPECT_EQ(0x00123456u, got[ROSE_W]) << file << ": right of the picture kept";
    EXPECT_EQ(0x00123456u, got[ROSE_H * 200]) << file << ": below the picture kept";
}

TEST(LoadFile, EveryFormatMatchesTheIndependentDecoder)
{
    NEED_FOLDER();
    expect_loaded("rose.bmp", "rose.rgb", 0);
    expect_loaded("rose.png", "rose.rgb", 0);
    expect_loaded("rose.tif", "rose.rgb", 0);
    expect_loaded("rose16.gif", "rose16.rgb", 0);
    expect_loaded("rose.ico", "rose_ico.rgb", 0);
    expect_loaded("rose.jpg", "rose_jpg.rgb", 12);
}

TEST(LoadFile, ASmallFileChangesOnlyTheTopLeftCorner)
{
    NEED_FOLDER();
    std::vector<uint32_t> got(640 * 480);
    int r = -1, missing = -1, none = -1;
    on_worker([&] {
        KAV_CreateImage(2, "big", 0, 0, 640, 480, 100);
        for (int i = 0; i < 640 * 480; i++) pixels[2].words[i] = 0x00ABCDEF;
        r = KAV_LoadImage((folder() + "square.png").c_str(), 0, 0);
        missing = KAV_LoadImage((folder() + "no such file.png").c_str(), 0, 0);
        for (int i = 0; i < 640 * 480; i++) got[i] = pixels[2].words[i];
        KAV_DestroyImage(2);
        none = KAV_LoadImage((folder() + "square.png").c_str(), 0, 0);
    });
    EXPECT_EQ(0, r);
    EXPECT_EQ(1, missing);
    EXPECT_EQ(2, none);
    int changed_outside = 0, unchanged_inside = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            bool inside = x < 100 && y < 100;
            if (!inside && got[y * 640 + x] != 0x00ABCDEF) changed_outside++;
            if (inside && got[y * 640 + x] == 0x00ABCDEF) unchanged_inside++;
        }
    EXPECT_EQ(0, changed_outside);
    EXPECT_EQ(0, unchanged_inside);
    EXPECT_EQ(0x00FF0000u, got[0] & 0xFFFFFF) << "the gradient starts red";
}

TEST(LoadFile, APalettedGifReplacesTheFirstColourTableEntries)
{
    NEED_FOLDER();
    std::vector<uint8_t> ref = read_file("rose16.rgb");
    ASSERT_EQ((size_t)ROSE_W * ROSE_H * 3, ref.size());
    uint32_t table[256] = {};
    std::vector<uint8_t> got(72 * ROSE_H);  // stride of width 70 is 72
    int r = -1;
    on_worker([&] {
        KAV_CreateImage8(3, "eight", 0, 0, 70, ROSE_H, 100);
        r = KAV_LoadImage((folder() + "rose16.gif").c_str(), 0, 0);
        KAV_GetColorTable(table);
        for (size_t i = 0; i < got.size(); i++) got[i] = pixels[3].bytes[i];
    });
    ASSERT_EQ(0, r);
    int grey_left = 0;
    for (int i = 0; i < 16; i++)
        if (table[i] == 0x010101u * (uint32_t)i) grey_left++;
    EXPECT_LT(grey_left, 4) << "the file's palette took the first entries";
    EXPECT_EQ(0x010101u * 200, table[200]) << "entries beyond the file's palette keep their values";
    int wrong = 0;
    for (int y = 0; y < ROSE_H; y++)
        for (int x = 0; x < ROSE_W; x++) {
            const uint8_t *p = &ref[(y * ROSE_W + x) * 3];
            uint32_t want = (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
            if (table[got[y * 72 + x]] != want) wrong++;
        }
    EXPECT_EQ(0, wrong) << "every pixel is an index of its exact colour";
    destroy_all();
}

TEST(SaveImage, WritesEveryKindFromBothDepths)
{
    NEED_FOLDER();
    // 32-bit window 37 x 23 with a pattern; the top byte must not matter.
    std::vector<uint8_t> rgb32, rgb8;
    int results[16];
    for (int &r : results) r = -1;
    on_worker([&] {
        KAV_CreateImage(4, "t32", 0, 0, 37, 23, 100);
        for (int y = 0; y < 23; y++)
            for (int x = 0; x < 37; x++) {
                uint32_t c = (uint32_t)(x * 7) << 16 | (uint32_t)(y * 11) << 8 | (uint32_t)((x + y) * 3);
                if (x < 4 && y < 4) c = 0xFFFFFF * ((x + y) & 1);  // a few hard edges
                pixels[4].words[y * 37 + x] = c | 0xAB000000u;
                rgb32.push_back((uint8_t)(c >> 16));
                rgb32.push_back((uint8_t)(c >> 8));
                rgb32.push_back((uint8_t)c);
            }
        const char *names[5] = {"t32.bmp", "t32.jpg", "t32.gif", "t32.png", "t32.tif"};
        for (int k = 0; k < 5; k++) results[k] = KAV_SaveImage(23, 37, k, (folder() + names[k]).c_str());

        // 8-bit window of width 5 with its own palette.
        KAV_CreateImage8(5, "w5", 0, 0, 5, 4, 100);
        uint32_t table[256];
        for (int i = 0; i < 256; i++) table[i] = (uint32_t)(i * 37 % 256) << 16 | (uint32_t)(255 - i) << 8 | (uint32_t)(i * 5 % 256);
        KAV_SetColorTable(table, 256);
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 5; x++) {
                int index = (x * 50 + y * 13) % 256;
                pixels[5].bytes[y * 8 + x] = (uint8_t)index;
                rgb8.push_back((uint8_t)(table[index] >> 16));
                rgb8.push_back((uint8_t)(table[index] >> 8));
                rgb8.push_back((uint8_t)table[index]);
            }
        const char *names8[5] = {"w5.bmp", "w5.jpg", "w5.gif", "w5.png", "w5.tif"};
        for (int k = 0; k < 5; k++) results[5 + k] = KAV_SaveImage(4, 5, k, (folder() + names8[k]).c_str());

        results[10] = KAV_SaveImage(4, 5, KAV_PNG, (folder() + "out").c_str());
        results[11] = KAV_SaveImage(4, 5, KAV_PNG, (folder() + "up.PNG").c_str());
        results[12] = KAV_SaveImage(4, 5, KAV_PNG, (folder() + "a").c_str());
        results[13] = KAV_SaveImage(4, 5, KAV_JPEG, (folder() + "photo.jpeg").c_str());
        results[14] = KAV_SaveImage(4, 0, KAV_PNG, (folder() + "zero").c_str());
        results[15] = KAV_SaveImage(4, 5, KAV_PNG, (folder() + "no such folder\\x").c_str());
        for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) destroy_image_window(n);
    });
    for (int k = 0; k < 14; k++) EXPECT_EQ(0, results[k]) << "save " << k;
    EXPECT_EQ(2, results[14]);
    EXPECT_EQ(1, results[15]);
    write_file("t32.rgb", rgb32);
    write_file("w5.rgb", rgb8);
    int none = -1;
    on_worker([&] { none = KAV_SaveImage(4, 5, KAV_PNG, (folder() + "zero").c_str()); });
    EXPECT_EQ(3, none);
}

TEST(SaveImage, ANameTooLongIsRefusedRatherThanCut)
{
    NEED_FOLDER();
    // Cut to the 259 characters that fit, this name would end in ".png" and so name another file.
    std::string base = folder() + std::string(255 - folder().size(), 'p') + ".png";
    std::string name = base + "_old";
    ASSERT_EQ(259u, base.size());
    int saved = -1, loaded = -1;
    on_worker([&] {
        KAV_CreateImage(6, "long", 0, 0, 8, 8, 100);
        saved = KAV_SaveImage(8, 8, KAV_PNG, name.c_str());
        loaded = KAV_LoadImage(name.c_str(), 0, 0);
        KAV_DestroyImage(6);
    });
    EXPECT_EQ(1, saved);
    EXPECT_EQ(1, loaded);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(base.c_str())) << "nothing written under the cut name";
}

TEST(LoadFile, APictureThatCannotBeDrawnIsAFailure)
{
    NEED_FOLDER();
    int r = -1, ok = -1;
    on_worker([&] {
        KAV_CreateImage(7, "undrawable", 0, 0, 80, 50, 100);
        HDC kept = image_windows[7].mem_dc;
        image_windows[7].mem_dc = NULL;  // no DC for GDI+ to draw into
        r = KAV_LoadImage((folder() + "rose.png").c_str(), 0, 0);
        image_windows[7].mem_dc = kept;
        ok = KAV_LoadImage((folder() + "rose.png").c_str(), 0, 0);
        KAV_DestroyImage(7);
    });
    EXPECT_EQ(1, r);
    EXPECT_EQ(0, ok);
}
