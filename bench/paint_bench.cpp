// paint_bench.cpp - under Wine: reading a full image-data file against the formatted-input loop
// of this platform's C library, and a gain change rendered and painted into a real Image window.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include "app/imagedata.h"
#include "bench/bench_files.h"
#include "core/core.h"
#include "imagewin/imagewin.h"

#define PAINT_RUNS 41  // gain changes timed; the median, the 90th percentile and the largest are reported

void KAV_Setup(void)
{
    create_image_window(0, "Image", 0, 0, IMAGE_DATA_WIDTH, IMAGE_DATA_HEIGHT, 8, 100, 1);
    run_state.start_requested = 1;
}

// Renders with each gain in turn and pumps until Image window 0 has painted it.
static void time_gain_changes(const char *full)
{
    ImageWindowEntry *entry = live_image_window(0);
    uint16_t *grid = (uint16_t *)calloc(IMAGE_DATA_SAMPLES, sizeof *grid);
    FILE *f = fopen(full, "rb");
    if (!entry || entry->bits_per_pixel != 8 || !grid || !f) {
        printf("gain change: FAILED (no 8-bit Image window 0 or no file)\n");
        if (f) fclose(f);
        free(grid);
        return;
    }
    read_image_data_file(f, grid);
    fclose(f);
    double times[PAINT_RUNS];
    int unpainted = 0;
    for (int i = 0; i < PAINT_RUNS; i++) {
        KAV_PumpMessages();
        double start = bench_milliseconds();
        render_grid(grid, i % 8, pixels[0].bytes);
        KAV_InvalidateImages();
        KAV_PumpMessages();  // WM_PAINT copies the picture to the screen
        GdiFlush();
        times[i] = bench_milliseconds() - start;
        RECT pending;
        if (GetUpdateRect(entry->hwnd, &pending, FALSE)) unpainted++;
    }
    double middle = median(times, PAINT_RUNS);  // sorts the times
    printf("gain change rendered and painted (640 x 480, 8 bits): median %.2f ms, 90%% within %.2f ms, largest %.2f ms%s\n",
           middle, times[PAINT_RUNS * 9 / 10], times[PAINT_RUNS - 1], unpainted ? "  (some were not painted!)" : "");
    free(grid);
}

void KAV_Main(void)
{
    char folder[MAX_PATH], full[BENCH_PATH_BYTES], edges[BENCH_PATH_BYTES];
    GetTempPathA(sizeof folder, folder);
    snprintf(full, sizeof full, "%skav_bench_full.txt", folder);
    snprintf(edges, sizeof edges, "%skav_bench_edges.txt", folder);
    if (write_full_grid_file(full) != 0 || write_edge_file(edges) != 0) {
        printf("cannot write the benchmark files in %s\n", folder);
    } else {
        printf("under Wine, medians of %d runs (formatted input) and %d (the others):\n", BENCH_RUNS, BENCH_RUNS * PASS_REPEATS);
        compare_readers("full 640 x 480 grid", full);
        compare_readers("edge cases (20,000 triples)", edges);
        time_gain_changes(full);
    }
    fflush(stdout);
    DeleteFileA(full);
    DeleteFileA(edges);
    PostMessageW(main_window, WM_COMMAND, CMD_EXIT, 0);
}
