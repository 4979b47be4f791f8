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
    if (count > 0) TextOutW(e->mem_dc, x, y, units, count);
}

void invalidate_cells(TextWindowEntry *e, int x, int y, int cells)
{
    RECT r = {x, y, x + cells * e->char_width, y + e->char_height};
    InvalidateRect(e->hwnd, &r, FALSE);
}

void scroll_back_buffer(TextWindowEntry *e, const ScrollStep *step)
{
    if (step->copy_height > 0) BitBlt(e->mem_dc, 0, 0, e->width, step->copy_height, e->mem_dc, 0, e->char_height, SRCCOPY);
    PatBlt(e->mem_dc, 0, step->fill_y, e->width, e->height - step->fill_y, PATCOPY);
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
static void make_back_buffer(TextWindowEntry *e)
{
    e->window_dc = GetDC(e->hwnd);
    e->mem_dc = CreateCompatibleDC(e->window_dc);
    e->bitmap = CreateCompatibleBitmap(e->window_dc, e->width, e->height);
    SelectObject(e->mem_dc, GetStockObject(BLACK_BRUSH));
    SelectObject(e->mem_dc, text_font);
    e->old_bitmap = (HBITMAP)SelectObject(e->mem_dc, e->bitmap);
    PatBlt(e->mem_dc, 0, 0, e->width, e->height, PATCOPY);
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
    lay_out_print(wide, count, &cursor, &g, draw_print_run, scroll_print, e);
    e->cursor_x = cursor.x;
    e->cursor_y = cursor.y;
    HWND hwnd = e->hwnd;
    unlock_text_table();

    InvalidateRect(hwnd, NULL, FALSE);
    KAV_PumpMessages();
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
