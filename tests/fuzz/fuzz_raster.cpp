// The drawing primitives with coordinates anywhere in 32 bits, on small images of either depth
// with guard words around them. Each input draws one primitive. Every primitive must leave the
// guards and the row padding alone and must draw into an image what it draws into the same
// window of a larger image around it (clipping changes nothing but what is cut off). Beyond
// that: a line sets the pixels of the closed-form stepping, and its reverse the same ones; a
// box is its four lines; filled and inverted boxes cover their rectangle; outlines and discs
// touch each pixel once and stay within a pixel of their radius; the seed fill fills exactly
// the region a plain flood fill finds.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <set>
#include <utility>
#include <vector>

#include "imaging/raster.h"

#define FAIL(...) (fprintf(stderr, __VA_ARGS__), fputc('\n', stderr), abort())

typedef std::set<std::pair<int64_t, int64_t>> Points;

#define GUARD_WORDS 16          // guard words before and after the pixels
#define GUARD_WORD 0x5AA5C33Cu
#define MARGIN 48               // the larger image reaches this far beyond each side

// An image with guard words before and after; pixels start as background.
struct Canvas {
    std::vector<uint32_t> store;
    PixelBuffer b;
    int64_t stride_bytes;
    Canvas(int bits, int width, int height, const uint8_t *background)
    {
        stride_bytes = bits == 32 ? (int64_t)width * 4 : ((int64_t)width + 3) & ~(int64_t)3;
        size_t words = (size_t)(stride_bytes * height + 3) / 4;
        store.assign(GUARD_WORDS + words + GUARD_WORDS, GUARD_WORD);
        uint32_t *pixels = store.data() + GUARD_WORDS;
        b = {bits, width, height, pixels, (uint8_t *)pixels};
        memset(pixels, 0, (size_t)(stride_bytes * height));  // rows and their padding
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) buffer_put(b, x, y, background ? background[y * width + x] : 0);
    }
    uint32_t at(int64_t x, int64_t y) const { return (uint32_t)buffer_get(b, (int32_t)x, (int32_t)y, -1); }
    Points lit() const  // pixels that are not 0
    {
        Points s;
        for (int y = 0; y < b.height; y++)
            for (int x = 0; x < b.width; x++)
                if (at(x, y) != 0) s.insert({x, y});
        return s;
    }
    void check_guards() const
    {
        size_t words = store.size() - 2 * GUARD_WORDS;
        for (size_t i = 0; i < GUARD_WORDS; i++)
            if (store[i] != GUARD_WORD || store[GUARD_WORDS + words + i] != GUARD_WORD) FAIL("a guard word changed");
        const uint8_t *bytes = (const uint8_t *)(store.data() + GUARD_WORDS);
        size_t pixel_bytes = (size_t)(stride_bytes * b.height);
        for (size_t i = pixel_bytes; i < words * 4; i++)  // the bytes that round the last row up to a word
            if (bytes[i] != ((const uint8_t *)&store[0])[i % 4]) FAIL("the byte past the last row changed");
        if (b.bits_per_pixel == 8)
            for (int y = 0; y < b.height; y++)
                for (int64_t x = b.width; x < stride_bytes; x++)
                    if (bytes[y * stride_bytes + x] != 0) FAIL("row padding changed at (%lld, %d)", (long long)x, y);
    }
};

struct Input {
    const uint8_t *p, *end;
    int byte() { return p < end ? *p++ : 0; }
    int32_t coordinate()  // mostly near a small image, sometimes anywhere in 32 bits
    {
        int f = byte();
        if (f < 224) return f - 80;
        uint32_t v = 0;
        for (int i = 0; i < 4; i++) v = v << 8 | (uint32_t)byte();
        return (int32_t)v;
    }
};

// The closed-form stepping of a line, only the steps whose major coordinate lies in [lo, hi].
static void reference_line(Points *s, int64_t x1, int64_t y1, int64_t x2, int64_t y2, int64_t width, int64_t height)
{
    if (x1 > x2) { std::swap(x1, x2); std::swap(y1, y2); }
    __int128 dx = x2 - x1, dy = y2 >= y1 ? y2 - y1 : y1 - y2;
    int64_t sy = y2 >= y1 ? 1 : -1;
    bool x_major = dx >= dy;
    __int128 major = x_major ? dx : dy, minor = x_major ? dy : dx;
    // Steps k put the major coordinate at start + k (x) or start + sy * k (y).
    __int128 lo = 0, hi = major;
    if (x_major) {
        if (-(__int128)x1 > lo) lo = -(__int128)x1;
        if (width - 1 - (__int128)x1 < hi) hi = width - 1 - (__int128)x1;
    } else {
        __int128 a = sy > 0 ? -(__int128)y1 : (__int128)y1 - (height - 1);
        __int128 b = sy > 0 ? height - 1 - (__int128)y1 : (__int128)y1;
        if (a > lo) lo = a;
        if (b < hi) hi = b;
    }
    for (__int128 k = lo; k <= hi; k++) {
        __int128 j = major == 0 ? 0 : (k * minor - (major + 1) / 2 + major) / major;
        __int128 x = x_major ? x1 + k : x1 + j, y = x_major ? y1 + sy * j : y1 + sy * k;
        if (x >= 0 && y >= 0 && x < width && y < height) s->insert({(int64_t)x, (int64_t)y});
    }
}

// The outline and the disc stepped through every step of their eighth, recording the pixels in
// the image and the last point drawn (the pen).
struct Round {
    Points points;
    int64_t pen_x, pen_y;
    int64_t width, height;
    void at(int64_t x, int64_t y)
    {
        pen_x = x;
        pen_y = y;
        if (x >= 0 && y >= 0 && x < width && y < height) points.insert({x, y});
    }
    void span(int64_t y, int64_t xa, int64_t xb)
    {
        for (int64_t x = xa < 0 ? 0 : xa; x <= xb && x < width; x++)
            if (y >= 0 && y < height) points.insert({x, y});
        pen_x = xb;
        pen_y = y;
    }
};

static void reference_circle(Round *o, int64_t cx, int64_t cy, int64_t r)
{
    int64_t limit = 5 * r / 7, i = 0, d = r, e = r;
    do {
        const int64_t p[8][2] = {{cx - i, cy + d}, {cx + i, cy - d}, {cx + i, cy + d}, {cx - i, cy - d},
                                 {cx + d, cy - i}, {cx - d, cy + i}, {cx + d, cy + i}, {cx - d, cy - i}};
        for (int k = 0; k < 8; k++)
            if ((k != 2 && k != 3 && k != 4 && k != 5) || (i != 0 && i != d)) o->at(p[k][0], p[k][1]);
        e -= 2 * i + 1;
        if (e <= 0) e += 2 * d-- - 2;
        i++;
    } while (i <= limit && i <= d);
}

static void reference_disc(Round *o, int64_t cx, int64_t cy, int64_t r)
{
    int64_t limit = 5 * r / 7, i = 0, d = r, e = r, last_i = 0;
    bool open = true;
    do {
        open = true;
        if (d != i) {
            o->span(cy + i, cx - d, cx + d);
            if (i != 0) o->span(cy - i, cx - d, cx + d);
        }
        e -= 2 * i + 1;
        if (e <= 0) {
            o->span(cy + d, cx - i, cx + i);
            o->span(cy - d, cx - i, cx + i);
            e += 2 * d-- - 2;
            open = false;
        }
        last_i = i++;
    } while (i <= limit && i <= d);
    if (open) {
        o->span(cy + d, cx - last_i, cx + last_i);
        o->span(cy - d, cx - last_i, cx + last_i);
    }
}

static void expect(const Points &want, const Canvas &c, const char *what)
{
    Points got = c.lit();
    if (got != want) FAIL("%s: %zu pixels set, %zu wanted", what, got.size(), want.size());
}

enum { OP_LINE, OP_BOX, OP_FILL_BOX, OP_XOR_BOX, OP_XOR_FILL_BOX, OP_CIRCLE, OP_DISC, OP_PAINT, OP_TEXT, OPS };

// Draws the primitive into c, its origin moved by (ox, oy).
static void draw(int op, Canvas &c, RasterMode mode, int32_t v[5], int64_t ox, int64_t oy, const char *text)
{
    uint32_t colour = mode == RASTER_STORE ? 0x00C0FFEEu : 0;
    int32_t x1 = (int32_t)(v[0] + ox), y1 = (int32_t)(v[1] + oy), x2 = (int32_t)(v[2] + ox), y2 = (int32_t)(v[3] + oy);
    switch (op) {
    case OP_LINE: raster_line(c.b, mode, colour, x1, y1, x2, y2); break;
    case OP_BOX: raster_box(c.b, colour, x1, y1, x2, y2); break;
    case OP_FILL_BOX: raster_fill_box(c.b, colour, x1, y1, x2, y2); break;
    case OP_XOR_BOX: raster_xor_box(c.b, x1, y1, x2, y2); break;
    case OP_XOR_FILL_BOX: raster_xor_fill_box(c.b, x1, y1, x2, y2); break;
    case OP_CIRCLE: raster_circle(c.b, mode, colour, x1, y1, v[4]); break;
    case OP_DISC: raster_disc(c.b, mode, colour, x1, y1, v[4]); break;
    case OP_TEXT:
        text_cursor = {x1, y1};
        text_left_margin = x2;
        raster_string(c.b, colour, text);
        break;
    }
}

// The rectangle spanned by two corners, clipped to the image; outline only if asked.
static Points rectangle(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int width, int height, bool outline)
{
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    Points s;
    for (int64_t y = y1 < 0 ? 0 : y1; y <= y2 && y < height; y++)
        for (int64_t x = x1 < 0 ? 0 : x1; x <= x2 && x < width; x++)
            if (!outline || x == x1 || x == x2 || y == y1 || y == y2) s.insert({x, y});
    return s;
}

static void check_round(const Canvas &c, int64_t cx, int64_t cy, int64_t r, bool disc)
{
    for (auto p : c.lit()) {
        double dx = (double)(p.first - cx), dy = (double)(p.second - cy);
        double d2 = dx * dx + dy * dy, lo = (double)(r - 1), hi = (double)(r + 1);
        if (d2 >= hi * hi || (!disc && d2 <= lo * lo)) FAIL("pixel (%lld, %lld) is not within a pixel of radius %lld",
                                                 (long long)p.first, (long long)p.second, (long long)r);
    }
}

// A plain breadth-first flood fill of (x, y)'s 4-connected region.
static Points flood_region(const Canvas &c, int x, int y)
{
    Points seen = {{x, y}};
    uint32_t old = c.at(x, y);
    std::vector<std::pair<int64_t, int64_t>> queue = {{x, y}};
    for (size_t i = 0; i < queue.size(); i++) {
        const int64_t steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (auto &d : steps) {
            std::pair<int64_t, int64_t> q = {queue[i].first + d[0], queue[i].second + d[1]};
            if (q.first < 0 || q.second < 0 || q.first >= c.b.width || q.second >= c.b.height) continue;
            if (c.at(q.first, q.second) == old && seen.insert(q).second) queue.push_back(q);
        }
    }
    return seen;
}

static void check_paint(int bits, int width, int height, const uint8_t *background, int32_t x, int32_t y)
{
    Canvas c(bits, width, height, background);
    uint32_t colour = 7;  // background values are 0..3
    Points region;
    if (x >= 0 && y >= 0 && x < width && y < height) region = flood_region(c, x, y);
    raster_paint(c.b, colour, x, y);
    c.check_guards();
    for (int j = 0; j < height; j++)
        for (int i = 0; i < width; i++) {
            uint32_t want = region.count({i, j}) ? colour : background[j * width + i];
            if (c.at(i, j) != want) FAIL("fill from (%d, %d): pixel (%d, %d) is %u, not %u", x, y, i, j, c.at(i, j), want);
        }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, data + size};
    int op = in.byte() % OPS;
    int bits = in.byte() & 1 ? 8 : 32;
    int width = 1 + in.byte() % 40, height = 1 + in.byte() % 40;
    int32_t v[5];
    for (int i = 0; i < 4; i++) v[i] = in.coordinate();
    // Radii mostly below 2^12, sometimes anywhere in 32 bits.
    v[4] = (int32_t)((in.byte() | in.byte() << 8) & 0xFFF) - 16;
    if (v[4] == 4079) v[4] = in.coordinate();
    if (op == OP_PAINT) {
        std::vector<uint8_t> background((size_t)width * height);
        for (uint8_t &p : background) p = (uint8_t)(in.byte() % 4);
        check_paint(bits, width, height, background.data(), v[0] % width, v[1] % height);
        return 0;
    }
    char text[64];
    int length = 0;
    while (length < 63 && in.p < in.end) text[length++] = (char)in.byte();
    text[length] = '\0';

    Canvas small(bits, width, height, NULL), large(bits, width + 2 * MARGIN, height + 2 * MARGIN, NULL);
    draw(op, small, RASTER_STORE, v, 0, 0, text);
    KAV_Point pen = pen_position;
    small.check_guards();
    bool movable = true;  // the figure moved by MARGIN is still the same figure in 32 bits
    for (int i = 0; i < 4; i++) movable = movable && v[i] <= INT32_MAX - MARGIN;
    if (op == OP_TEXT) return 0;  // text wraps at the image's width: a larger image differs
    if (movable) {
        draw(op, large, RASTER_STORE, v, MARGIN, MARGIN, text);
        large.check_guards();
        bool pen_moves = op != OP_XOR_BOX && op != OP_XOR_FILL_BOX;
        if (pen_moves && (pen_position.x != (int32_t)(uint32_t)((int64_t)pen.x + MARGIN) ||
                          pen_position.y != (int32_t)(uint32_t)((int64_t)pen.y + MARGIN)))
            FAIL("the pen ended at (%d, %d) and, moved, at (%d, %d)", pen.x, pen.y, pen_position.x, pen_position.y);
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                if (small.at(x, y) != large.at(x + MARGIN, y + MARGIN))
                    FAIL("pixel (%d, %d) differs from the larger image's", x, y);
    }

    Points want;
    int64_t x1 = v[0], y1 = v[1], x2 = v[2], y2 = v[3], r = v[4];
    if (op == OP_LINE) {
        reference_line(&want, x1, y1, x2, y2, width, height);
        expect(want, small, "line");
        if (pen.x != v[2] || pen.y != v[3]) FAIL("the pen is not at the line's end");
        Canvas reverse(bits, width, height, NULL), inverted(bits, width, height, NULL);
        raster_line(reverse.b, RASTER_STORE, 1, v[2], v[3], v[0], v[1]);
        raster_line(inverted.b, RASTER_INVERT, 0, v[0], v[1], v[2], v[3]);
        expect(want, reverse, "reverse line");
        expect(want, inverted, "inverted line");
    } else if (op == OP_BOX) {
        reference_line(&want, x1, y1, x2, y1, width, height);
        reference_line(&want, x2, y1, x2, y2, width, height);
        reference_line(&want, x2, y2, x1, y2, width, height);
        reference_line(&want, x1, y2, x1, y1, width, height);
        expect(want, small, "box");
    } else if (op == OP_FILL_BOX || op == OP_XOR_FILL_BOX) {
        expect(rectangle(x1, y1, x2, y2, width, height, false), small, "filled box");
    } else if (op == OP_XOR_BOX) {
        expect(rectangle(x1, y1, x2, y2, width, height, true), small, "inverted outline");
    } else if (op == OP_CIRCLE || op == OP_DISC) {
        if (r < 1) return 0;
        check_round(small, x1, y1, r, op == OP_DISC);
        if (r < 65536) {  // stepped through in full, about 50,000 steps at most
            Round o = {Points(), 0, 0, width, height};
            if (op == OP_CIRCLE) reference_circle(&o, x1, y1, r);
            else reference_disc(&o, x1, y1, r);
            expect(o.points, small, op == OP_CIRCLE ? "outline" : "disc");
            if (pen.x != (int32_t)o.pen_x || pen.y != (int32_t)o.pen_y) FAIL("the pen is not at the last point drawn");
        }
        Canvas inverted(bits, width, height, NULL);
        draw(op, inverted, RASTER_INVERT, v, 0, 0, text);
        if (inverted.lit() != small.lit()) FAIL("an inverted outline or disc is not the drawn one");
    }
    return 0;
}
