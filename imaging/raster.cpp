// raster.cpp - see raster.h. Coordinates are widened to 64 bits inside, so that no stepping
// overflows for any int32 input; spans are clipped to the buffer before they are walked.
#include "imaging/raster.h"

#include <stddef.h>
#include <stdio.h>
#include <math.h>
#include <stdint.h>
#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>  // the fill compares 16 bytes at a time
#endif

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
// The text cursor goes to the start of the next line; at the bottom of the 32-bit range it stays
// there (below any image) rather than overflowing.
static void next_text_line(void)
{
    text_cursor.x = text_left_margin;
    text_cursor.y = text_cursor.y > INT32_MAX - KAV_TEXT_LINE_STEP ? INT32_MAX : text_cursor.y + KAV_TEXT_LINE_STEP;
}

void raster_char(const PixelBuffer &b, uint32_t colour, uint8_t c)
{
    if (c == '\n') {
        next_text_line();
        return;
    }
    if (c < 32 || c > 127) return;
    const uint8_t *glyph = builtin_glyphs[c - 32];
    int64_t x = text_cursor.x, top = (int64_t)text_cursor.y - KAV_GLYPH_ROWS;
    for (int i = 0; i < KAV_GLYPH_ROWS; i++)
        for (int j = 0; j < KAV_GLYPH_WIDTH; j++)
            if (glyph[i] & (0x80 >> j)) touch_moving_pen(b, RASTER_STORE, colour, x + j, top + i);
    text_cursor.x = (int32_t)(x + KAV_GLYPH_WIDTH);
    if (text_cursor.x > b.width - KAV_GLYPH_WIDTH) next_text_line();  // the next cell would not fit
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
// The stepping of a line in closed form: with major and minor the larger and the smaller of dx
// and dy, after k steps along the major axis the minor coordinate has moved
// m = (k * minor - e0 + major) / major times, where e0 = (major + 1) / 2 is the first error
// term, and the error term is e0 - k * minor + m * major. 128 bits hold every product.
static void step_line(bool x_major, int64_t k, int64_t sy, int64_t dx, int64_t dy, int64_t *x,
                      int64_t *y, int64_t *e)
{
    __int128 major = x_major ? dx : dy, minor = x_major ? dy : dx, e0 = (major + 1) / 2;
    __int128 m = ((__int128)k * minor - e0 + major) / major;
    *e = (int64_t)(e0 - (__int128)k * minor + m * major);
    *x += x_major ? k : (int64_t)m;
    *y += sy * (x_major ? (int64_t)m : k);
}

// The first step of the line from (x1, y1) (dx, dy >= 1, x growing, y moving by sy) at which
// neither coordinate still lies before the buffer; beyond the last step if none.
static int64_t first_step_in_reach(const PixelBuffer &b, int64_t x1, int64_t y1, int64_t sy, int64_t dx, int64_t dy)
{
    bool x_major = dx >= dy;
    __int128 major = x_major ? dx : dy, minor = x_major ? dy : dx, e0 = (major + 1) / 2;
    int64_t y_before = sy > 0 ? -y1 : y1 - ((int64_t)b.height - 1);  // y steps still wanted
    int64_t major_before = x_major ? -x1 : y_before, minor_before = x_major ? y_before : -x1;
    __int128 k = major_before > 0 ? major_before : 0;
    if (minor_before > minor) return (int64_t)major + 1;  // the line ends before reaching it
    if (minor_before > 0) {
        // The smallest k with (k * minor - e0 + major) / major >= minor_before.
        __int128 need = (__int128)minor_before * major + e0 - major;
        __int128 k_minor = (need + minor - 1) / minor;
        if (k_minor > k) k = k_minor;
    }
    return k > major ? (int64_t)major + 1 : (int64_t)k;
}

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
    bool x_major = dx >= dy;
    int64_t e = x_major ? (dx + 1) / 2 : (dy + 1) / 2;
    // The steps before the line can reach the buffer are passed over in one go.
    int64_t skip = first_step_in_reach(b, x1, y1, sy, dx, dy);
    if (skip > (x_major ? dx : dy)) return;
    if (skip > 0) step_line(x_major, skip, sy, dx, dy, &x, &y, &e);
    touch(b, mode, colour, x, y);
    // x only grows and y moves one way: once either has left the buffer for good, stop.
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
//
// The stepping keeps e = r^2 - i^2 - d^2 + d and lowers d by one when e drops to 0 or below. While
// i <= d - 2 that one step suffices, so d is then the largest d with d^2 - d < r^2 - i^2: steps
// that cannot touch the buffer are passed over in closed form, which keeps a huge circle around
// a small image as quick as a small one. The last steps are always walked.
#define KAV_CIRCLE_SKIP_RADIUS 64  // smaller circles are walked whole

// The largest d >= 0 with d^2 - d < n (n >= 1).
static int64_t circle_other(int64_t n)
{
    int64_t d = (int64_t)sqrtl((long double)n);
    while (d > 0 && (__int128)d * (d - 1) >= n) d--;
    while ((__int128)(d + 1) * d < n) d++;
    return d;
}

// The largest step i in [from, to] with i <= d(i) - 2, or from - 1 when there is none.
static int64_t last_closed_form_step(int64_t r, int64_t from, int64_t to)
{
    int64_t lo = from - 1, hi = to;
    while (lo < hi) {
        int64_t mid = lo + (hi - lo + 1) / 2;
        if (mid + 2 <= circle_other(r * r - mid * mid)) lo = mid;
        else hi = mid - 1;
    }
    return lo;
}

// The first step at or after i whose offset i lands a coordinate in [0, size) from centre c,
// on either side; INT64_MAX when none does.
static int64_t next_offset_in_reach(int64_t i, int64_t c, int64_t size)
{
    int64_t next = INT64_MAX;
    const int64_t from[2] = {-c, c - (size - 1)}, to[2] = {size - 1 - c, c};  // c + i, c - i
    for (int k = 0; k < 2; k++) {
        if (to[k] < i) continue;
        int64_t at = from[k] > i ? from[k] : i;
        if (at < next) next = at;
    }
    return next;
}

// Moves the stepping of radius r from step i to the later step target (both within the
// closed-form steps).
static void circle_jump(int64_t r, int64_t target, int64_t *i, int64_t *d, int64_t *e)
{
    *i = target;
    *d = circle_other(r * r - target * target);
    *e = r * r - target * target - *d * *d + *d;
}

// The first step at or after i (other coordinate d there) at which d lands a row in [0, height)
// from centre cy, on either side; INT64_MAX when none does up to limit.
static int64_t next_other_in_reach(int64_t r, int64_t i, int64_t d, int64_t limit, int64_t cy, int64_t height)
{
    int64_t next = INT64_MAX;
    const int64_t from[2] = {-cy, cy - (height - 1)}, to[2] = {height - 1 - cy, cy};  // cy + d, cy - d
    for (int k = 0; k < 2; k++) {
        if (d < from[k]) continue;  // d only falls: passed for good
        if (d <= to[k]) return i;
        int64_t lo = i, hi = limit + 1;  // the first step whose d is at most to[k]
        while (lo < hi) {
            int64_t mid = lo + (hi - lo) / 2;
            if (circle_other(r * r - mid * mid) <= to[k]) hi = mid;
            else lo = mid + 1;
        }
        if (lo <= limit && lo < next) next = lo;
    }
    return next;
}

// Passes over the steps from i up to, not beyond, the next step that may draw into the buffer
// (next, found by the caller), as far as the closed form holds. Clears *skipping once it no
// longer does.
static void skip_far_steps(int64_t r, int64_t next, int64_t limit, int64_t *i, int64_t *d, int64_t *e, bool *skipping)
{
    if (*i + 2 > *d) {  // the closed form has ended
        *skipping = false;
        return;
    }
    if (next <= *i) return;
    int64_t last = last_closed_form_step(r, *i, next < limit ? next : limit);
    if (last < next && last < limit) *skipping = false;  // from here on every step is walked
    if (last > *i) circle_jump(r, last, i, d, e);
}

void raster_circle(const PixelBuffer &b, RasterMode mode, uint32_t colour, int32_t cx, int32_t cy, int32_t r)
{
    int64_t limit = 5 * (int64_t)r / 7, i = 0, d = r, e = r;  // d: the other coordinate
    bool skipping = r >= KAV_CIRCLE_SKIP_RADIUS;
    do {
        if (skipping) {
            // Every one of the eight points has i as its offset along x or along y.
            int64_t nx = next_offset_in_reach(i, cx, b.width), ny = next_offset_in_reach(i, cy, b.height);
            skip_far_steps(r, nx < ny ? nx : ny, limit, &i, &d, &e, &skipping);
        }
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
    bool skipping = r >= KAV_CIRCLE_SKIP_RADIUS;
    do {
        if (skipping) {
            // Spans lie on the rows cy +- i and, when d falls, cy +- d.
            int64_t ni = next_offset_in_reach(i, cy, b.height), nd = next_other_in_reach(r, i, d, limit, cy, b.height);
            skip_far_steps(r, ni < nd ? ni : nd, limit, &i, &d, &e, &skipping);
        }
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
// The scans of the fill look at blocks of 64 bytes: compared lane by lane with the old value,
// a whole block is passed over with one test, and the block where the scan stops is located
// through its mask (bit i set where pixel i equals the value). Filled pixels never hold the old
// value again, so the part of a side row that the previous run filled is not scanned. While a
// side row is scanned beside a run, the run's own row is filled over the same blocks: the loads
// of the one and the stores of the other then go side by side, and a run costs about as much
// as storing it.
#define KAV_FILL_BLOCK_BYTES 64

// The run xl .. xr - 1 being filled while its side rows are scanned: row[xl .. done - 1] already
// holds the fill, and a scan beside it stores the fill over each block it reads that reaches
// beyond done. Every scan beside the run stays within the run's columns, so every block it
// reads lies within the run; what no scan reached is stored at the end.
template <typename Pixel>
struct RunFill {
    Pixel *row;
    Pixel fill;
    int32_t done;
};

template <typename Pixel>
struct FillBlock {
    static const int32_t pixels = KAV_FILL_BLOCK_BYTES / (int32_t)sizeof(Pixel);  // 64 or 16
};

#if defined(__SSE2__)
static __m128i lanes_equal(const uint8_t *p, uint8_t value)
{
    return _mm_cmpeq_epi8(_mm_loadu_si128((const __m128i *)p), _mm_set1_epi8((char)value));
}

static __m128i lanes_equal(const uint32_t *p, uint32_t value)
{
    return _mm_cmpeq_epi32(_mm_loadu_si128((const __m128i *)p), _mm_set1_epi32((int)value));
}

static uint32_t pixel_bits(__m128i equal, uint8_t) { return (uint32_t)_mm_movemask_epi8(equal); }
static uint32_t pixel_bits(__m128i equal, uint32_t) { return (uint32_t)_mm_movemask_ps(_mm_castsi128_ps(equal)); }

// Whether the block at p holds value somewhere (want_equal) or differs from it somewhere (not
// want_equal).
template <typename Pixel, bool want_equal>
static bool block_has(const Pixel *p, Pixel value)
{
    const int lanes = 16 / (int)sizeof(Pixel);
    __m128i e0 = lanes_equal(p, value), e1 = lanes_equal(p + lanes, value);
    __m128i e2 = lanes_equal(p + 2 * lanes, value), e3 = lanes_equal(p + 3 * lanes, value);
    if (want_equal) return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(e0, e1), _mm_or_si128(e2, e3))) != 0;
    return _mm_movemask_epi8(_mm_and_si128(_mm_and_si128(e0, e1), _mm_and_si128(e2, e3))) != 0xFFFF;
}

// Whether the two blocks at p hold value somewhere (want_equal) or differ from it somewhere (not
// want_equal): long stretches are passed over 128 bytes a test.
template <typename Pixel, bool want_equal>
static bool pair_has(const Pixel *p, Pixel value)
{
    const int lanes = 16 / (int)sizeof(Pixel);
    __m128i e0 = lanes_equal(p, value), e1 = lanes_equal(p + lanes, value);
    __m128i e2 = lanes_equal(p + 2 * lanes, value), e3 = lanes_equal(p + 3 * lanes, value);
    __m128i e4 = lanes_equal(p + 4 * lanes, value), e5 = lanes_equal(p + 5 * lanes, value);
    __m128i e6 = lanes_equal(p + 6 * lanes, value), e7 = lanes_equal(p + 7 * lanes, value);
    if (want_equal)
        return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(_mm_or_si128(e0, e1), _mm_or_si128(e2, e3)),
                                              _mm_or_si128(_mm_or_si128(e4, e5), _mm_or_si128(e6, e7)))) != 0;
    return _mm_movemask_epi8(_mm_and_si128(_mm_and_si128(_mm_and_si128(e0, e1), _mm_and_si128(e2, e3)),
                                           _mm_and_si128(_mm_and_si128(e4, e5), _mm_and_si128(e6, e7)))) != 0xFFFF;
}

// The equality mask of the block at p.
template <typename Pixel>
static uint64_t block_mask(const Pixel *p, Pixel value)
{
    const int lanes = 16 / (int)sizeof(Pixel);
    uint64_t mask = 0;
    for (int i = 0; i < 4; i++) mask |= (uint64_t)pixel_bits(lanes_equal(p + i * lanes, value), value) << (i * lanes);
    return mask;
}

static __m128i lanes_of(uint8_t value) { return _mm_set1_epi8((char)value); }
static __m128i lanes_of(uint32_t value) { return _mm_set1_epi32((int)value); }

// Stores the fill over the block at p.
template <typename Pixel>
static void store_block(Pixel *p, __m128i fill)
{
    const int lanes = 16 / (int)sizeof(Pixel);
    for (int i = 0; i < 4; i++) _mm_storeu_si128((__m128i *)(p + i * lanes), fill);
}
#endif

// The first x in [from, to) whose pixel equals value (want_equal) or differs from it (not
// want_equal); to when there is none. With a run beside it, the run is filled over each block
// the scan reads when its filled part reaches that block (from .. to - 1 must lie within the
// run's columns).
// Always inlined: the fill calls it several times a row, and for rows of a few hundred
// pixels the calls cost as much as the scanning.
template <typename Pixel, bool want_equal>
static inline __attribute__((always_inline)) int32_t first_where(const Pixel *row, int32_t from, int32_t to,
                                                                 Pixel value, RunFill<Pixel> *run)
{
    int32_t x = from;
    if (x < to && (row[x] == value) == want_equal) return x;  // often the scan stops at once
#if defined(__SSE2__)
    const int32_t block = FillBlock<Pixel>::pixels;
    const uint64_t whole = block == 64 ? ~(uint64_t)0 : ((uint64_t)1 << block) - 1;
    // The run is held in locals while the scan goes on, where the stores cannot alias it.
    Pixel *out = run ? run->row : NULL;
    int32_t done = run ? run->done : -1;  // -1: no run, nothing is stored
    const __m128i fill = lanes_of(run ? run->fill : value);
    int32_t found = -1;
    for (; x + 2 * block <= to; x += 2 * block) {
        if (pair_has<Pixel, want_equal>(row + x, value)) break;  // located block by block below
        if (x <= done && x + 2 * block > done) {
            store_block(out + x, fill);
            store_block(out + x + block, fill);
            done = x + 2 * block;
        }
    }
    for (; x + block <= to; x += block) {
        bool stops = block_has<Pixel, want_equal>(row + x, value);
        if (x <= done && x + block > done) {
            store_block(out + x, fill);
            done = x + block;
        }
        if (!stops) continue;
        uint64_t mask = block_mask(row + x, value);
        found = x + __builtin_ctzll(want_equal ? mask : ~mask);
        break;
    }
    if (found < 0 && x < to && to - from >= block) {  // the last block, overlapping what was looked at
        int32_t start = to - block;
        if (start <= done && to > done) {
            store_block(out + start, fill);
            done = to;
        }
        // What the block holds before x was passed over: it stops the scan only beyond x.
        if (!block_has<Pixel, want_equal>(row + start, value)) {
            found = to;
        } else {
            uint64_t mask = block_mask(row + start, value);
            uint64_t hits = (want_equal ? mask : ~mask & whole) & (whole << (x - start) & whole);
            found = start + __builtin_ctzll(hits);
        }
    }
    if (run) run->done = done;
    if (found >= 0) return found;
#endif
    while (x < to && (row[x] == value) != want_equal) x++;
    return x;
}

template <typename Pixel>
static int32_t first_equal(const Pixel *row, int32_t from, int32_t to, Pixel value, RunFill<Pixel> *run = NULL)
{
    return first_where<Pixel, true>(row, from, to, value, run);
}

template <typename Pixel>
static int32_t first_differing(const Pixel *row, int32_t from, int32_t to, Pixel value, RunFill<Pixel> *run = NULL)
{
    return first_where<Pixel, false>(row, from, to, value, run);
}

// One neighbouring row of a run during the fill: where its next seed lies. A seed goes to the
// first pixel of each stretch of old pixels beside the run.
template <typename Pixel>
struct SeedRow {
    const Pixel *row;  // NULL beyond the image
    int32_t y;
    int32_t next;      // x of the next seed, or the run's end when there is none
};

// One entry of the seed stack. The side scan that stacked the seed has already walked its
// stretch of old pixels up to end (the first pixel that is not old, or the end of the run it
// lay beside), so the seed's own run need not read those pixels again.
struct PaintSeed {
    int32_t x;
    int32_t y;
    int32_t end;
};

// The first seed of a side row beside the run xl .. xr - 1; filled_from .. filled_to - 1 is
// the previous run when it lay on this row (else an empty span).
template <typename Pixel>
static void first_seed(SeedRow<Pixel> *r, int32_t xl, int32_t xr, Pixel old, int32_t filled_from, int32_t filled_to,
                       RunFill<Pixel> *run)
{
    bool filled = xl >= filled_from && xr <= filled_to;
    r->next = r->row && !filled ? first_equal(r->row, xl, xr, old, run) : xr;
}

// Stacks the side row's next seed with the end of its stretch and finds the one after it.
template <typename Pixel>
static void push_seed(SeedRow<Pixel> *r, int32_t xr, Pixel old, PaintSeed *seed, RunFill<Pixel> *run)
{
    int32_t end = first_differing(r->row, r->next, xr, old, run);  // from the seed: its blocks line up with the run's
    seed->x = r->next;
    seed->y = r->y;
    seed->end = end;
    r->next = first_equal(r->row, end, xr, old, run);
}

template <typename Pixel>
static void fill_run(Pixel *row, int32_t from, int32_t to, Pixel fill)
{
    for (int32_t i = from; i < to; i++) row[i] = fill;
}

static void fill_run(uint8_t *row, int32_t from, int32_t to, uint8_t fill)
{
    if (to > from) memset(row + from, fill, (size_t)(to - from));
}

// The fill over one pixel type, with the caller's fixed seed stack. For each run the seeds of
// the row above and the row below are stacked in the order of x, the one above first at equal
// x, until the stack is full; the rest of that run's seeds are dropped. A run is the stretch of
// old pixels through its seed: filled pixels never hold the old value again and a run is filled
// whole, so a seed that still holds the old value still has its whole stretch old up to the end
// its side scan saw, and the run's scan to the right resumes there.
template <typename Pixel>
static void paint_pixels(Pixel *base, int64_t stride, int32_t width, int32_t height, int32_t x, int32_t y,
                         Pixel old, Pixel fill, PaintSeed seeds[KAV_PAINT_SEEDS])
{
    int count = 0;
    int32_t last_y = -2, last_from = 0, last_to = 0;  // the previous run, last_from .. last_to - 1
    int32_t known_end = x + 1;                        // pixels x .. known_end - 1 are old
    for (;;) {
        Pixel *row = base + (int64_t)y * stride;
        int32_t xl = x;
        while (xl > 0 && row[xl - 1] == old) xl--;
        int32_t xr = first_differing<Pixel>(row, known_end, width, old);  // the run is xl .. xr - 1
        SeedRow<Pixel> above = {y > 0 ? row - stride : NULL, y - 1, 0};
        SeedRow<Pixel> below = {y + 1 < height ? row + stride : NULL, y + 1, 0};
        RunFill<Pixel> run = {row, fill, xl};
        first_seed(&above, xl, xr, old, last_y == y - 1 ? last_from : 0, last_y == y - 1 ? last_to : 0, &run);
        first_seed(&below, xl, xr, old, last_y == y + 1 ? last_from : 0, last_y == y + 1 ? last_to : 0, &run);
        while (count < KAV_PAINT_SEEDS && (above.next < xr || below.next < xr)) {
            SeedRow<Pixel> *r = above.next <= below.next ? &above : &below;
            push_seed(r, xr, old, &seeds[count++], &run);
        }
        fill_run(row, run.done, xr, fill);
        last_y = y;
        last_from = xl;
        last_to = xr;
        pen_position.x = xr - 1;  // the run is drawn as a line from xl to xr - 1
        pen_position.y = y;
        for (;;) {  // the most recent seed that still holds the old value
            if (count == 0) return;
            const PaintSeed &s = seeds[--count];
            x = s.x;
            y = s.y;
            known_end = s.end;
            if (base[(int64_t)y * stride + x] == old) break;
        }
    }
}

void raster_paint(const PixelBuffer &b, uint32_t colour, int32_t x, int32_t y)
{
    if (!pixel_inside(b, x, y)) return;
    PaintSeed seeds[KAV_PAINT_SEEDS];  // the seed stack, KAV_PAINT_SEEDS entries
    int64_t stride = buffer_stride(b);
    uint32_t old = (uint32_t)buffer_get(b, x, y, -1);
    if (b.bits_per_pixel == 32) {
        if (old == colour) return;
        paint_pixels<uint32_t>(b.words, stride, b.width, b.height, x, y, old, colour, seeds);
    } else {
        if (old == (colour & 0xFFu)) return;
        paint_pixels<uint8_t>(b.bytes, stride, b.width, b.height, x, y, (uint8_t)old, (uint8_t)colour, seeds);
    }
}
