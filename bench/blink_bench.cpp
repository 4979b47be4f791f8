// blink_bench.cpp - under Wine: where the processor time of one cursor blink of a waiting line
// input goes. Each part a blink may be made of is repeated many times without waiting, on the
// worker thread that owns Text window 0, and its processor time per step is printed (process
// times, all threads); then the whole blink as it was drawn before (the cell invalidated and
// painted through a pump) against the blink as it is drawn now (the cell copied straight onto
// the window). The wait that ends in a time-out is timed with a 1 ms limit, so its processor
// time includes the sleep and the wake-up. The Wine server's own share is not seen here: count
// its requests with WINEDEBUG=+server.
#include <windows.h>
#include <stdio.h>

#include "bench/bench_files.h"
#include "core/core.h"
#include "textwin/text_table.h"

#define BLINK_BENCH_RUNS 5  // timings of each part, interleaved; the median is printed

// Processor time of the whole process in milliseconds.
static double process_cpu_ms(void)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0;
    ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
    ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
    return (double)(k.QuadPart + u.QuadPart) / 10000.0;
}

void KAV_Setup(void)
{
    KAV_OpenTextWindow(0, 0, 0, 400, 200);
    run_state.start_requested = 1;
}

//------------------------------------------------------------------------------------------------
// The parts (worker thread; the cell is the one after "> ")
//------------------------------------------------------------------------------------------------
static int phase;  // worker thread: which of "_" and blank the next step draws

static void cell_into_buffer(TextWindowEntry *e)
{
    wchar_t cell = phase ? L'_' : L' ';
    phase = 1 - phase;
    draw_units(e, e->cursor_x, e->cursor_y, &cell, 1);
}

static void copy_cell_to_window(TextWindowEntry *e)
{
    BitBlt(e->window_dc, e->cursor_x, e->cursor_y, e->char_width, e->char_height, e->mem_dc, e->cursor_x,
           e->cursor_y, SRCCOPY);
}

static void step_clock(TextWindowEntry *) { KAV_Milliseconds(); }
static void step_peek(TextWindowEntry *) { KAV_PumpMessages(); }
static void step_poll(TextWindowEntry *) { wait_for_wake(0); }
static void step_sleep(TextWindowEntry *) { wait_for_wake(1); }
static void step_lock(TextWindowEntry *)
{
    lock_text_table();
    live_text_window(0);
    unlock_text_table();
}
static void step_text_out(TextWindowEntry *e) { cell_into_buffer(e); }
static void step_invalidate(TextWindowEntry *e) { invalidate_cells(e, e->cursor_x, e->cursor_y, 1); }
static void step_paint(TextWindowEntry *e)
{
    invalidate_cells(e, e->cursor_x, e->cursor_y, 1);
    KAV_PumpMessages();
}
static void step_copy(TextWindowEntry *e) { copy_cell_to_window(e); }
static void step_copy_flush(TextWindowEntry *e)
{
    copy_cell_to_window(e);
    GdiFlush();
}
static void step_get_dc(TextWindowEntry *e)
{
    HDC dc = GetDC(e->hwnd);
    BitBlt(dc, e->cursor_x, e->cursor_y, e->char_width, e->char_height, e->mem_dc, e->cursor_x, e->cursor_y,
           SRCCOPY);
    ReleaseDC(e->hwnd, dc);
    GdiFlush();
}
// The calls a blink made before, the wait that timed out left aside: a pump after the wait, the
// toggle pass's pump, the cell drawn and invalidated, a wait that returns at once for the paint,
// the pump that paints and the status read of the pass after it.
static void step_blink_before(TextWindowEntry *e)
{
    KAV_PumpMessages();
    KAV_Milliseconds();
    KAV_PumpMessages();
    cell_into_buffer(e);
    invalidate_cells(e, e->cursor_x, e->cursor_y, 1);
    KAV_Milliseconds();
    wait_for_wake(0);
    KAV_PumpMessages();
    KAV_Milliseconds();
}
// The calls a blink makes now, the wait left aside.
static void step_blink_now(TextWindowEntry *e)
{
    KAV_Milliseconds();
    cell_into_buffer(e);
    copy_cell_to_window(e);
    GdiFlush();
}

// Both with a wait that times out after 1 ms, where the window's picture may reach the screen.
static void step_blink_before_waiting(TextWindowEntry *e)
{
    wait_for_wake(1);
    step_blink_before(e);
}
static void step_blink_now_waiting(TextWindowEntry *e)
{
    wait_for_wake(1);
    lock_text_table();
    step_blink_now(e);
    unlock_text_table();
}

struct BlinkPart {
    const char *name;
    void (*step)(TextWindowEntry *e);
    int locked;  // 1: the step runs with the table lock held, as the line input's drawing does
    int steps;   // steps per timing: enough for the process clock's 10 ms ticks to count little
};
static const BlinkPart blink_parts[] = {
    {"KAV_Milliseconds", step_clock, 0, 20000},
    {"KAV_PumpMessages, queue empty (one peek)", step_peek, 0, 20000},
    {"wait_for_wake(0), nothing pending", step_poll, 0, 20000},
    {"wait_for_wake(1), timing out: sleep and wake", step_sleep, 0, 2000},
    {"table lock taken and left", step_lock, 0, 20000},
    {"TextOutW of the cell into the back buffer", step_text_out, 1, 20000},
    {"InvalidateRect of the cell", step_invalidate, 1, 20000},
    {"InvalidateRect and the pump that paints it", step_paint, 0, 5000},
    {"BitBlt of the cell onto the window's own DC", step_copy, 1, 20000},
    {"the same and GdiFlush", step_copy_flush, 1, 20000},
    {"GetDC, BitBlt, ReleaseDC, GdiFlush", step_get_dc, 1, 20000},
    {"blink before, without its timed-out wait", step_blink_before, 0, 5000},
    {"blink now, without its timed-out wait", step_blink_now, 1, 20000},
    {"blink before, with a 1 ms timed-out wait", step_blink_before_waiting, 0, 2000},
    {"blink now, with a 1 ms timed-out wait", step_blink_now_waiting, 0, 2000},
};
#define BLINK_PART_COUNT ((int)(sizeof blink_parts / sizeof blink_parts[0]))

// Processor microseconds per step of one part, over its steps.
static double time_part(const BlinkPart *part, double *wall_us)
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(0);
    if (!part->locked) unlock_text_table();
    if (!e) {
        if (part->locked) unlock_text_table();
        return -1;
    }
    double cpu = process_cpu_ms();
    double start = bench_milliseconds();
    for (int i = 0; i < part->steps; i++) part->step(e);
    GdiFlush();
    *wall_us = (bench_milliseconds() - start) * 1000.0 / part->steps;
    double taken = (process_cpu_ms() - cpu) * 1000.0 / part->steps;
    if (part->locked) unlock_text_table();
    KAV_PumpMessages();  // what a step left queued (paints of invalidated cells) is not the next part's
    return taken;
}

void KAV_Main(void)
{
    KAV_Printf("> ");
    KAV_PumpMessages();
    static double cpu[BLINK_PART_COUNT][BLINK_BENCH_RUNS];   // processor microseconds per step
    static double wall[BLINK_PART_COUNT][BLINK_BENCH_RUNS];  // wall microseconds per step
    for (int run = 0; run < BLINK_BENCH_RUNS; run++)
        for (int p = 0; p < BLINK_PART_COUNT; p++) cpu[p][run] = time_part(&blink_parts[p], &wall[p][run]);
    printf("one blink's parts, medians of %d timings (process time, all threads):\n", BLINK_BENCH_RUNS);
    for (int p = 0; p < BLINK_PART_COUNT; p++)
        printf("  %-46s %8.1f us processor %8.1f us wall\n", blink_parts[p].name, median(cpu[p], BLINK_BENCH_RUNS),
               median(wall[p], BLINK_BENCH_RUNS));
    fflush(stdout);
    PostMessageW(main_window, WM_COMMAND, CMD_EXIT, 0);
}
