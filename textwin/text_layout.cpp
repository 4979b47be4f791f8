// text_layout.cpp - see text_layout.h.
#include "textwin/text_layout.h"

#include <limits.h>
#include <string.h>

int char_cells(unsigned unit)
{
    if (unit < 0x80) return 1;
    if (unit >= 0xFF61 && unit <= 0xFF9F) return 1;  // half-width katakana
    return 2;
}

ScrollStep line_feed_rule(int *cursor_y, const TextGeometry *g)
{
    ScrollStep step = {0, 0, 0};
    if (*cursor_y + g->char_height < g->height) return step;
    step.scrolled = 1;
    step.copy_height = *cursor_y - g->char_height;
    *cursor_y -= g->char_height;
    step.fill_y = *cursor_y;
    return step;
}

int back_buffer_rows(int width, int height)
{
    if (width <= 0 || height <= 0 || height > INT_MAX - KAV_SPARE_PIXELS) return height;
    int spare = KAV_SPARE_PIXELS / width;
    if (spare / KAV_SPARE_SCREENS >= height) spare = KAV_SPARE_SCREENS * height;
    return height + spare;
}

int view_can_move(int top, int step, int height, int rows)
{
    if (step <= 0 || top < 0) return 0;
    return (long long)top + step + height <= rows;
}

// Draws the pending run (if any) and moves the cursor to the start of the next line.
static void new_line(const wchar_t *run, int run_length, TextCursor *cursor, const TextGeometry *g,
                     draw_run_fn draw_run, scroll_fn scroll, void *context)
{
    if (run_length > 0) draw_run(context, run, run_length, cursor->x, cursor->y);
    cursor->y += g->char_height;
    cursor->x = 0;
    ScrollStep step = line_feed_rule(&cursor->y, g);
    if (step.scrolled) scroll(context, &step);
}

void lay_out_print(const wchar_t *text, int count, TextCursor *cursor, const TextGeometry *g,
                   draw_run_fn draw_run, scroll_fn scroll, void *context)
{
    int px = cursor->x;
    int run_start = 0;
    int run_length = 0;
    for (int i = 0; i < count; i++) {
        unsigned unit = (unsigned)text[i];
        if (unit == 0x0A) {
            new_line(text + run_start, run_length, cursor, g, draw_run, scroll, context);
            px = 0;
            run_start = i + 1;
            run_length = 0;
            continue;
        }
        int advance = char_cells(unit) * g->char_width;
        if (px + advance > g->width) {
            new_line(text + run_start, run_length, cursor, g, draw_run, scroll, context);
            px = 0;
            run_start = i;
            run_length = 0;
        }
        run_length++;
        px += advance;
    }
    if (run_length > 0) {
        draw_run(context, text + run_start, run_length, cursor->x, cursor->y);
        cursor->x = px;
    }
}

// The callbacks of lay_out_visible_print: they forward to the caller's and count the scrolls
// still to come, which tell whether a run will survive them.
struct VisibleRuns {
    draw_run_fn draw_run;
    scroll_fn scroll;
    void *context;
    int scrolls_left;
    int char_height;
};

static void count_scroll(void *context, const ScrollStep *) { (*(int *)context)++; }
static void skip_run(void *, const wchar_t *, int, int, int) {}

static void visible_run(void *context, const wchar_t *units, int count, int x, int y)
{
    VisibleRuns *v = (VisibleRuns *)context;
    // Each scroll drops the top char_height rows: after n of them nothing above row
    // n x char_height remains, so a run that ends there is never seen.
    if ((long long)y + v->char_height <= (long long)v->scrolls_left * v->char_height) return;
    v->draw_run(v->context, units, count, x, y);
}

static void counted_scroll(void *context, const ScrollStep *step)
{
    VisibleRuns *v = (VisibleRuns *)context;
    v->scrolls_left--;
    v->scroll(v->context, step);
}

void lay_out_visible_print(const wchar_t *text, int count, TextCursor *cursor, const TextGeometry *g,
                           draw_run_fn draw_run, scroll_fn scroll, void *context)
{
    TextCursor trial = *cursor;
    int scrolls = 0;
    lay_out_print(text, count, &trial, g, skip_run, count_scroll, &scrolls);
    VisibleRuns v = {draw_run, scroll, context, scrolls, g->char_height};
    lay_out_print(text, count, cursor, g, visible_run, counted_scroll, &v);
}

// Moves the echo cursor to the start of the next line, remembering where to come back to.
static void echo_wrap(EchoCursor *c, int saved_x, const TextGeometry *g, ScrollStep *step)
{
    if (c->wraps < KAV_ECHO_WRAPS) {
        c->wraps++;
        c->saved_x[c->wraps] = saved_x;
    }
    c->x = 0;
    c->y += g->char_height;
    *step = line_feed_rule(&c->y, g);
}

void echo_type(EchoCursor *c, int cells, const TextGeometry *g, EchoTyped *out)
{
    memset(out, 0, sizeof *out);
    int cw = g->char_width;
    if (c->x > 0 && c->x > g->width - cells * cw) {
        // The character does not fit whole (a wide one near the edge, or any one after printed
        // text that filled the line): it moves to the next line, and its would-be end (beyond
        // the width) tells a later backspace that it was moved.
        out->moved = 1;
        out->blank_x = c->x;
        out->blank_y = c->y;
        echo_wrap(c, c->x + cells * cw, g, &out->before);
    }
    out->draw_x = c->x;
    out->draw_y = c->y;
    if (c->x + cells * cw > g->width - cw) {
        // No room for the cursor cell after it: the line ends here.
        out->wrapped = 1;
        echo_wrap(c, c->x, g, &out->after);
    } else {
        c->x += cells * cw;
    }
}

// Keeps the echo cursor inside the buffer. Stepping back across a wrap whose line has scrolled
// off the top, or over characters typed before a resize cleared the buffer, would otherwise put
// it above, left or (a wrap of a wider buffer) right of the buffer, where the echo and every
// later print would be invisible. x stays at most max_x.
static void keep_echo_in_buffer(EchoCursor *c, int max_x)
{
    if (c->x > max_x) c->x = max_x;
    if (c->x < 0) c->x = 0;
    if (c->y < 0) c->y = 0;
}

void echo_erase(EchoCursor *c, int cells, const TextGeometry *g, EchoErased *out)
{
    memset(out, 0, sizeof *out);
    out->blank_x = c->x;
    out->blank_y = c->y;
    int cw = g->char_width;
    if (c->wraps > 0 && c->x == 0) {
        c->x = c->saved_x[c->wraps];
        c->wraps--;
        c->y -= g->char_height;
    } else {
        c->x -= cells * cw;
    }
    keep_echo_in_buffer(c, g->width - cw);
    if (cells == 2) {
        out->wide = 1;
        out->wide_x = c->x;
        out->wide_y = c->y;
    }
    if (c->wraps > 0 && c->x == 0 && c->saved_x[c->wraps] > g->width) {
        // The character had been moved whole to this line: back to where the cursor stood.
        c->x = c->saved_x[c->wraps] - cells * cw;
        c->y -= g->char_height;
        c->wraps--;
        keep_echo_in_buffer(c, g->width);  // printed text may have left it at the right edge
    }
}
