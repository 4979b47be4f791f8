// text_layout.h - the geometry of text windows without any window: how wide a character is,
// where printed text wraps, when a line feed scrolls the buffer, and how the echo of line
// input moves its cursor across wrapped lines and back.
#ifndef KAV_TEXT_LAYOUT_H
#define KAV_TEXT_LAYOUT_H

#include <wchar.h>

#define KAV_INPUT_UNITS 255                     // UTF-16 units of one typed line, terminator not included
#define KAV_ECHO_WRAPS (2 * KAV_INPUT_UNITS)   // a two-cell character can wrap twice in a very narrow window

// The size of a text window's buffer and of one character cell, in pixels.
struct TextGeometry {
    int width, height;
    int char_width, char_height;
};

// What a line feed did to the buffer: when scrolled, rows char_height .. char_height + copy_height
// move up to row 0 and everything from fill_y downward is cleared.
struct ScrollStep {
    int scrolled;
    int copy_height;
    int fill_y;
};

int char_cells(unsigned unit);  // 1 for ASCII and half-width katakana, 2 for every other unit

// Called after *cursor_y has moved down one line: keeps the new line only if its bottom stays
// strictly above the bottom edge, otherwise scrolls by exactly one line.
ScrollStep line_feed_rule(int *cursor_y, const TextGeometry *g);

// The back buffer's bitmap is taller than the window, so that scrolling can move the view down
// the bitmap instead of copying it; rows of the bitmap for a window of this size, the window's
// own rows included. The spare area is limited in pixels (KAV_SPARE_PIXELS) for big windows.
#define KAV_SPARE_SCREENS 1           // spare area: this many window heights below the window
#define KAV_SPARE_PIXELS (1 << 22)    // at most 4M spare pixels (16 MB at 32 bits) per window
int back_buffer_rows(int width, int height);

// Whether a view whose window row 0 is bitmap row top can move down by step rows and still have
// the window's height inside a bitmap of rows rows.
int view_can_move(int top, int step, int height, int rows);

// Printing: the text is cut into runs, each drawn where it started; line feeds and wraps move
// to the start of the next line. cursor_x is brought forward only when the text ends mid-line.
struct TextCursor {
    int x, y;
};
typedef void (*draw_run_fn)(void *context, const wchar_t *units, int count, int x, int y);
typedef void (*scroll_fn)(void *context, const ScrollStep *step);
void lay_out_print(const wchar_t *text, int count, TextCursor *cursor, const TextGeometry *g,
                   draw_run_fn draw_run, scroll_fn scroll, void *context);

// The same as lay_out_print, except that runs which later line feeds of the same text scroll
// off the top are not drawn: a print of many lines draws only the lines that stay visible. The
// buffer ends up the same; the scrolls are all made, in the same order.
void lay_out_visible_print(const wchar_t *text, int count, TextCursor *cursor, const TextGeometry *g,
                           draw_run_fn draw_run, scroll_fn scroll, void *context);

// The echo cursor of one line input: its position and, per wrap, the x to return to.
struct EchoCursor {
    int x, y;
    int wraps;
    int saved_x[KAV_ECHO_WRAPS + 1];  // slot w holds the x of wrap w (slot 0 unused)
};

// One typed character: optionally the cursor cell is blanked and the character moved whole to
// a new line (before), then it is drawn at draw_x/draw_y, then the line may end (after).
struct EchoTyped {
    int moved;
    int blank_x, blank_y;
    ScrollStep before;
    int draw_x, draw_y;
    int wrapped;
    ScrollStep after;
};
void echo_type(EchoCursor *c, int cells, const TextGeometry *g, EchoTyped *out);

// One backspace over a character of `cells` cells: the cursor cell at blank_x/blank_y is blanked,
// the cursor steps back (across a wrap if needed), and a two-cell character is erased with a
// two-cell space at wide_x/wide_y.
struct EchoErased {
    int blank_x, blank_y;
    int wide;
    int wide_x, wide_y;
};
void echo_erase(EchoCursor *c, int cells, const TextGeometry *g, EchoErased *out);

#endif
