// imaging_bench.cpp - under Wine: the test patterns, inversion, flips, quarter turns, scaling
// and a fill of the whole image on real 640 x 480 Image windows of both depths, each as a ratio
// to one pass over the same pixel memory (a memset of the buffer) timed alternately with it.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "bench/bench_files.h"
#include "core/core.h"
#include "imagewin/imagewin.h"
#include "imagewin/zoom_fit.h"

#define BENCH_WIDTH 640
#define BENCH_HEIGHT 480
#define PASS_RUNS 101  // timed memsets and in-memory operations; the median is reported
#define REMAKE_RUNS 9  // timed operations that re-create the window

void KAV_Setup(void) { run_state.start_requested = 1; }

// Makes window n afresh at 640 x 480 and makes it current.
static void fresh_window(int n, int bits)
{
    destroy_image_window(n);
    create_image_window(n, "bench", 0, 0, BENCH_WIDTH, BENCH_HEIGHT, bits, 100, 1);
    KAV_PumpMessages();
}

static size_t buffer_bytes(int n)
{
    const ImageWindowEntry &e = image_windows[n];
    return (size_t)image_row_stride(e.width, e.bits_per_pixel) * (size_t)e.height;
}

static int pass_value;
static void one_pass(int n) { memset(pixels[n].bytes, pass_value++ & 0xFF, buffer_bytes(n)); }

// The medians of runs timings of op and of as many passes, each pass timed just before its
// operation, so that both see the same load and the ratio of the medians holds in a noisy run;
// prepare runs untimed before each (a pass needs the window at its bench size, which an
// operation that re-creates the window changes) and again between the pass and the operation.
static double time_median(int runs, void (*prepare)(int), void (*op)(int), int n, double *pass)
{
    double times[PASS_RUNS], passes[PASS_RUNS];
    for (int i = 0; i < runs; i++) {
        if (prepare) prepare(n);
        double start = bench_milliseconds();
        one_pass(n);
        passes[i] = bench_milliseconds() - start;
        if (prepare) prepare(n);
        KAV_PumpMessages();
        start = bench_milliseconds();
        op(n);
        GdiFlush();
        times[i] = bench_milliseconds() - start;
    }
    if (pass) *pass = median(passes, runs);
    return median(times, runs);
}

static void rgb(int) { pattern_rgb(); }
static void hsv(int) { pattern_hsv(); }
static void ycrcb(int) { pattern_ycrcb(); }
static void yuv(int) { pattern_yuv(); }
static void yiq(int) { pattern_yiq(); }
static void grey(int) { pattern_grey(); }
static void invert(int n) { invert_image(n); }
static void flip_h(int n) { flip_horizontal(n); }
static void flip_v(int n) { flip_vertical(n); }
static void clear(int n) { clear_image(n); }
static void fill(int) { paint(BENCH_WIDTH / 2, BENCH_HEIGHT / 2); }
static void turn_right(int n) { rotate_right(n); }
static void turn_left(int n) { rotate_left(n); }
static void upright(int n) { recreate_image_window(n, BENCH_HEIGHT, BENCH_WIDTH); }  // turn_left makes it 640 x 480
static void full_size(int n) { recreate_image_window(n, BENCH_WIDTH, BENCH_HEIGHT); }
static void scale_500(int n) { scale_image(n, 500); }
static void scale_707(int n) { scale_image(n, 707); }
static void scale_1414(int n) { scale_image(n, 1414); }
static void scale_2000(int n) { scale_image(n, 2000); }

static void report(const char *label, double ms, double pass)
{
    printf("  %-26s median %9.4f ms   pass %7.4f ms   %7.2f x the pass\n", label, ms, pass, ms / pass);
}

static void bench_depth(int n, int bits)
{
    fresh_window(n, bits);
    drawing_colour = 0xFFFFFF;
    double pass = time_median(PASS_RUNS, NULL, one_pass, n, NULL);
    printf("%d-bit window 640 x 480: one memset pass over its %u bytes, median %.4f ms; each operation\n"
           "  below is set against the median of the passes timed alternately with it\n", bits,
           (unsigned)buffer_bytes(n), pass);
    struct { const char *label; void (*prepare)(int); void (*op)(int); int runs; } cases[] = {
        {"pattern RGB", NULL, rgb, PASS_RUNS},
        {"pattern HSV", NULL, hsv, PASS_RUNS},
        {"pattern YCrCb", NULL, ycrcb, PASS_RUNS},
        {"pattern Yuv", NULL, yuv, PASS_RUNS},
        {"pattern YIQ", NULL, yiq, PASS_RUNS},
        {"pattern Grey", NULL, grey, PASS_RUNS},
        {"fill of the whole image", clear, fill, PASS_RUNS},
        {"invert", NULL, invert, PASS_RUNS},
        {"horizontal flip", NULL, flip_h, PASS_RUNS},
        {"vertical flip", NULL, flip_v, PASS_RUNS},
        {"rotate right (re-creates)", full_size, turn_right, REMAKE_RUNS},
        {"rotate left (re-creates)", upright, turn_left, REMAKE_RUNS},
        {"scale 50.0% (re-creates)", full_size, scale_500, REMAKE_RUNS},
        {"scale 70.7% (re-creates)", full_size, scale_707, REMAKE_RUNS},
        {"scale 141.4% (re-creates)", full_size, scale_1414, REMAKE_RUNS},
        {"scale 200.0% (re-creates)", full_size, scale_2000, REMAKE_RUNS},
    };
    for (auto &c : cases) {
        double ms = time_median(c.runs, c.prepare, c.op, n, &pass);
        report(c.label, ms, pass);
    }
    destroy_image_window(n);
}

void KAV_Main(void)
{
    printf("under Wine, medians of %d passes (%d for the operations that re-create the window):\n",
           PASS_RUNS, REMAKE_RUNS);
    bench_depth(0, 32);
    bench_depth(0, 8);
    fflush(stdout);
    PostMessageW(main_window, WM_COMMAND, CMD_EXIT, 0);
}
