// text_table.cpp - the text window table: opening, closing and selecting windows, formatted
// output into the back buffer, line feeds and the colour stack.
#include "textwin/text_table.h"

#include <stdarg.h>
#include <string.h>

#include "core/core.h"

//------------------------------------------------------------------------------------------------
// Text window table (see text_table.h for who touches what).
//------------------------------------------------------------------------------------------------
TextWindowEntry text_windows[KAV_MAX_TEXT_WINDOWS];  // both threads, under text_table_lock
std::atomic<int> current_text_window{0};             // both threads
int text_window_history[KAV_TEXT_HISTORY];           // worker thread
CRITICAL_SECTION text_table_lock;                    // made once by start-up (GUI thread)
static bool text_table_lock_made = false;            // GUI thread, start-up only

static const DWORD TEXT_WINDOW_STYLE = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

//------------------------------------------------------------------------------------------------
// How each back buffer scrolls and when its window is shown, beside the table and under the same
// lock (both threads). The bitmap is taller than the window by a spare area below it: a line
// feed that scrolls moves the memory DC's viewport down by one line instead of copying the
// buffer, so row 0 of the window is row `top` of the bitmap; only when the spare area runs out
// are the kept lines copied back to the bitmap's top, once for many line feeds. Everything that
// draws into or reads from mem_dc uses the window's own coordinates and never sees `top`.
//------------------------------------------------------------------------------------------------
#define KAV_SHOW_INTERVAL_MS 100  // prints following one another this closely repaint at most this often
#define KAV_SHOW_TIMER_ID 0x4B54  // the timer that shows text printed since the last repaint

struct TextBufferView {
    int top;            // bitmap row shown as the window's row 0
    int rows;           // rows of the bitmap: the window's height and the spare area
    int clean_from;     // the window's rows from this one to the bottom are known to be black
    int black_tail;     // bitmap rows from this one to the bitmap's end are black
    int ink_right;      // columns from this x to the right edge are black in the whole bitmap
    int glyph_width;    // the font's widest glyph in pixels: how far one ASCII unit can reach
    uint32_t shown_at;  // millisecond clock when the window was last invalidated for printed text
    int show_pending;   // 1 while the timer is set to show text printed since then
};
static TextBufferView buffer_views[KAV_MAX_TEXT_WINDOWS];  // both threads, under text_table_lock

// When the printing thread last pumped its messages from a print (each thread its own). A
// message pump costs a round trip to the window server, more than drawing a line of text, so a
// print pumps only when the last print's pump is at least KAV_PRINT_PUMP_MS old: a single print
// still pumps at once, a flood of prints pumps once per KAV_PRINT_PUMP_MS.
#define KAV_PRINT_PUMP_MS 10
static thread_local uint32_t print_pumped_at;  // the printing thread's own

static TextBufferView *view_of(const TextWindowEntry *e) { return &buffer_views[e - text_windows]; }

//------------------------------------------------------------------------------------------------
// Text font: the stock fixed font's face and size, drawn without smoothing, so that every cell
// holds exactly the text and back colours whatever font the system maps the stock font to.
//------------------------------------------------------------------------------------------------
static HFONT text_font;  // made by start-up (GUI thread), used by both threads, deleted at exit

static void make_text_font(void)
{
    if (text_font) return;
    HGDIOBJ stock = GetStockObject(OEM_FIXED_FONT);
    LOGFONTW face;
    if (GetObjectW(stock, sizeof face, &face) != sizeof face) {
        text_font = (HFONT)stock;  // no description to copy: the stock font as it is
        return;
    }
    face.lfQuality = NONANTIALIASED_QUALITY;
    text_font = CreateFontIndirectW(&face);
    if (!text_font) text_font = (HFONT)stock;
}

void release_text_font(void)
{
    HGDIOBJ stock = GetStockObject(OEM_FIXED_FONT);
    if (!text_font || text_font == stock) return;
    // Back buffers still open at exit let go of the font before it is deleted.
    lock_text_table();
    for (int n = 0; n < KAV_MAX_TEXT_WINDOWS; n++)
        if (text_windows[n].mem_dc) SelectObject(text_windows[n].mem_dc, stock);
    unlock_text_table();
    DeleteObject(text_font);
    text_font = NULL;
}

void lock_text_table(void) { EnterCriticalSection(&text_table_lock); }
void unlock_text_table(void) { LeaveCriticalSection(&text_table_lock); }

void reset_text_windows(void)
{
    if (!text_table_lock_made) {
        InitializeCriticalSection(&text_table_lock);
        text_table_lock_made = true;
    }
    lock_text_table();
    memset(text_windows, 0, sizeof text_windows);
    memset(text_window_history, 0, sizeof text_window_history);
    current_text_window = 0;
    unlock_text_table();
    reset_line_input();
    make_text_font();
}

TextWindowEntry *live_text_window(int n)
{
    if (n < 0 || n >= KAV_MAX_TEXT_WINDOWS) return NULL;
    if (!text_windows[n].in_use) return NULL;
    return &text_windows[n];
}

int find_text_window(HWND hwnd)
{
    int found = -1;
    lock_text_table();
    for (int n = 0; n < KAV_MAX_TEXT_WINDOWS; n++) {
        if (text_windows[n].in_use && text_windows[n].hwnd == hwnd) {
            found = n;
            break;
        }
    }
    unlock_text_table();
    return found;
}

HWND text_window_handle(int n)
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(n);
    HWND hwnd = e ? e->hwnd : NULL;
    unlock_text_table();
    return hwnd;
}

//------------------------------------------------------------------------------------------------
// Drawing into the back buffer (lock held by the caller)
//------------------------------------------------------------------------------------------------
static COLORREF colour_ref(int colour)
{
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

TextGeometry text_geometry(const TextWindowEntry *e)
{
    TextGeometry g = {e->width, e->height, e->char_width, e->char_height};
    return g;
}

void apply_text_colours(TextWindowEntry *e)
{
    SetTextColor(e->mem_dc, colour_ref(e->text_color));
    SetBkColor(e->mem_dc, colour_ref(e->back_color));
}

void draw_units(TextWindowEntry *e, int x, int y, const wchar_t *units, int count)
{
    if (count <= 0) return;
    TextOutW(e->mem_dc, x, y, units, count);
    TextBufferView *v = view_of(e);
    if (y + e->char_height > v->clean_from) v->clean_from = y + e->char_height;
    if (v->top + y + e->char_height > v->black_tail) v->black_tail = v->top + y + e->char_height;
    // ASCII reaches at most one widest glyph per unit; for other units the font may fall back
    // to wider glyphs, so nothing is assumed about them.
    long long reach = x + (long long)count * v->glyph_width;
    for (int i = 0; i < count && reach < e->width; i++)
        if ((unsigned)units[i] >= 0x80) reach = e->width;
    if (reach > v->ink_right) v->ink_right = reach < e->width ? (int)reach : e->width;
}

// Blackens the window's rows from y up to (not including) end; the columns right of ink_right
// are black already.
static void fill_rows(TextWindowEntry *e, int y, int end)
{
    int width = view_of(e)->ink_right;
    if (end > y && width > 0) PatBlt(e->mem_dc, 0, y, width, end - y, PATCOPY);
}

void invalidate_cells(TextWindowEntry *e, int x, int y, int cells)
{
    RECT r = {x, y, x + cells * e->char_width, y + e->char_height};
    InvalidateRect(e->hwnd, &r, FALSE);
}

void scroll_back_buffer(TextWindowEntry *e, const ScrollStep *step)
{
    TextBufferView *v = view_of(e);
    const int ch = e->char_height;
    if (view_can_move(v->top, ch, e->height, v->rows)) {
        v->top += ch;
        SetViewportOrgEx(e->mem_dc, 0, v->top, NULL);
        // Everything from fill_y down must end up black. Known black are the rows that were
        // black in the window and moved up with it (moved .. height - ch) and the black end of
        // the bitmap (tail ..); only the rest is filled, usually nothing at all.
        int tail = v->black_tail - v->top;
        if (tail < step->fill_y) tail = step->fill_y;
        if (tail > e->height) tail = e->height;
        int moved = v->clean_from - ch;
        if (moved < step->fill_y) moved = step->fill_y;
        if (moved < tail && moved < e->height - ch) {
            fill_rows(e, step->fill_y, moved);
            fill_rows(e, e->height - ch > step->fill_y ? e->height - ch : step->fill_y, tail);
        } else {
            fill_rows(e, step->fill_y, tail);
        }
    } else {
        // The spare area is used up: the lines that stay move to the bitmap's top in one copy,
        // and the spare area below them is blackened at once for the line feeds to come.
        SetViewportOrgEx(e->mem_dc, 0, 0, NULL);
        if (step->copy_height > 0 && v->ink_right > 0)
            BitBlt(e->mem_dc, 0, 0, v->ink_right, step->copy_height, e->mem_dc, 0, v->top + ch, SRCCOPY);
        v->top = 0;
        fill_rows(e, step->fill_y, v->rows);
        v->black_tail = step->fill_y;
    }
    v->clean_from = step->fill_y;
}

int text_line_feed(TextWindowEntry *e)
{
    TextGeometry g = text_geometry(e);
    ScrollStep step = line_feed_rule(&e->cursor_y, &g);
    if (step.scrolled) scroll_back_buffer(e, &step);
    return step.scrolled;
}

// Makes the back buffer of an entry whose width, height and hwnd are set: the window DC, a
// memory DC with the black brush, the text font and a black bitmap of the client size.
// The bitmap has a spare area below the window's height (see TextBufferView); without memory
// for it the bitmap is just the window's size and every scrolling line feed copies the buffer.
static void make_back_buffer(TextWindowEntry *e)
{
    TextBufferView *v = view_of(e);
    e->window_dc = GetDC(e->hwnd);
    e->mem_dc = CreateCompatibleDC(e->window_dc);
    v->top = 0;
    v->clean_from = 0;  // all filled black below
    v->black_tail = 0;
    v->rows = back_buffer_rows(e->width, e->height);
    e->bitmap = v->rows > e->height ? CreateCompatibleBitmap(e->window_dc, e->width, v->rows) : NULL;
    if (!e->bitmap) {
        v->rows = e->height;
        e->bitmap = CreateCompatibleBitmap(e->window_dc, e->width, e->height);
    }
    SelectObject(e->mem_dc, GetStockObject(BLACK_BRUSH));
    SelectObject(e->mem_dc, text_font);
    e->old_bitmap = (HBITMAP)SelectObject(e->mem_dc, e->bitmap);
    PatBlt(e->mem_dc, 0, 0, e->width, v->rows, PATCOPY);  // the spare area too: nothing is inked yet
    v->ink_right = 0;
    TEXTMETRICW metrics;
    v->glyph_width = GetTextMetricsW(e->mem_dc, &metrics) ? metrics.tmMaxCharWidth + metrics.tmOverhang : e->width;
    if (v->glyph_width <= 0) v->glyph_width = e->width;
    e->cursor_x = 0;
    e->cursor_y = 0;
    SetBkMode(e->mem_dc, OPAQUE);
    apply_text_colours(e);
}

static void free_back_buffer(TextWindowEntry *e)
{
    SelectObject(e->mem_dc, e->old_bitmap);
    DeleteObject(e->bitmap);
    DeleteDC(e->mem_dc);
    ReleaseDC(e->hwnd, e->window_dc);
    e->bitmap = NULL;
    e->mem_dc = NULL;
    e->window_dc = NULL;
}

//------------------------------------------------------------------------------------------------
// Painting and resizing
//------------------------------------------------------------------------------------------------
void paint_text_window(HWND hwnd)
{
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    int n = find_text_window(hwnd);
    lock_text_table();
    TextWindowEntry *e = live_text_window(n);
    if (e && e->hwnd == hwnd) {
        RECT r = ps.rcPaint;
        BitBlt(e->window_dc, r.left, r.top, r.right - r.left, r.bottom - r.top, e->mem_dc, r.left, r.top, SRCCOPY);
    }
    unlock_text_table();
    EndPaint(hwnd, &ps);
}

void resize_text_window(int n)
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(n);
    if (!e) {
        unlock_text_table();
        return;
    }
    RECT client;
    GetClientRect(e->hwnd, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width == e->width && height == e->height) {
        // Restored from a minimized state: the buffer still fits, its text stays.
        unlock_text_table();
        return;
    }
    e->width = width;
    e->height = height;
    free_back_buffer(e);
    make_back_buffer(e);
    HWND hwnd = e->hwnd;
    unlock_text_table();
    rebuild_placement_list();
    InvalidateRect(hwnd, NULL, FALSE);
}

//------------------------------------------------------------------------------------------------
// Opening, closing, selecting
//------------------------------------------------------------------------------------------------
bool front_text_window(int n)
{
    HWND hwnd = text_window_handle(n);
    if (!hwnd) return false;
    SetForegroundWindow(hwnd);
    current_text_window = n;
    return true;
}

int KAV_OpenTextWindow(int n, int x, int y, int width, int height)
{
    if (n < 0 || n >= KAV_MAX_TEXT_WINDOWS) return 1;
    if (front_text_window(n)) return 1;
    RECT area;
    work_area(&area);
    // Either coordinate negative lets the system place the window: a lone CW_USEDEFAULT x
    // would make the system read y as a show command.
    if (x < 0 || y < 0) {
        x = CW_USEDEFAULT;
        y = CW_USEDEFAULT;
    } else {
        x += area.left;
        y += area.top;
    }
    if (width < 0) width = 400;
    if (height < 0) height = 300;

    lock_text_table();
    TextWindowEntry *e = &text_windows[n];
    memset(e, 0, sizeof *e);
    memset(&buffer_views[n], 0, sizeof buffer_views[n]);
    e->width = width;
    e->height = height;
    e->text_color = 0xFFFFFF;
    e->back_color = 0x000000;
    current_text_window = n;
    unlock_text_table();

    wchar_t caption[KAV_NAME_UNITS];
    wsprintfW(caption, L"TextWindow %d", n);
    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, TEXT_WINDOW_STYLE, FALSE);
    HWND hwnd = CreateWindowExW(0, L"kav_twi", caption, TEXT_WINDOW_STYLE, x, y, outer.right - outer.left,
                                outer.bottom - outer.top, main_window, NULL, module_instance, NULL);

    lock_text_table();
    e->hwnd = hwnd;
    make_back_buffer(e);
    TEXTMETRICW metrics;
    GetTextMetricsW(e->mem_dc, &metrics);
    e->char_width = metrics.tmAveCharWidth;
    e->char_height = metrics.tmHeight;
    fill_colour_stack(e->saved_text_colors, e->saved_back_colors, e->text_color, e->back_color);
    e->log_state = 0;
    e->in_use = 1;
    unlock_text_table();

    rebuild_placement_list();
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    return 0;
}

void KAV_ShowTextWindow(void)
{
    HWND hwnd = text_window_handle(current_text_window);
    if (hwnd) {
        SetForegroundWindow(hwnd);
        return;
    }
    KAV_OpenTextWindow(0, GetSystemMetrics(SM_CXFULLSCREEN) / 2 - 200, GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 150, 400, 300);
}

int KAV_CloseTextWindow(int n)
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(n);
    if (!e) {
        unlock_text_table();
        return 1;
    }
    e->in_use = 0;
    if (current_text_window == n) {
        for (int i = 0; i < KAV_MAX_TEXT_WINDOWS; i++) {
            if (text_windows[i].in_use) {
                current_text_window = i;
                break;
            }
        }
    }
    int reading = n + 1;
    if (line_input_window.compare_exchange_strong(reading, 0)) wake_waiters();  // a line input waiting here ends empty
    if (e->log_file) fclose(e->log_file);
    e->log_file = NULL;
    e->log_state = 0;
    free_back_buffer(e);
    HWND hwnd = e->hwnd;
    unlock_text_table();
    DestroyWindow(hwnd);
    return 0;
}

int KAV_SelectTextWindow(int n)
{
    lock_text_table();
    if (!live_text_window(n)) {
        unlock_text_table();
        return 1;
    }
    for (int i = KAV_TEXT_HISTORY - 1; i > 0; i--) text_window_history[i] = text_window_history[i - 1];
    text_window_history[0] = current_text_window;
    current_text_window = n;
    unlock_text_table();
    return 0;
}

//------------------------------------------------------------------------------------------------
// Output
//------------------------------------------------------------------------------------------------
static void draw_print_run(void *context, const wchar_t *units, int count, int x, int y)
{
    draw_units((TextWindowEntry *)context, x, y, units, count);
}

static void scroll_print(void *context, const ScrollStep *step)
{
    scroll_back_buffer((TextWindowEntry *)context, step);
}

void KAV_Printf(const char *format, ...)
{
    if (!text_window_handle(current_text_window)) return;
    char text[KAV_PRINT_BYTES];  // 4096 bytes: longer output is cut here
    va_list args;
    va_start(args, format);
    int written = vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (written < 0) text[0] = '\0';  // a format the library cannot render prints nothing
    wchar_t wide[KAV_PRINT_BYTES];  // 4096 units: one ANSI byte gives at most one unit
    int count = ansi_to_wide(text, wide, KAV_PRINT_BYTES);
    print_units(wide, count, text);
}

static bool show_printed_text(TextWindowEntry *e);

void print_units(const wchar_t *wide, int count, const char *log_text)
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(current_text_window);
    if (!e) {
        unlock_text_table();
        return;
    }
    if (e->log_state == 1 && e->log_file) fputs(log_text, e->log_file);
    TextGeometry g = text_geometry(e);
    TextCursor cursor = {e->cursor_x, e->cursor_y};
    lay_out_visible_print(wide, count, &cursor, &g, draw_print_run, scroll_print, e);
    e->cursor_x = cursor.x;
    e->cursor_y = cursor.y;
    HWND hwnd = e->hwnd;
    bool show_now = show_printed_text(e);
    unlock_text_table();

    if (show_now) InvalidateRect(hwnd, NULL, FALSE);
    uint32_t now = KAV_Milliseconds();
    if (show_now || now - print_pumped_at >= KAV_PRINT_PUMP_MS) {
        KAV_PumpMessages();
        print_pumped_at = KAV_Milliseconds();
    }
}

// Decides whether text just printed into e is shown at once (true: the caller invalidates the
// window) or with the others printed in the next few milliseconds. A print after a pause is
// shown at once; a flood of prints repaints the window every KAV_SHOW_INTERVAL_MS, by a timer
// that also shows the last of them when the printing stops. Prints from a thread that does not
// own the window (the Main window's dialogues) cannot set its timer and are shown at once.
static bool show_printed_text(TextWindowEntry *e)
{
    TextBufferView *v = view_of(e);
    uint32_t now = KAV_Milliseconds();
    if (v->show_pending) return false;
    if (now - v->shown_at >= KAV_SHOW_INTERVAL_MS) {
        v->shown_at = now;
        return true;
    }
    if (GetWindowThreadProcessId(e->hwnd, NULL) != GetCurrentThreadId()) return true;
    if (!SetTimer(e->hwnd, KAV_SHOW_TIMER_ID, KAV_SHOW_INTERVAL_MS, NULL)) return true;
    v->show_pending = 1;
    return false;
}

// WM_TIMER of a text window: the timer set by show_printed_text ran out, so the text printed
// since the last repaint is shown now.
void show_pending_text(HWND hwnd, UINT_PTR timer)
{
    if (timer != KAV_SHOW_TIMER_ID) return;
    KillTimer(hwnd, KAV_SHOW_TIMER_ID);
    int n = find_text_window(hwnd);
    lock_text_table();
    TextWindowEntry *e = live_text_window(n);
    if (e) {
        buffer_views[n].show_pending = 0;
        buffer_views[n].shown_at = KAV_Milliseconds();
    }
    unlock_text_table();
    InvalidateRect(hwnd, NULL, FALSE);
}

//------------------------------------------------------------------------------------------------
// Colour stack of the current text window
//------------------------------------------------------------------------------------------------
void KAV_PushTextColor(uint32_t text, uint32_t back)
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(current_text_window);
    if (e) {
        push_colours(e->saved_text_colors, e->saved_back_colors, &e->text_color, &e->back_color, (int)text, (int)back);
        apply_text_colours(e);
    }
    unlock_text_table();
}

void KAV_PopTextColor(void)
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(current_text_window);
    if (e) {
        pop_colours(e->saved_text_colors, e->saved_back_colors, &e->text_color, &e->back_color);
        apply_text_colours(e);
    }
    unlock_text_table();
}
