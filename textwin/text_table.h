// text_table.h - the text window table and the helpers shared by the text window files.
// Internal to the text windows; the rest of the library uses textwin.h.
#ifndef KAV_TEXT_TABLE_H
#define KAV_TEXT_TABLE_H

#include <windows.h>
#include <stdio.h>
#include <atomic>

#include "textwin/textwin.h"
#include "textwin/colour_stack.h"
#include "textwin/key_ring.h"
#include "textwin/log_names.h"
#include "textwin/text_layout.h"

#define KAV_TEXT_HISTORY 8       // window numbers kept by KAV_SelectTextWindow
#define KAV_PRINT_BYTES 4096     // one formatted print, terminator included
#define KAV_ABOUT_TEXT 0xFFFF80  // colours of the About text: light yellow on dark blue
#define KAV_ABOUT_BACK 0x000060

struct TextWindowEntry {
    int in_use;                // 1 while the window exists; set last by creation, cleared first by destruction
    int width;                 // client width in pixels = back-buffer width
    int height;                // client height in pixels = back-buffer height
    int cursor_x;              // x where the next text run starts
    int cursor_y;              // y of the top of the current line
    int char_width;            // width of one character cell
    int char_height;           // height of one line
    int text_color;            // foreground colour, 0xRRGGBB
    int back_color;            // background colour, 0xRRGGBB
    int saved_text_colors[KAV_SAVED_COLOURS];  // pushed foreground colours, slot 0 most recent
    int saved_back_colors[KAV_SAVED_COLOURS];  // pushed background colours, slot 0 most recent
    HWND hwnd;                 // the Text window
    HDC mem_dc;                // memory DC holding the back buffer
    HDC window_dc;             // the window's own DC, kept from creation to destruction
    HBITMAP bitmap;            // the back buffer
    HBITMAP old_bitmap;        // selected back into mem_dc before it is deleted
    int log_state;             // 0 no log, 1 logging, 2 log stopped
    FILE *log_file;            // open while log_state is not 0
};

//------------------------------------------------------------------------------------------------
// Text window table. Created, resized and destroyed by the worker thread; printed into and
// read by both threads (the Main window's dialogues print on the GUI thread). Every access to
// an entry's buffer, cursor and colours holds text_table_lock, never while messages are pumped.
//------------------------------------------------------------------------------------------------
extern TextWindowEntry text_windows[KAV_MAX_TEXT_WINDOWS];  // both threads, under the lock
extern std::atomic<int> current_text_window;                // both threads
extern int text_window_history[KAV_TEXT_HISTORY];           // worker thread
extern CRITICAL_SECTION text_table_lock;                    // guards the table

void lock_text_table(void);
void unlock_text_table(void);
TextWindowEntry *live_text_window(int n);  // the entry when n is 0..255 and live, else NULL (lock held)

// Drawing into an entry's back buffer (lock held).
TextGeometry text_geometry(const TextWindowEntry *e);
void apply_text_colours(TextWindowEntry *e);
void draw_units(TextWindowEntry *e, int x, int y, const wchar_t *units, int count);
void invalidate_cells(TextWindowEntry *e, int x, int y, int cells);
int  text_line_feed(TextWindowEntry *e);  // after cursor_y moved down: 1 if the buffer scrolled
void scroll_back_buffer(TextWindowEntry *e, const ScrollStep *step);

// Prints count UTF-16 units into the current text window and log_text into its log.
void print_units(const wchar_t *wide, int count, const char *log_text);

// Painting and resizing (worker thread, inside the window procedure).
void paint_text_window(HWND hwnd);
void resize_text_window(int n);

// Line input's share of the window procedure.
void feed_typed_unit(wchar_t unit);      // WM_CHAR while a line input runs
void request_line_input(int request);    // 1 recall the last line, 2 paste; ignored while one is pending
extern std::atomic<int> line_input_request;  // 0 none, 1 recall, 2 paste
void reset_line_input(void);

// The file of window n's open log into name: 0; 1 no log (name empty).
int log_file_name(int n, char name[KAV_LOG_NAME_BYTES]);

// The window information report in the current text window; its layout source goes to the clipboard.
void window_information_report(void);
#define KAV_CONFIRM_UNITS 64  // the report's clipboard confirmation in UTF-16: 30 characters and the line feed
int  confirmation_text(wchar_t out[KAV_CONFIRM_UNITS]);  // that confirmation; its units

HMENU build_text_window_menu(int n);     // the context menu of text window n, with its check marks
void show_about(void);                   // prints the About text into the current text window

#endif
