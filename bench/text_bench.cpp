// text_bench.cpp - under Wine: 10,000 lines of 60 characters printed with KAV_Printf into a
// scrolling 640 x 480 Text window, beside the same TextOutW calls made straight on the window's
// back-buffer DC (the least the output path has to do), timed in the same run. Afterwards the
// back buffer and the screen must both show the last lines printed, pixel for pixel.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "bench/bench_files.h"
#include "core/core.h"
#include "textwin/text_table.h"

#define TEXT_BENCH_LINES 10000   // lines printed per run
#define TEXT_BENCH_UNITS 60      // characters per line, the line feed not included
#define TEXT_BENCH_RUNS 7        // runs of each kind; the medians are reported
#define TEXT_BENCH_WIDTH 640
#define TEXT_BENCH_HEIGHT 480
#define TEXT_BENCH_SHOW_MS 3000  // how long the screen may take to show the last lines

//------------------------------------------------------------------------------------------------
// The lines: each one different, so that a lost, doubled or misplaced line shows in the pixels.
// Worker thread only.
//------------------------------------------------------------------------------------------------
static char ansi_lines[TEXT_BENCH_LINES][TEXT_BENCH_UNITS + 1];  // 60 characters and the terminator
static wchar_t wide_lines[TEXT_BENCH_LINES][TEXT_BENCH_UNITS];   // the same characters as UTF-16

static void make_lines(void)
{
    static const char symbols[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-+*/=#";
    const int kinds = (int)sizeof symbols - 1;
    for (int i = 0; i < TEXT_BENCH_LINES; i++) {
        char *line = ansi_lines[i];
        snprintf(line, TEXT_BENCH_UNITS + 1, "%05d ", i);
        for (int k = 6; k < TEXT_BENCH_UNITS; k++) line[k] = symbols[(i * 7 + k * 3) % kinds];
        line[TEXT_BENCH_UNITS] = '\0';
        for (int k = 0; k < TEXT_BENCH_UNITS; k++) wide_lines[i][k] = (wchar_t)(unsigned char)line[k];
    }
}

void KAV_Setup(void)
{
    KAV_OpenTextWindow(0, 0, 0, TEXT_BENCH_WIDTH, TEXT_BENCH_HEIGHT);
    run_state.start_requested = 1;
}

//------------------------------------------------------------------------------------------------
// The two timed runs
//------------------------------------------------------------------------------------------------
// The same TextOutW calls the prints make, at the rows where they make them, on the same DC.
static double time_bare_calls(void)
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(0);
    if (!e) {
        unlock_text_table();
        return -1;
    }
    TextGeometry g = text_geometry(e);
    int y = e->cursor_y;
    double start = bench_milliseconds();
    for (int i = 0; i < TEXT_BENCH_LINES; i++) {
        TextOutW(e->mem_dc, 0, y, wide_lines[i], TEXT_BENCH_UNITS);
        y += g.char_height;
        line_feed_rule(&y, &g);
    }
    GdiFlush();
    double taken = bench_milliseconds() - start;
    unlock_text_table();
    return taken;
}

static double time_prints(void)
{
    KAV_PumpMessages();
    double start = bench_milliseconds();
    for (int i = 0; i < TEXT_BENCH_LINES; i++) KAV_Printf("%s\n", ansi_lines[i]);
    GdiFlush();
    return bench_milliseconds() - start;
}

//------------------------------------------------------------------------------------------------
// What the window must show afterwards
//------------------------------------------------------------------------------------------------
struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old_bitmap;
    uint32_t *bits;
};

static bool make_canvas(Canvas *c, int width, int height)
{
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    c->dc = CreateCompatibleDC(NULL);
    c->bitmap = CreateDIBSection(c->dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!c->dc || !c->bitmap) return false;
    c->old_bitmap = SelectObject(c->dc, c->bitmap);
    c->bits = (uint32_t *)bits;
    return true;
}

static void free_canvas(Canvas *c)
{
    if (c->bitmap) {
        SelectObject(c->dc, c->old_bitmap);
        DeleteObject(c->bitmap);
    }
    if (c->dc) DeleteDC(c->dc);
}

// Pixels of two canvases of width x height that differ (the unused top byte ignored).
static int differing_pixels(const Canvas *a, const Canvas *b, int width, int height)
{
    GdiFlush();
    int differ = 0;
    for (int i = 0; i < width * height; i++)
        if ((a->bits[i] ^ b->bits[i]) & 0xFFFFFF) differ++;
    return differ;
}

// Writes a canvas as a 32-bit bottom-up BMP file for a person to look at. 0 written; 1 failed.
static int write_bmp(const char *path, const Canvas *c, int width, int height)
{
    FILE *f = fopen(path, "wb");
    if (!f) return 1;
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    memset(&fh, 0, sizeof fh);
    memset(&ih, 0, sizeof ih);
    DWORD row = (DWORD)width * 4;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + row * (DWORD)height;
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    fwrite(&fh, sizeof fh, 1, f);
    fwrite(&ih, sizeof ih, 1, f);
    for (int y = height - 1; y >= 0; y--) fwrite(c->bits + (size_t)y * width, row, 1, f);
    return fclose(f) == 0 ? 0 : 1;
}

// Checks that the back buffer holds exactly the last lines printed, one per row from the top,
// and that the screen shows the same once the program waits. Prints OK or FAIL for each.
static void check_last_lines(const char *shot)
{
    TextWindowEntry e = text_windows[0];
    int rows = e.cursor_y / e.char_height;
    Canvas want = {}, back = {}, screen = {};
    if (!make_canvas(&want, e.width, e.height) || !make_canvas(&back, e.width, e.height) ||
        !make_canvas(&screen, e.width, e.height)) {
        printf("last lines: FAIL (no canvas)\n");
        free_canvas(&want);
        free_canvas(&back);
        free_canvas(&screen);
        return;
    }
    lock_text_table();
    HGDIOBJ old_font = SelectObject(want.dc, GetCurrentObject(text_windows[0].mem_dc, OBJ_FONT));
    BitBlt(back.dc, 0, 0, e.width, e.height, text_windows[0].mem_dc, 0, 0, SRCCOPY);
    unlock_text_table();
    PatBlt(want.dc, 0, 0, e.width, e.height, BLACKNESS);
    SetTextColor(want.dc, RGB(255, 255, 255));
    SetBkColor(want.dc, RGB(0, 0, 0));
    SetBkMode(want.dc, OPAQUE);
    for (int r = 0; r < rows; r++)
        TextOutW(want.dc, 0, r * e.char_height, wide_lines[TEXT_BENCH_LINES - rows + r], TEXT_BENCH_UNITS);
    SelectObject(want.dc, old_font);
    int in_buffer = differing_pixels(&want, &back, e.width, e.height);
    printf("last %d lines in the back buffer: %s (%d pixels differ)\n", rows, in_buffer ? "FAIL" : "OK", in_buffer);

    // The screen, read through the desktop's DC at the client area, after the program has
    // waited for messages as it would between prints.
    POINT origin = {0, 0};
    ClientToScreen(e.hwnd, &origin);
    int on_screen = -1;
    double start = bench_milliseconds();
    while (bench_milliseconds() - start < TEXT_BENCH_SHOW_MS) {
        KAV_WaitMessage();
        KAV_PumpMessages();
        HDC desktop = GetDC(NULL);
        BitBlt(screen.dc, 0, 0, e.width, e.height, desktop, origin.x, origin.y, SRCCOPY);
        ReleaseDC(NULL, desktop);
        on_screen = differing_pixels(&want, &screen, e.width, e.height);
        if (on_screen == 0) break;
    }
    printf("last %d lines on the screen: %s (%d pixels differ, %.0f ms after the last print)\n", rows,
           on_screen ? "FAIL" : "OK", on_screen, bench_milliseconds() - start);
    if (write_bmp(shot, &screen, e.width, e.height) == 0) printf("screenshot of the client area: %s\n", shot);
    free_canvas(&want);
    free_canvas(&back);
    free_canvas(&screen);
}

void KAV_Main(void)
{
    make_lines();
    if (!live_text_window(0)) {
        printf("text output: FAIL (no Text window 0)\n");
    } else {
        double bare[TEXT_BENCH_RUNS], printed[TEXT_BENCH_RUNS];
        for (int r = 0; r < TEXT_BENCH_RUNS; r++) {
            bare[r] = time_bare_calls();
            printed[r] = time_prints();
        }
        double b = median(bare, TEXT_BENCH_RUNS), p = median(printed, TEXT_BENCH_RUNS);
        TextWindowEntry e = text_windows[0];
        printf("under Wine, %d lines of %d characters into a %d x %d Text window (cell %d x %d), medians of %d runs:\n",
               TEXT_BENCH_LINES, TEXT_BENCH_UNITS, e.width, e.height, e.char_width, e.char_height, TEXT_BENCH_RUNS);
        printf("  bare TextOutW on the back-buffer DC  %8.1f ms  (%.2f us a line)\n", b, b * 1000 / TEXT_BENCH_LINES);
        printf("  KAV_Printf, scrolling and showing    %8.1f ms  (%.2f us a line)\n", p, p * 1000 / TEXT_BENCH_LINES);
        printf("  ratio %.2f (target 2.00 at most): %s\n", p / b, p <= 2 * b ? "OK" : "FAIL");
        char folder[MAX_PATH], shot[BENCH_PATH_BYTES];
        GetTempPathA(sizeof folder, folder);
        snprintf(shot, sizeof shot, "%skav_text_bench.bmp", folder);
        check_last_lines(shot);
    }
    fflush(stdout);
    PostMessageW(main_window, WM_COMMAND, CMD_EXIT, 0);
}
