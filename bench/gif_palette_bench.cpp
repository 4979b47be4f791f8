// gif_palette_bench.cpp - under Wine: saves true-colour pictures as GIF through a 32-bit Image
// window, for gif_palette.sh to measure against the originals, and times the save of a
// 640 x 480 picture of many colours and the colour reduction inside it.
//   KAV_GIF_BENCH_DIR    Windows path of the folder holding NAME.png; NAME.kav.gif is written
//   KAV_GIF_BENCH_FILES  the names, separated by spaces; the one named "photo" is also timed
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

#include "bench/bench_files.h"
#include "core/core.h"
#include "imagewin/imagewin.h"
#include "imagewin/gdiplus_flat.h"
#include "imagewin/indexed_picture.h"

#define SAVE_RUNS 9  // timed saves of the photo; the median is reported

void KAV_Setup(void) { run_state.start_requested = 1; }

// Loads folder\name.png into a new 32-bit window 1 of its size. 0 done; 1 failed.
static int load_picture(const char *folder, const char *name, char png[BENCH_PATH_BYTES])
{
    snprintf(png, BENCH_PATH_BYTES, "%s\\%s.png", folder, name);
    wchar_t wide[BENCH_PATH_BYTES];
    MultiByteToWideChar(CP_ACP, 0, png, -1, wide, BENCH_PATH_BYTES);
    GpImage *image = NULL;
    UINT width = 0, height = 0;
    if (GdipLoadImageFromFile(wide, &image) != 0) return 1;
    GdipGetImageWidth(image, &width);
    GdipGetImageHeight(image, &height);
    GdipDisposeImage(image);
    destroy_image_window(1);
    if (create_image_window(1, name, 0, 0, (int)width, (int)height, 32, 100, 0) != 0) return 1;
    return load_image_file(png, 0, 0);
}

// Times the whole save and the colour reduction alone on the picture in window 1.
static void time_save(const char *gif)
{
    ImageWindowEntry *e = live_image_window(1);
    if (!e) return;
    int w = e->width, h = e->height;
    std::vector<uint32_t> words((size_t)w * h);
    std::vector<uint8_t> indices((size_t)w * h);
    uint32_t palette[256];
    read_rect(words.data(), 0, 0, w, h);
    double save[SAVE_RUNS], reduce[SAVE_RUNS];
    int failed = 0;
    for (int i = 0; i < SAVE_RUNS; i++) {
        double start = bench_milliseconds();
        failed |= save_image_file(h, w, KAV_GIF, gif);
        save[i] = bench_milliseconds() - start;
        start = bench_milliseconds();
        index_true_colour(words.data(), w, h, indices.data(), w, palette);
        reduce[i] = bench_milliseconds() - start;
    }
    printf("photo %d x %d saved as GIF: median %.1f ms, of which the colour reduction %.1f ms (median of %d)%s\n", w, h,
           median(save, SAVE_RUNS), median(reduce, SAVE_RUNS), SAVE_RUNS, failed ? "  (a save FAILED)" : "");
}

void KAV_Main(void)
{
    const char *folder = getenv("KAV_GIF_BENCH_DIR");
    const char *files = getenv("KAV_GIF_BENCH_FILES");
    char names[BENCH_PATH_BYTES];
    snprintf(names, sizeof names, "%s", files ? files : "");
    for (char *name = strtok(names, " "); folder && name; name = strtok(NULL, " ")) {
        char png[BENCH_PATH_BYTES], gif[BENCH_PATH_BYTES];
        snprintf(gif, sizeof gif, "%s\\%s.kav.gif", folder, name);
        if (load_picture(folder, name, png) != 0 || save_image_file(image_windows[1].height, image_windows[1].width,
                                                                    KAV_GIF, gif) != 0) {
            printf("%s: FAILED to load or save\n", name);
            continue;
        }
        if (strcmp(name, "photo") == 0) time_save(gif);
    }
    fflush(stdout);
    destroy_image_window(1);
    PostMessageW(main_window, WM_COMMAND, CMD_EXIT, 0);
}
