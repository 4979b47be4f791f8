// Text windows without a window: printing with wrapping and scrolling, the echo of line input
// typed and erased across wrapped lines, and the ring of typed keys. The input is a geometry
// and then a list of steps (print, type, backspace, Enter, resize, put or take a key), run the
// way the text window runs them. Every run drawn, every cell blanked and the cursor must lie in
// the buffer; a scroll must move rows of the buffer only; a backspace must bring the cursor back
// to where the erased character was typed, lines scrolled since taken into account; the key
// ring must behave as a queue of 256.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <deque>
#include <vector>

#include "textwin/key_ring.h"
#include "textwin/text_layout.h"

#define FAIL(...) (fprintf(stderr, __VA_ARGS__), fputc('\n', stderr), abort())

struct Input {
    const uint8_t *p, *end;
    int byte() { return p < end ? *p++ : 0; }
};

struct Run {
    TextGeometry g;
    TextCursor cursor;       // the window's text cursor
    long scrolled;           // pixels scrolled so far: a y plus this is a line's place in the text
    std::vector<wchar_t> drawn;  // every unit printed, in order
};

static void check_row(const TextGeometry &g, int y, const char *what)
{
    if (y < 0 || (y > 0 && y + g.char_height > g.height)) FAIL("%s at y %d outside the buffer", what, y);
}

static void check_cell(const TextGeometry &g, int x, int y, int cells, const char *what)
{
    check_row(g, y, what);
    if (x < 0 || (x > 0 && x + cells * g.char_width > g.width)) FAIL("%s at x %d outside the buffer", what, x);
}

static void check_scroll(Run *r, const ScrollStep &s)
{
    if (!s.scrolled) return;
    if (s.copy_height < 0 || (s.copy_height > 0 && r->g.char_height + s.copy_height > r->g.height) || s.fill_y < 0)
        FAIL("a scroll copies %d rows from %d into a buffer of %d", s.copy_height, r->g.char_height, r->g.height);
    r->scrolled += r->g.char_height;
}

static void on_draw(void *context, const wchar_t *units, int count, int x, int y)
{
    Run *r = (Run *)context;
    int cells = 0;
    for (int i = 0; i < count; i++) cells += char_cells((unsigned)units[i]);
    if (count <= 0) FAIL("an empty run");
    check_row(r->g, y, "a run");
    if (x < 0 || (x + cells * r->g.char_width > r->g.width && !(count == 1 && x == 0)))
        FAIL("a run of %d cells at x %d does not fit in %d", cells, x, r->g.width);
    r->drawn.insert(r->drawn.end(), units, units + count);
}

static void on_scroll(void *context, const ScrollStep *step) { check_scroll((Run *)context, *step); }

static wchar_t unit_of(int v)
{
    if (v < 150) return (wchar_t)('a' + v % 26);
    if (v < 170) return (wchar_t)(0xFF61 + v % 63);  // half-width: one cell
    return (wchar_t)(0x4E00 + v);                     // two cells
}

// At least two cells wide: a narrower buffer holds no character beside the cursor cell, and
// what is drawn there is cut whatever the cursor does.
static void read_geometry(Input *in, TextGeometry *g)
{
    g->char_width = 1 + in->byte() % 16;
    g->char_height = 1 + in->byte() % 32;
    g->width = 2 * g->char_width + in->byte() + (in->byte() & 1) * 256;
    g->height = in->byte() * 2;
}

// Where each typed unit was typed: its cursor, y counted in the text (y + scrolled).
struct Typed {
    wchar_t unit;
    int x;
    long y;
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, data + size};
    Run r;
    read_geometry(&in, &r.g);
    r.cursor = {0, 0};
    r.scrolled = 0;
    std::vector<wchar_t> printed;
    std::vector<Typed> typed;  // the line being typed
    // A resize clears the buffer under a line being typed, text printed into it moves the
    // cursor: the echo's wraps from before no longer describe what is shown, and until Enter
    // backspace only has to keep the cursor in the buffer.
    bool disturbed = false;
    EchoCursor echo;
    memset(&echo, 0, sizeof echo);
    KeyRing ring;
    key_ring_clear(&ring);
    std::deque<wchar_t> queue;  // what the ring should hold

    while (in.p < in.end) {
        int op = in.byte() % 7;
        if (op == 0) {  // print
            wchar_t text[64];
            int count = in.byte() % 64;
            for (int i = 0; i < count; i++) {
                int v = in.byte();
                text[i] = v < 20 ? L'\n' : unit_of(v);
                if (text[i] != L'\n') printed.push_back(text[i]);
            }
            lay_out_print(text, count, &r.cursor, &r.g, on_draw, on_scroll, &r);
            if (r.drawn != printed) FAIL("the runs drawn are not the text printed");
            if (count > 0 && !typed.empty()) disturbed = true;
        } else if (op == 1 && typed.size() < KAV_INPUT_UNITS) {  // type a unit
            wchar_t unit = unit_of(in.byte());
            int cells = char_cells((unsigned)unit);
            typed.push_back({unit, r.cursor.x, r.cursor.y + r.scrolled});
            echo.x = r.cursor.x;
            echo.y = r.cursor.y;
            EchoTyped t;
            echo_type(&echo, cells, &r.g, &t);
            if (t.moved) check_cell(r.g, t.blank_x, t.blank_y, 0, "the blanked cursor cell");
            check_scroll(&r, t.before);
            check_cell(r.g, t.draw_x, t.draw_y, cells, "a typed character");
            check_scroll(&r, t.after);
            r.cursor = {echo.x, echo.y};
        } else if (op == 2 && !typed.empty()) {  // backspace
            Typed last = typed.back();
            typed.pop_back();
            int cells = char_cells((unsigned)last.unit);
            echo.x = r.cursor.x;
            echo.y = r.cursor.y;
            EchoErased e;
            echo_erase(&echo, cells, &r.g, &e);
            check_cell(r.g, e.blank_x, e.blank_y, 0, "the blanked cursor cell");
            if (e.wide) check_cell(r.g, e.wide_x, e.wide_y, 0, "the erased wide character");
            r.cursor = {echo.x, echo.y};
            long on_screen_y = last.y - r.scrolled;
            if (!disturbed && on_screen_y >= 0 && (echo.x != last.x || echo.y != on_screen_y))
                FAIL("backspace put the cursor at (%d, %d), the character was typed at (%d, %ld)", echo.x,
                     echo.y, last.x, on_screen_y);
        } else if (op == 3) {  // Enter
            typed.clear();
            disturbed = false;
            memset(&echo, 0, sizeof echo);
            r.cursor.x = 0;
            r.cursor.y += r.g.char_height;
            check_scroll(&r, line_feed_rule(&r.cursor.y, &r.g));
        } else if (op == 4) {  // resize: a new, cleared buffer with the cursor at its top left
            read_geometry(&in, &r.g);
            r.cursor = {0, 0};
            disturbed = true;
        } else if (op == 5) {  // a key arrives
            wchar_t unit = unit_of(in.byte());
            int full = key_ring_put(&ring, unit);
            if (full != (queue.size() == KAV_KEY_RING_UNITS)) FAIL("the ring answered %d at %zu units", full, queue.size());
            if (!full) queue.push_back(unit);
        } else if (op == 6) {  // line input takes a key
            wchar_t unit;
            int empty = key_ring_take(&ring, &unit);
            if (empty != queue.empty()) FAIL("the ring answered %d at %zu units", empty, queue.size());
            if (!empty && unit != queue.front()) FAIL("the ring gave a unit out of order");
            if (!empty) queue.pop_front();
        }
        check_cell(r.g, r.cursor.x, r.cursor.y, 0, "the cursor");
    }
    return 0;
}
