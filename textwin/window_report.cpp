// window_report.cpp - the window information report: lists every library window with its
// position and size in the current text window and puts source that re-creates the layout on
// the clipboard. Runs on the worker thread; every print pumps messages, so each window is
// read afresh when its line is made.
#include "textwin/text_table.h"

#include <stdlib.h>
#include <string.h>

#include "boxes/boxes.h"
#include "core/core.h"
#include "imagewin/imagewin.h"
#include "textwin/report_source.h"

#define REPORT_TEXT 0xFFFFFF      // the report: white on black
#define REPORT_TITLE 0xFFFF00     // its first and last lines: yellow
#define REPORT_SECTION 0x00FF00   // section heads: green
#define REPORT_BITS 0x0080FF      // bits per pixel of an image window
#define REPORT_LIMIT 0xFF00FF     // its size limit
#define CONFIRM_TEXT 0xFFFF00     // the clipboard confirmation: yellow on dark blue
#define CONFIRM_BACK 0x000080
#define LABEL_UNITS 255           // a label as read: at most 254 UTF-16 units and the terminator
#define LABEL_BYTES 512           // the label in ANSI: two bytes per unit at most

// "The layout-creation source list has been saved to the clipboard.", in code page 932.
static const char CONFIRMATION_932[] =
    "\x83\x4E\x83\x8A\x83\x62\x83\x76\x83\x7B\x81\x5B\x83\x68\x82\xC9\x83\x8C\x83\x43\x83\x41"
    "\x83\x45\x83\x67\x8D\xEC\x90\xAC\x83\x5C\x81\x5B\x83\x58\x83\x8A\x83\x58\x83\x67\x82\xF0"
    "\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x44\n";

int confirmation_text(wchar_t out[KAV_CONFIRM_UNITS])
{
    int count = MultiByteToWideChar(932, 0, CONFIRMATION_932, -1, out, KAV_CONFIRM_UNITS);
    if (count <= 0) {
        out[0] = L'\0';
        return 0;
    }
    return count - 1;
}

static void print_in(uint32_t colour, const char *format, int value)
{
    KAV_PushTextColor(colour, 0);
    KAV_Printf(format, value);
    KAV_PopTextColor();
}

static void print_section(const char *title, SourceList *s)
{
    KAV_PushTextColor(REPORT_SECTION, 0);
    KAV_Printf("[%s]\n", title);
    KAV_PopTextColor();
    source_section(s, title);
}

// The window's outer top-left corner relative to the work area.
static POINT work_area_position(HWND hwnd)
{
    RECT r, area;
    GetWindowRect(hwnd, &r);
    work_area(&area);
    POINT p = {r.left - area.left, r.top - area.top};
    return p;
}

static void read_label(HWND control, char out[LABEL_BYTES])
{
    wchar_t wide[LABEL_UNITS];
    wide[0] = L'\0';
    GetWindowTextW(control, wide, LABEL_UNITS);
    wide_to_ansi(wide, out, LABEL_BYTES);
}

static void report_image_windows(SourceList *s)
{
    int any = 0;
    for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS && !any; n++) any = live_image_window(n) != NULL;
    if (!any) return;
    print_section("Image Window", s);
    for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) {
        if (!live_image_window(n)) continue;
        KAV_Printf(" %d ", n);
        print_in(REPORT_BITS, "%d ", image_windows[n].bits_per_pixel);
        print_in(REPORT_LIMIT, "%d ", image_windows[n].size_limit);
        ImageWindowEntry *e = live_image_window(n);  // the prints pumped messages
        if (!e) continue;
        POINT p = work_area_position(e->hwnd);
        const char *name = e->name ? e->name : "";
        KAV_Printf(" '%s' X:%d Y:%d W:%d H:%d ZM:%d%%\n", name, (int)p.x, (int)p.y, e->width, e->height, e->zoom);
        e = live_image_window(n);
        if (!e) continue;
        source_image_window(s, n, e->bits_per_pixel, e->size_limit, e->name, (int)p.x, (int)p.y, e->width,
                            e->height, e->zoom);
    }
}

static void report_text_windows(SourceList *s)
{
    print_section("Text Window", s);
    for (int n = 0; n < KAV_MAX_TEXT_WINDOWS; n++) {
        lock_text_table();
        TextWindowEntry *e = live_text_window(n);
        HWND hwnd = e ? e->hwnd : NULL;
        int width = e ? e->width : 0, height = e ? e->height : 0;
        unlock_text_table();
        if (!hwnd) continue;
        POINT p = work_area_position(hwnd);
        KAV_Printf(" %d X:%d Y:%d W:%d H:%d\n", n, (int)p.x, (int)p.y, width, height);
        source_text_window(s, n, (int)p.x, (int)p.y, width, height);
    }
}

static void report_input_box(SourceList *s)
{
    if (!input_box_window) return;
    print_section("Input Box", s);
    POINT p = work_area_position(input_box_window);
    int items = input_item_count, isize = label_width, esize = edit_width;
    KAV_Printf(" X:%d Y:%d ITEM:%d ", (int)p.x, (int)p.y, items);
    KAV_Printf("ISIZE:%d ESIZE:%d\n", isize, esize);
    source_input_box(s, (int)p.x, (int)p.y, items, isize, esize);
    for (int i = 0; i < input_item_count && input_box_window; i++) {
        char label[LABEL_BYTES];
        read_label(item_labels[i], label);
        source_input_title(s, i, label);
    }
}

static void report_button_box(SourceList *s)
{
    if (!button_box_window) return;
    print_section("Button Box", s);
    POINT p = work_area_position(button_box_window);
    int columns = button_columns, rows = button_rows;
    KAV_Printf(" X:%d Y:%d NX:%d NY:%d ", (int)p.x, (int)p.y, columns, rows);
    if (!button_box_window) return;
    RECT client;
    GetClientRect(button_box_window, &client);
    KAV_Printf("SIZE:%dx%d\n", (int)client.right, (int)client.bottom);
    source_button_box(s, (int)p.x, (int)p.y, columns, rows, (int)client.right, (int)client.bottom);
    for (int i = 0; i < button_count && button_box_window; i++) {
        char label[LABEL_BYTES];
        read_label(buttons[i], label);
        source_button_title(s, i, label);
    }
}

static void report_main_window(SourceList *s)
{
    source_section(s, "Main Window");
    RECT r;
    GetWindowRect(main_window, &r);
    if (r.left != main_x || r.top != main_rest_y) {
        source_place_main(s, (int)r.left, (int)r.top);
        KAV_PushTextColor(REPORT_SECTION, 0);
        KAV_Printf("[Main Window]\n");
        KAV_PopTextColor();
        KAV_Printf(" X:%d Y:%d\n", (int)r.left, (int)r.top);
    }
}

// Puts the source on the clipboard as text and confirms it; a busy clipboard drops it silently.
static void hand_source_to_clipboard(const SourceList *s)
{
    if (!OpenClipboard(NULL)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, (SIZE_T)s->length + 1);
    char *bytes = memory ? (char *)GlobalLock(memory) : NULL;
    if (!bytes) {
        if (memory) GlobalFree(memory);
        CloseClipboard();
        MessageBoxW(NULL, L"GlobalAlloc() failed. (ID_INFO)", L"Pause", MB_OK);
        return;
    }
    memcpy(bytes, s->text, (size_t)s->length + 1);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    CloseClipboard();

    // The text is Japanese on every system: converted from its own code page, not the
    // system's; the log receives it in the system code page like every other print.
    wchar_t wide[KAV_CONFIRM_UNITS];
    int count = confirmation_text(wide);
    char log_text[KAV_CONFIRM_UNITS * 2];
    wide_to_ansi(wide, log_text, sizeof log_text);
    KAV_PushTextColor(CONFIRM_TEXT, CONFIRM_BACK);
    print_units(wide, count, log_text);
    KAV_PopTextColor();
}

void window_information_report(void)
{
    SourceList *s = (SourceList *)malloc(sizeof *s);
    if (!s) return;
    KAV_PushTextColor(REPORT_TEXT, 0);
    KAV_PushTextColor(REPORT_TITLE, 0);
    KAV_Printf("******* Window information *******\n");
    KAV_PopTextColor();
    source_begin(s);
    report_image_windows(s);
    report_text_windows(s);
    report_input_box(s);
    report_button_box(s);
    report_main_window(s);
    source_end(s);
    KAV_PushTextColor(REPORT_TITLE, 0);
    KAV_Printf("**********************************\n");
    KAV_PopTextColor();
    hand_source_to_clipboard(s);
    free(s);
    KAV_PopTextColor();
}
