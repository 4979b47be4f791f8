// raster.cpp - see raster.h. Coordinates are widened to 64 bits inside, so that no stepping
// overflows for any int32 input; spans are clipped to the buffer before they are walked.
#include "imaging/raster.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

//------------------------------------------------------------------------------------------------
// Single points and clipped spans
//------------------------------------------------------------------------------------------------
static bool inside64(const PixelBuffer &b, int64_t x, int64_t y)
{
    return x >= 0 && y >= 0 && x < b.width && y < b.height;
}

static void touch(const PixelBuffer &b, RasterMode mode, uint32_t colour, int64_t x, int64_t y)
{
    if (!inside64(b, x, y)) return;
    if (mode == RASTER_STORE)
        buffer_put(b, (int32_t)x, (int32_t)y, colour);
    else
        buffer_invert(b, (int32_t)x, (int32_t)y);
}

// A point drawn the way plot and xor_plot draw it: the pen moves there first.
static void touch_moving_pen(const PixelBuffer &b, RasterMode mode, uint32_t colour, int64_t x, int64_t y)
{
    pen_position.x = (int32_t)x;
    pen_position.y = (int32_t)y;
    touch(b, mode, colour, x, y);
}

// Row y from xa to xb inclusive (xa <= xb), clipped.
static void span_row(const PixelBuffer &b, RasterMode mode, uint32_t colour, int64_t y, int64_t xa, int64_t xb)
{
    if (y < 0 || y >= b.height) return;
    if (xa < 0) xa = 0;
    if (xb > (int64_t)b.width - 1) xb = (int64_t)b.width - 1;
    if (xa > xb) return;
    int64_t at = y * buffer_stride(b);
    if (b.bits_per_pixel == 32) {
        uint32_t *p = b.words + at;
        if (mode == RASTER_STORE)
            for (int64_t x = xa; x <= xb; x++) p[x] = colour;
        else
            for (int64_t x = xa; x <= xb; x++) p[x] ^= 0xFFFFFFu;
    } else {
        uint8_t *p = b.bytes + at;
        if (mode == RASTER_STORE)
            for (int64_t x = xa; x <= xb; x++) p[x] = (uint8_t)colour;
        else
            for (int64_t x = xa; x <= xb; x++) p[x] = (uint8_t)~p[x];
    }
}

// Column x from ya to yb inclusive (ya <= yb), clipped.
static void span_column(const PixelBuffer &b, RasterMode mode, uint32_t colour, int64_t x, int64_t ya, int64_t yb)
{
    if (x < 0 || x >= b.width) return;
    if (ya < 0) ya = 0;
    if (yb > (int64_t)b.height - 1) yb = (int64_t)b.height - 1;
    for (int64_t y = ya; y <= yb; y++) touch(b, mode, colour, x, y);
}

//------------------------------------------------------------------------------------------------
// Built-in font
//------------------------------------------------------------------------------------------------
void raster_char(const PixelBuffer &b, uint32_t colour, uint8_t c)
{
    if (c == '\n') {
        text_cursor.x = text_left_margin;
        text_cursor.y += KAV_TEXT_LINE_STEP;
        return;
    }
    if (c < 32 || c > 127) return;
    const uint8_t *glyph = builtin_glyphs[c - 32];
    int64_t x = text_cursor.x, top = (int64_t)text_cursor.y - KAV_GLYPH_ROWS;
    for (int i = 0; i < KAV_GLYPH_ROWS; i++)
        for (int j = 0; j < KAV_GLYPH_WIDTH; j++)
            if (glyph[i] & (0x80 >> j)) touch_moving_pen(b, RASTER_STORE, colour, x + j, top + i);
    text_cursor.x = (int32_t)(x + KAV_GLYPH_WIDTH);
    if (text_cursor.x > b.width - KAV_GLYPH_WIDTH) {  // the next cell would not fit
        text_cursor.x = text_left_margin;
        text_cursor.y += KAV_TEXT_LINE_STEP;
    }
}

void raster_string(const PixelBuffer &b, uint32_t colour, const char *s)
{
    if (!s) return;
    for (; *s; s++) raster_char(b, colour, (uint8_t)*s);
}

void raster_vprintf(const PixelBuffer &b, uint32_t colour, const char *format, va_list args)
{
    if (!format) return;
    char text[KAV_DRAW_TEXT_BYTES];  // at most KAV_DRAW_TEXT_BYTES - 1 characters are drawn
    if (vsnprintf(text, sizeof text, format, args) < 0) return;
    raster_string(b, colour, text);
}

//------------------------------------------------------------------------------------------------
// Lines and boxes
//------------------------------------------------------------------------------------------------
void raster_line(const PixelBuffer &b, RasterMode mode, uint32_t colour, int32_t x1, int32_t y1,
                 int32_t x2, int32_t y2)
{
    pen_position.x = x2;
    pen_position.y = y2;
    if (x1 == x2) {
        span_column(b, mode, colour, x1, y1 < y2 ? y1 : y2, y1 < y2 ? y2 : y1);
        return;
    }
    if (y1 == y2) {
        span_row(b, mode, colour, y1, x1 < x2 ? x1 : x2, x1 < x2 ? x2 : x1);
        return;
    }
    if (x1 > x2) {  // always step with x increasing
        int32_t t = x1; x1 = x2; x2 = t;
        t = y1; y1 = y2; y2 = t;
    }
    int64_t sy = y2 > y1 ? 1 : -1;
    int64_t dx = (int64_t)x2 - x1, dy = sy * ((int64_t)y2 - y1);
    int64_t x = x1, y = y1;
    touch(b, mode, colour, x, y);
    // x only grows and y moves one way: once either has left the buffer for good, stop.
    bool x_major = dx >= dy;
    int64_t e = x_major ? (dx + 1) / 2 : (dy + 1) / 2;
    while (x_major ? x != x2 : y != y2) {
        if (x_major) {
            x++;
            e -= dy;
            if (e <= 0) { e += dx; y += sy; }
        } else {
            y += sy;
            e -= dx;
            if (e <= 0) { e += dy; x++; }
        }
        touch(b, mode, colour, x, y);
        if (x >= b.width || (sy > 0 && y >= b.height) || (sy < 0 && y < 0)) break;
    }
}

void raster_box(const PixelBuffer &b, uint32_t colour, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    raster_line(b, RASTER_STORE, colour, x1, y1, x2, y1);
    raster_line(b, RASTER_STORE, colour, x2, y1, x2, y2);
    raster_line(b, RASTER_STORE, colour, x2, y2, x1, y2);
    raster_line(b, RASTER_STORE, colour, x1, y2, x1, y1);
}

// Corners in any order become xa <= xb, ya <= yb.
static void order_corners(int32_t *x1, int32_t *y1, int32_t *x2, int32_t *y2)
{
    if (*x1 > *x2) { int32_t t = *x1; *x1 = *x2; *x2 = t; }
    if (*y1 > *y2) { int32_t t = *y1; *y1 = *y2; *y2 = t; }
}

void raster_fill_box(const PixelBuffer &b, uint32_t colour, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    order_corners(&x1, &y1, &x2, &y2);
    raster_box(b, colour, x1, y1, x2, y2);
    if ((int64_t)x2 - x1 < 2 || (int64_t)y2 - y1 < 2) return;
    int64_t top = y1 + 1 > 0 ? y1 + 1 : 0;
    int64_t bottom = (int64_t)y2 - 1 < b.height ? (int64_t)y2 - 1 : b.height;
    for (int64_t y = top; y <= bottom; y++) span_row(b, RASTER_STORE, colour, y, x1 + 1, (int64_t)x2 - 1);
    pen_position.x = x2 - 1;  // where the last interior row's line ends
    pen_position.y = y2 - 1;
}

void raster_xor_box(const PixelBuffer &b, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    order_corners(&x1, &y1, &x2, &y2);
    span_row(b, RASTER_INVERT, 0, y1, x1, x2);
    if (y2 != y1) span_row(b, RASTER_INVERT, 0, y2, x1, x2);
    if ((int64_t)y2 - y1 < 2) return;
    span_column(b, RASTER_INVERT, 0, x1, (int64_t)y1 + 1, (int64_t)y2 - 1);
    if (x2 != x1) span_column(b, RASTER_INVERT, 0, x2, (int64_t)y1 + 1, (int64_t)y2 - 1);
}

void raster_xor_fill_box(const PixelBuffer &b, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    order_corners(&x1, &y1, &x2, &y2);
    int64_t top = y1 > 0 ? y1 : 0, bottom = y2 < b.height ? y2 : b.height;
    for (int64_t y = top; y <= bottom; y++) span_row(b, RASTER_INVERT, 0, y, x1, x2);
}

//------------------------------------------------------------------------------------------------
// Circles: integer stepping over one eighth, mirrored
//------------------------------------------------------------------------------------------------
void raster_circle(const PixelBuffer &b, RasterMode mode, uint32_t colour, int32_t cx, int32_t cy, int32_t r)
{
    int64_t limit = 5 * (int64_t)r / 7, i = 0, d = r, e = r;  // d: the other coordinate
    do {
        touch_moving_pen(b, mode, colour, cx - i, cy + d);
        touch_moving_pen(b, mode, colour, cx + i, cy - d);
        if (i != 0 && i != d) {
            touch_moving_pen(b, mode, colour, cx + i, cy + d);
            touch_moving_pen(b, mode, colour, cx - i, cy - d);
            touch_moving_pen(b, mode, colour, cx + d, cy - i);
            touch_moving_pen(b, mode, colour, cx - d, cy + i);
        }
        touch_moving_pen(b, mode, colour, cx + d, cy + i);
        touch_moving_pen(b, mode, colour, cx - d, cy - i);
        e -= 2 * i + 1;
        if (e <= 0) {
            e += 2 * d - 2;
            d--;
        }
        i++;
    } while (i <= limit && i <= d);
}

// One span of the disc, drawn as the line from its left to its right end.
static void disc_span(const PixelBuffer &b, RasterMode mode, uint32_t colour, int64_t y, int64_t xa, int64_t xb)
{
    span_row(b, mode, colour, y, xa, xb);
    pen_position.x = (int32_t)xb;
    pen_position.y = (int32_t)y;
}

void raster_disc(const PixelBuffer &b, RasterMode mode, uint32_t colour, int32_t cx, int32_t cy, int32_t r)
{
    int64_t limit = 5 * (int64_t)r / 7, i = 0, d = r, e = r, last_i = 0;
    bool open = true;  // the rows cy +- d of the last step still want their span
    do {
        open = true;
        if (d != i) {
            disc_span(b, mode, colour, cy + i, cx - d, cx + d);
            if (i != 0) disc_span(b, mode, colour, cy - i, cx - d, cx + d);
        }
        e -= 2 * i + 1;
        if (e <= 0) {
            disc_span(b, mode, colour, cy + d, cx - i, cx + i);
            disc_span(b, mode, colour, cy - d, cx - i, cx + i);
            e += 2 * d - 2;
            d--;
            open = false;
        }
        last_i = i;
        i++;
    } while (i <= limit && i <= d);
    if (open) {
        disc_span(b, mode, colour, cy + d, cx - last_i, cx + last_i);
        disc_span(b, mode, colour, cy - d, cx - last_i, cx + last_i);
    }
}

//------------------------------------------------------------------------------------------------
// Seed fill
//------------------------------------------------------------------------------------------------
// The scans of the fill look at 16 bytes at a time, as two 64-bit words compared lane by lane
// with a few integer operations; the last few pixels of a row are looked at one by one.
#define KAV_SCAN_BYTES 16

// value repeated over the lanes of a 64-bit word.
template <typename Pixel>
static uint64_t repeated(Pixel value)
{
    uint64_t word = 0;
    for (size_t i = 0; i < 8 / sizeof(Pixel); i++) word = word << (8 * sizeof(Pixel)) | value;
    return word;
}

// A 64-bit word has a zero lane of Pixel's size (the borrow test, exact for "any").
template <typename Pixel>
static bool has_zero_lane(uint64_t w)
{
    const uint64_t ones = repeated<Pixel>(1), tops = ones << (8 * sizeof(Pixel) - 1);
    return ((w - ones) & ~w & tops) != 0;
}

// The first x in [from, to) whose pixel equals value (want_equal) or differs from it (not
// want_equal); to when there is none.
template <typename Pixel, bool want_equal>
static int32_t first_where(const Pixel *row, int32_t from, int32_t to, Pixel value)
{
    const int32_t per_chunk = (int32_t)(KAV_SCAN_BYTES / sizeof(Pixel));
    const uint64_t value_word = repeated(value);
    int32_t x = from;
    for (; x + per_chunk <= to; x += per_chunk) {
        uint64_t halves[2];
        memcpy(halves, row + x, sizeof halves);
        uint64_t first = halves[0] ^ value_word, second = halves[1] ^ value_word;  // 0 lanes: equal
        bool found = want_equal ? has_zero_lane<Pixel>(first) || has_zero_lane<Pixel>(second)
                                : (first | second) != 0;
        if (found) break;
    }
    while (x < to && (row[x] == value) != want_equal) x++;
    return x;
}

template <typename Pixel>
static int32_t first_equal(const Pixel *row, int32_t from, int32_t to, Pixel value)
{
    return first_where<Pixel, true>(row, from, to, value);
}

template <typename Pixel>
static int32_t first_differing(const Pixel *row, int32_t from, int32_t to, Pixel value)
{
    return first_where<Pixel, false>(row, from, to, value);
}

// One neighbouring row of a run during the fill: where its next seed lies. A seed goes to the
// first pixel of each stretch of old pixels beside the run.
template <typename Pixel>
struct SeedRow {
    const Pixel *row;  // NULL beyond the image
    int32_t y;
    int32_t next;      // x of the next seed, or the run's end when there is none
};

template <typename Pixel>
static void first_seed(SeedRow<Pixel> *r, int32_t xl, int32_t xr, Pixel old)
{
    r->next = r->row ? first_equal(r->row, xl, xr, old) : xr;
}

template <typename Pixel>
static void seed_after(SeedRow<Pixel> *r, int32_t xr, Pixel old)
{
    r->next = first_equal(r->row, first_differing(r->row, r->next + 1, xr, old), xr, old);
}

// The fill over one pixel type. The seed stack is the caller's pair of fixed arrays. For each
// run the seeds of the row above and the row below are stacked in the order of x, the one above
// first at equal x, until the stack is full; the rest of that run's seeds are dropped.
template <typename Pixel>
static void paint_pixels(Pixel *base, int64_t stride, int32_t width, int32_t height, int32_t x, int32_t y,
                         Pixel old, Pixel fill, int32_t seed_x[KAV_PAINT_SEEDS], int32_t seed_y[KAV_PAINT_SEEDS])
{
    int count = 0;
    for (;;) {
        Pixel *row = base + (int64_t)y * stride;
        int32_t xl = x;
        while (xl > 0 && row[xl - 1] == old) xl--;
        int32_t xr = first_differing<Pixel>(row, x + 1, width, old);  // the run is xl .. xr - 1
        SeedRow<Pixel> above = {y > 0 ? row - stride : NULL, y - 1, 0};
        SeedRow<Pixel> below = {y + 1 < height ? row + stride : NULL, y + 1, 0};
        first_seed(&above, xl, xr, old);
        first_seed(&below, xl, xr, old);
        while (count < KAV_PAINT_SEEDS && (above.next < xr || below.next < xr)) {
            SeedRow<Pixel> *r = above.next <= below.next ? &above : &below;
            seed_x[count] = r->next;
            seed_y[count++] = r->y;
            seed_after(r, xr, old);
        }
        for (int32_t i = xl; i < xr; i++) row[i] = fill;
        pen_position.x = xr - 1;  // the run is drawn as a line from xl to xr - 1
        pen_position.y = y;
        for (;;) {  // the most recent seed that still holds the old value
            if (count == 0) return;
            count--;
            x = seed_x[count];
            y = seed_y[count];
            if (base[(int64_t)y * stride + x] == old) break;
        }
    }
}

void raster_paint(const PixelBuffer &b, uint32_t colour, int32_t x, int32_t y)
{
    if (!pixel_inside(b, x, y)) return;
    int32_t seed_x[KAV_PAINT_SEEDS], seed_y[KAV_PAINT_SEEDS];  // the seed stack, KAV_PAINT_SEEDS each
    int64_t stride = buffer_stride(b);
    uint32_t old = (uint32_t)buffer_get(b, x, y, -1);
    if (b.bits_per_pixel == 32) {
        if (old == colour) return;
        paint_pixels<uint32_t>(b.words, stride, b.width, b.height, x, y, old, colour, seed_x, seed_y);
    } else {
        if (old == (colour & 0xFFu)) return;
        paint_pixels<uint8_t>(b.bytes, stride, b.width, b.height, x, y, (uint8_t)old, (uint8_t)colour,
                              seed_x, seed_y);
    }
}
