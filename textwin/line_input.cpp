// line_input.cpp - KAV_InputText: reads one typed line in the current text window with a
// blinking cursor, fed by the window procedure through the key ring.
#include "textwin/text_table.h"

#include <string.h>

#include "core/core.h"

//------------------------------------------------------------------------------------------------
// Line input globals. The text window procedure (worker thread) writes the ring and the
// request; KAV_InputText reads them on the worker thread or, for the Main window's dialogues,
// on the GUI thread. The ring and the last line are guarded by line_input_lock.
//------------------------------------------------------------------------------------------------
std::atomic<int> line_input_window{0};           // both threads; number + 1 of the reading window
std::atomic<int> line_input_request{0};          // written by the window procedure, cleared by the reader
static KeyRing key_ring;                         // both threads, under line_input_lock
static wchar_t last_input_line[KAV_INPUT_UNITS + 1];  // the reader's thread, under line_input_lock
static CRITICAL_SECTION line_input_lock;         // made once by start-up (GUI thread)
static bool line_input_lock_made = false;        // GUI thread, start-up only

static const uint32_t BLINK_MS = 200;  // the cursor changes between "_" and blank this often

void reset_line_input(void)
{
    if (!line_input_lock_made) {
        InitializeCriticalSection(&line_input_lock);
        line_input_lock_made = true;
    }
    EnterCriticalSection(&line_input_lock);
    key_ring_clear(&key_ring);
    last_input_line[0] = L'\0';
    LeaveCriticalSection(&line_input_lock);
    line_input_request = 0;
    line_input_window = 0;
}

void feed_typed_unit(wchar_t unit)
{
    EnterCriticalSection(&line_input_lock);
    key_ring_put(&key_ring, unit);
    LeaveCriticalSection(&line_input_lock);
    wake_waiters();  // the reader may wait on the other thread
}

void request_line_input(int request)
{
    int none = 0;
    if (line_input_request.compare_exchange_strong(none, request)) wake_waiters();
}

static wchar_t take_typed_unit(void)
{
    wchar_t unit;
    EnterCriticalSection(&line_input_lock);
    key_ring_take(&key_ring, &unit);
    LeaveCriticalSection(&line_input_lock);
    return unit;
}

static bool key_ring_empty(void)
{
    EnterCriticalSection(&line_input_lock);
    bool empty = key_ring.read < 0;
    LeaveCriticalSection(&line_input_lock);
    return empty;
}

// Sends the last line to the current text window as typed characters.
static void recall_last_line(void)
{
    wchar_t line[KAV_INPUT_UNITS + 1];
    EnterCriticalSection(&line_input_lock);
    memcpy(line, last_input_line, sizeof line);
    LeaveCriticalSection(&line_input_lock);
    HWND hwnd = text_window_handle(current_text_window);
    if (!hwnd) return;
    for (int i = 0; line[i] != L'\0'; i++) SendMessageW(hwnd, WM_CHAR, line[i], 0);
}

// Puts the clipboard's first text line, without its line end, into the key ring.
static void paste_first_line(void)
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return;
    if (!OpenClipboard(NULL)) return;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t *text = data ? (const wchar_t *)GlobalLock(data) : NULL;
    if (text) {
        SIZE_T units = GlobalSize(data) / sizeof(wchar_t);  // never read past the block
        EnterCriticalSection(&line_input_lock);
        for (SIZE_T i = 0; i < units; i++) {
            wchar_t unit = text[i];
            if (unit == 0 || unit == 10 || unit == 13) break;
            if (key_ring_put(&key_ring, unit) != 0) break;
        }
        LeaveCriticalSection(&line_input_lock);
        GlobalUnlock(data);
    }
    CloseClipboard();
}

//------------------------------------------------------------------------------------------------
// The echo (each step takes the lock and reads the current window afresh)
//------------------------------------------------------------------------------------------------
struct LineInput {
    wchar_t line[KAV_INPUT_UNITS + 1];
    int length;
    EchoCursor echo;    // x and y are copied from and back to the entry at each step
    int phase;          // 1: cursor shown as "_", 0: as a space
    int redraw;         // 1: the cursor cell must be drawn
    uint32_t last_blink;
    HWND own_window;    // the reading window when the calling thread owns it, else NULL
};

static void draw_cursor_cell(TextWindowEntry *e, int phase)
{
    wchar_t cell = phase ? L'_' : L' ';
    draw_units(e, e->cursor_x, e->cursor_y, &cell, 1);
    invalidate_cells(e, e->cursor_x, e->cursor_y, 1);
}

static void blank_cell(TextWindowEntry *e, int x, int y)
{
    wchar_t space = L' ';
    draw_units(e, x, y, &space, 1);
    invalidate_cells(e, x, y, 1);
}

static void scrolled(TextWindowEntry *e, const ScrollStep *step)
{
    if (!step->scrolled) return;
    scroll_back_buffer(e, step);
    InvalidateRect(e->hwnd, NULL, FALSE);
}

static void echo_typed_unit(LineInput *in, wchar_t unit)
{
    int cells = char_cells(unit);
    lock_text_table();
    TextWindowEntry *e = live_text_window(current_text_window);
    if (e) {
        TextGeometry g = text_geometry(e);
        in->echo.x = e->cursor_x;
        in->echo.y = e->cursor_y;
        EchoTyped step;
        echo_type(&in->echo, cells, &g, &step);
        if (step.moved) {
            blank_cell(e, step.blank_x, step.blank_y);
            scrolled(e, &step.before);
        }
        draw_units(e, step.draw_x, step.draw_y, &unit, 1);
        invalidate_cells(e, step.draw_x, step.draw_y, cells);
        if (step.wrapped) scrolled(e, &step.after);
        e->cursor_x = in->echo.x;
        e->cursor_y = in->echo.y;
        draw_cursor_cell(e, in->phase);
    }
    unlock_text_table();
    in->line[in->length++] = unit;
    in->line[in->length] = L'\0';
    in->redraw = 0;
}

static void echo_backspace(LineInput *in)
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(current_text_window);
    if (e && in->length > 0) {
        int cells = char_cells(in->line[in->length - 1]);
        TextGeometry g = text_geometry(e);
        in->echo.x = e->cursor_x;
        in->echo.y = e->cursor_y;
        EchoErased step;
        echo_erase(&in->echo, cells, &g, &step);
        blank_cell(e, step.blank_x, step.blank_y);
        if (step.wide) {
            wchar_t wide_space = 0x3000;
            draw_units(e, step.wide_x, step.wide_y, &wide_space, 1);
            invalidate_cells(e, step.wide_x, step.wide_y, 2);
        }
        e->cursor_x = in->echo.x;
        e->cursor_y = in->echo.y;
    }
    if (in->length > 0) in->line[--in->length] = L'\0';
    if (e && in->redraw) draw_cursor_cell(e, in->phase);
    in->redraw = 0;
    unlock_text_table();
}

// The blink: the cursor cell is drawn into the back buffer and copied from there straight onto
// the window through its own DC, which is all a blink needs. Invalidating the cell instead costs
// a WM_PAINT fetched by a pump and BeginPaint and EndPaint, several round trips to the window
// server five times a second. A window of another thread is invalidated, for its owner paints it.
static void redraw_cursor(LineInput *in)
{
    if (!in->redraw) return;
    lock_text_table();
    TextWindowEntry *e = live_text_window(current_text_window);
    if (e && e->hwnd == in->own_window) {
        wchar_t cell = in->phase ? L'_' : L' ';
        draw_units(e, e->cursor_x, e->cursor_y, &cell, 1);
        BitBlt(e->window_dc, e->cursor_x, e->cursor_y, e->char_width, e->char_height, e->mem_dc, e->cursor_x,
               e->cursor_y, SRCCOPY);
        GdiFlush();  // shown now, not when the thread next calls GDI
    } else if (e) {
        draw_cursor_cell(e, in->phase);
    }
    unlock_text_table();
    in->redraw = 0;
}

// Enter: the cursor cell is cleared, the cursor goes to the next line, the line is kept for
// recall, handed back as ANSI text and written to the window's log.
static void finish_line(LineInput *in, char out[KAV_LINE_BYTES])
{
    line_input_window = 0;
    EnterCriticalSection(&line_input_lock);
    memcpy(last_input_line, in->line, sizeof last_input_line);
    LeaveCriticalSection(&line_input_lock);
    wide_to_ansi(in->line, out, KAV_LINE_BYTES);

    lock_text_table();
    TextWindowEntry *e = live_text_window(current_text_window);
    if (e) {
        blank_cell(e, e->cursor_x, e->cursor_y);
        e->cursor_x = 0;
        e->cursor_y += e->char_height;
        if (text_line_feed(e)) InvalidateRect(e->hwnd, NULL, FALSE);
        if (e->log_state == 1 && e->log_file) fprintf(e->log_file, "%s\n", out);
    }
    unlock_text_table();
}

// Makes the calling input the one that reads, unless another input reads already (nested in
// its pump, or on the other thread): the text window feeds one line at a time, and taking it
// over would end the first input with an empty line. During Exit no input starts.
static bool claim_line_input(int n)
{
    if (run_state.exit_state != 0) return false;
    int idle = 0;
    return line_input_window.compare_exchange_strong(idle, n + 1);
}

void KAV_InputText(char line[KAV_LINE_BYTES])
{
    line[0] = '\0';
    int n = current_text_window;
    HWND hwnd = text_window_handle(n);
    if (!hwnd) return;
    if (!claim_line_input(n)) return;
    SetForegroundWindow(hwnd);
    set_status_text("Input text");

    LineInput in;
    memset(&in, 0, sizeof in);
    in.last_blink = KAV_Milliseconds();
    in.phase = 1;
    in.redraw = 1;
    if (GetWindowThreadProcessId(hwnd, NULL) == GetCurrentThreadId()) in.own_window = hwnd;

    bool pump = true;  // false after a wait that timed out: no message came, so none to dispatch
    for (;;) {
        if (pump) KAV_PumpMessages();
        wchar_t unit = take_typed_unit();
        if (unit == 9) unit = 32;
        if (unit == 13) {
            finish_line(&in, line);
            break;
        }
        int request = line_input_request.exchange(0);
        if (request == 1) recall_last_line();
        if (request == 2) paste_first_line();
        if (line_input_window == 0) break;

        if (unit == 8) {
            echo_backspace(&in);
        } else if (unit != 0 && in.length < KAV_INPUT_UNITS) {
            echo_typed_unit(&in, unit);
        }

        uint32_t since = KAV_Milliseconds() - in.last_blink;
        if (since > BLINK_MS) {
            in.redraw = 1;
            in.phase = 1 - in.phase;
            in.last_blink += since;
            since = 0;
        }
        redraw_cursor(&in);
        // Nothing to do: sleep until a key, a message or a flag change comes, or the cursor
        // is due to blink. A wake for the blink alone needs one wait and one cell drawn.
        pump = true;
        if (unit == 0 && request == 0 && key_ring_empty()) pump = wait_for_wake(BLINK_MS + 1 - since) != WAIT_TIMEOUT;
    }

    show_colour_depth_status();
}
