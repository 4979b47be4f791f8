// Drawing primitives over a pixel buffer: exact pixel sets of the telling cases, erasure by a
// second inverting pass, and randomized comparison with slow, plainly correct references.
#include <gtest/gtest.h>

#include <ctype.h>
#include <math.h>
#include <stdarg.h>
#include <string.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "imaging/raster.h"
#include "imaging_image.h"

static bool inside_of(int width, int height, int x, int y)
{
    return x >= 0 && y >= 0 && x < width && y < height;
}

static PointSet shifted(const PointSet &s, int dx, int dy)
{
    PointSet out;
    for (auto p : s) out.insert({p.first + dx, p.second + dy});
    return out;
}

//------------------------------------------------------------------------------------------------
// Lines and boxes
//------------------------------------------------------------------------------------------------
// The stepping in closed form: after k steps along the major axis the minor one has moved
// (k * minor - (major + 1) / 2 + major) / major times.
static PointSet reference_line(int x1, int y1, int x2, int y2)
{
    PointSet s;
    if (x1 > x2) { std::swap(x1, x2); std::swap(y1, y2); }
    int64_t dx = x2 - x1, dy = llabs((int64_t)y2 - y1), sy = y2 >= y1 ? 1 : -1;
    int64_t major = dx >= dy ? dx : dy, minor = dx >= dy ? dy : dx;
    for (int64_t k = 0; k <= major; k++) {
        int64_t j = major == 0 ? 0 : (k * minor - (major + 1) / 2 + major) / major;
        if (dx >= dy) s.insert({(int)(x1 + k), (int)(y1 + sy * j)});
        else s.insert({(int)(x1 + j), (int)(y1 + sy * k)});
    }
    return s;
}

TEST(RasterLine, TellingCasesAndThePen)
{
    Image a(10, 10), b(10, 10);
    raster_line(a.b, RASTER_STORE, 7, 0, 0, 5, 2);
    EXPECT_EQ((PointSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}), a.lit());
    EXPECT_EQ(5, pen_position.x);
    EXPECT_EQ(2, pen_position.y);
    raster_line(b.b, RASTER_STORE, 7, 5, 2, 0, 0);
    EXPECT_EQ(a.lit(), b.lit());
    EXPECT_EQ(0, pen_position.x);
    EXPECT_EQ(0, pen_position.y);

    Image d(10, 10);
    raster_line(d.b, RASTER_STORE, 7, 1, 8, 7, 2);  // dx = dy: one pixel per column
    EXPECT_EQ(reference_line(1, 8, 7, 2), d.lit());
    EXPECT_EQ(7u, d.lit().size());

    Image off(4, 4);  // far outside: the pen still moves, nothing is written
    raster_line(off.b, RASTER_STORE, 7, -2000000000, -5, 2000000000, 2000000000);
    EXPECT_EQ(2000000000, pen_position.y);
    raster_line(off.b, RASTER_STORE, 7, INT32_MIN, 1, INT32_MAX, 1);
    EXPECT_EQ((PointSet{{0, 1}, {1, 1}, {2, 1}, {3, 1}}), off.lit());
}

TEST(RasterLine, LinesFromFarOutsideSetTheSteppedPixelsEitherWay)
{
    // Two billion steps lie before the image: the minor coordinate moves once, half-way.
    for (int reverse = 0; reverse < 2; reverse++) {
        Image flat(4, 4), steep(4, 4, 8);
        if (reverse) {
            raster_line(flat.b, RASTER_STORE, 7, 3, 1, -2000000000, 0);
            raster_line(steep.b, RASTER_STORE, 7, 2, 3, 1, -2000000000);
        } else {
            raster_line(flat.b, RASTER_STORE, 7, -2000000000, 0, 3, 1);
            raster_line(steep.b, RASTER_STORE, 7, 1, -2000000000, 2, 3);
        }
        EXPECT_EQ((PointSet{{0, 1}, {1, 1}, {2, 1}, {3, 1}}), flat.lit()) << reverse;
        EXPECT_EQ((PointSet{{2, 0}, {2, 1}, {2, 2}, {2, 3}}), steep.lit()) << reverse;
    }
    Image miss(4, 4);  // passes below the image before it ends
    raster_line(miss.b, RASTER_STORE, 7, -2000000000, 100, 2000000000, 90);
    EXPECT_TRUE(miss.lit().empty());
    EXPECT_EQ(90, pen_position.y);
}

TEST(RasterLine, RandomLinesMatchTheReferenceBothWaysAndEraseThemselves)
{
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> coord(-10, 50);
    for (int n = 0; n < 1000; n++) {
        int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        Image fwd(40, 40, n % 2 ? 8 : 32), rev(40, 40), inv(40, 40);
        raster_line(fwd.b, RASTER_STORE, 0xFFFFFF, x1, y1, x2, y2);
        raster_line(rev.b, RASTER_STORE, 1, x2, y2, x1, y1);
        raster_line(inv.b, RASTER_INVERT, 0, x1, y1, x2, y2);
        PointSet want;
        for (auto p : reference_line(x1, y1, x2, y2))
            if (p.first >= 0 && p.second >= 0 && p.first < 40 && p.second < 40) want.insert(p);
        ASSERT_EQ(want, fwd.lit()) << x1 << "," << y1 << " " << x2 << "," << y2;
        ASSERT_EQ(want, rev.lit());
        ASSERT_EQ(want, inv.lit()) << "each pixel is inverted once";
        raster_line(inv.b, RASTER_INVERT, 0, x1, y1, x2, y2);
        ASSERT_TRUE(inv.lit().empty());
    }
}

TEST(RasterBox, OutlinesFillsAndInvertingTwice)
{
    Image a(20, 20);
    raster_xor_box(a.b, 4, 4, 4, 4);
    EXPECT_EQ((PointSet{{4, 4}}), a.lit());
    raster_xor_box(a.b, 4, 4, 4, 4);
    raster_xor_box(a.b, 3, 3, 3, 9);
    EXPECT_EQ(7u, a.lit().size());
    EXPECT_EQ(0xFFFFFF, a.at(3, 9));
    raster_xor_box(a.b, 3, 9, 3, 3);
    EXPECT_TRUE(a.lit().empty());

    raster_fill_box(a.b, 5, 7, 8, 6, 7);  // corners one apart
    EXPECT_EQ((PointSet{{6, 7}, {7, 7}, {6, 8}, {7, 8}}), a.lit());

    std::mt19937 rng(4);
    std::uniform_int_distribution<int> coord(-5, 25);
    for (int n = 0; n < 200; n++) {
        int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        int xa = std::min(x1, x2), xb = std::max(x1, x2), ya = std::min(y1, y2), yb = std::max(y1, y2);
        PointSet whole, rim;
        for (int y = std::max(ya, 0); y <= std::min(yb, 19); y++)
            for (int x = std::max(xa, 0); x <= std::min(xb, 19); x++) {
                whole.insert({x, y});
                if (x == xa || x == xb || y == ya || y == yb) rim.insert({x, y});
            }
        Image fill(20, 20, 8), outline(20, 20), xfill(20, 20), xrim(20, 20);
        raster_fill_box(fill.b, 0x0102FF, x1, y1, x2, y2);
        raster_box(outline.b, 1, x1, y1, x2, y2);
        raster_xor_fill_box(xfill.b, x1, y1, x2, y2);
        raster_xor_box(xrim.b, x1, y1, x2, y2);
        ASSERT_EQ(whole, fill.lit());
        ASSERT_EQ(rim, outline.lit());
        ASSERT_EQ(whole, xfill.lit());
        ASSERT_EQ(rim, xrim.lit());
        raster_xor_fill_box(xfill.b, x2, y2, x1, y1);
        raster_xor_box(xrim.b, x2, y1, x1, y2);
        ASSERT_TRUE(xfill.lit().empty() && xrim.lit().empty());
    }
}

//------------------------------------------------------------------------------------------------
// Circles
//------------------------------------------------------------------------------------------------
TEST(RasterCircle, RadiusFiveIsTheEightImagesOfFourPoints)
{
    Image a(41, 41);
    raster_circle(a.b, RASTER_STORE, 9, 20, 20, 5);
    PointSet want;
    for (auto p : std::vector<std::pair<int, int>>{{0, 5}, {1, 5}, {2, 5}, {3, 4}})
        for (int sx : {-1, 1})
            for (int sy : {-1, 1}) {
                want.insert({20 + sx * p.first, 20 + sy * p.second});
                want.insert({20 + sx * p.second, 20 + sy * p.first});
            }
    EXPECT_EQ(want, a.lit());
}

TEST(RasterCircle, InvertingOutlinesAndDiscsTwiceLeavesTheImage)
{
    Image a(100, 100), b(100, 100, 8);
    for (size_t i = 0; i < a.store.size(); i++) a.store[i] = b.store[i] = (uint32_t)(i * 2654435761u);
    std::vector<uint32_t> before = a.store, before8 = b.store;
    for (int r = 0; r <= 40; r++) {
        raster_circle(a.b, RASTER_INVERT, 0, 50, 50, r);
        raster_circle(a.b, RASTER_INVERT, 0, 50, 50, r);
        raster_disc(a.b, RASTER_INVERT, 0, 45, 52, r);
        raster_disc(a.b, RASTER_INVERT, 0, 45, 52, r);
        raster_disc(b.b, RASTER_INVERT, 0, 10, 90, r);  // clipped at two edges
        raster_disc(b.b, RASTER_INVERT, 0, 10, 90, r);
        ASSERT_EQ(before, a.store) << "radius " << r;
        ASSERT_EQ(before8, b.store) << "radius " << r;
    }
}

// Every outline point lies within one pixel of the true circle, the set has the eight
// symmetries, and each pixel is touched once; the disc is every row filled between the
// outline's outermost points, once each, and the filled disc is that same set.
TEST(RasterCircle, HugeCirclesAroundASmallImageDrawOnlyTheirNearEdge)
{
    // Radius two billion, the leftmost point at (1, 2): within four rows the outline is one
    // column and the disc everything right of it (steps far from the image are passed over).
    const int32_t r = 2000000000;
    Image outline(4, 4), disc(4, 4, 8);
    raster_circle(outline.b, RASTER_STORE, 7, 1 + r, 2, r);
    raster_disc(disc.b, RASTER_STORE, 7, 1 + r, 2, r);
    EXPECT_EQ((PointSet{{1, 0}, {1, 1}, {1, 2}, {1, 3}}), outline.lit());
    PointSet right;
    for (int y = 0; y < 4; y++)
        for (int x = 1; x < 4; x++) right.insert({x, y});
    EXPECT_EQ(right, disc.lit());
}

TEST(RasterCircle, RandomCirclesAndDiscsMatchTheirReferences)
{
    std::mt19937 rng(5);
    for (int n = 0; n < 120; n++) {
        int r = (int)(rng() % 45) + 1, cx = (int)(rng() % 60) - 5, cy = (int)(rng() % 60) - 5;
        Image whole(201, 201), outline(50, 50), xor_outline(50, 50), disc(50, 50), xor_disc(50, 50);
        raster_circle(whole.b, RASTER_STORE, 1, 100, 100, r);
        PointSet ring = whole.lit();
        std::map<int, std::pair<int, int>> extent;  // row -> outermost x
        for (auto p : ring) {
            int x = p.first - 100, y = p.second - 100;
            double distance = sqrt((double)x * x + (double)y * y);
            ASSERT_LT(fabs(distance - r), 1.0) << r << " " << x << "," << y;
            for (auto q : std::vector<std::pair<int, int>>{{-x, y}, {x, -y}, {y, x}})
                ASSERT_TRUE(ring.count({100 + q.first, 100 + q.second}));
            auto it = extent.find(y);
            if (it == extent.end()) extent[y] = {x, x};
            else it->second = {std::min(it->second.first, x), std::max(it->second.second, x)};
        }
        PointSet want_ring = shifted(ring, cx - 100, cy - 100), want_disc, clipped_ring;
        for (auto row : extent)
            for (int x = row.second.first; x <= row.second.second; x++)
                if (inside_of(50, 50, cx + x, cy + row.first)) want_disc.insert({cx + x, cy + row.first});
        for (auto p : want_ring)
            if (inside_of(50, 50, p.first, p.second)) clipped_ring.insert(p);
        raster_circle(outline.b, RASTER_STORE, 1, cx, cy, r);
        raster_circle(xor_outline.b, RASTER_INVERT, 0, cx, cy, r);
        raster_disc(disc.b, RASTER_STORE, 1, cx, cy, r);
        raster_circle(disc.b, RASTER_STORE, 1, cx, cy, r);
        raster_disc(xor_disc.b, RASTER_INVERT, 0, cx, cy, r);
        ASSERT_EQ(clipped_ring, outline.lit());
        ASSERT_EQ(clipped_ring, xor_outline.lit());
        ASSERT_EQ(want_disc, disc.lit()) << "radius " << r;
        ASSERT_EQ(want_disc, xor_disc.lit()) << "radius " << r;
    }
}

//------------------------------------------------------------------------------------------------
// Seed fill
//------------------------------------------------------------------------------------------------
// A plain breadth-first flood fill of (x, y)'s 4-connected region.
static PointSet reference_region(const Image &im, int x, int y)
{
    PointSet seen;
    int32_t old = im.at(x, y);
    std::vector<std::pair<int, int>> queue{{x, y}};
    seen.insert({x, y});
    for (size_t i = 0; i < queue.size(); i++) {
        auto p = queue[i];
        for (auto d : std::vector<std::pair<int, int>>{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            std::pair<int, int> q{p.first + d.first, p.second + d.second};
            if (im.at(q.first, q.second) == old && seen.insert(q).second) queue.push_back(q);
        }
    }
    return seen;
}

TEST(RasterPaint, StaysInsideAnOutlineWithDiagonalGaps)
{
    Image a(30, 30);
    raster_circle(a.b, RASTER_STORE, 0x00FF00, 15, 15, 10);  // stepping leaves diagonal joints
    raster_line(a.b, RASTER_STORE, 0x00FF00, 2, 27, 27, 2);
    PointSet region = reference_region(a, 15, 15);
    raster_paint(a.b, 0xFF0000, 15, 15);
    EXPECT_EQ(0xFF0000, a.at(15, 15));
    EXPECT_EQ(0, a.at(0, 0));
    EXPECT_EQ(0, a.at(29, 29));
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 30; x++)
            ASSERT_EQ(region.count({x, y}) ? 0xFF0000 : a.at(x, y) == 0x00FF00 ? 0x00FF00 : 0, a.at(x, y));
}

TEST(RasterPaint, OnTheFillValueNothingChanges)
{
    Image a(8, 8, 8);
    a.store.assign(a.store.size(), 0xFFFFFFFF);  // every 8-bit pixel 255
    pen_position = {-3, -3};
    raster_paint(a.b, 0xFFFFFF, 2, 2);  // stores 255 on 8 bits: already there
    EXPECT_EQ(-3, pen_position.x) << "no run was drawn";
    Image c(8, 8);
    raster_paint(c.b, 0, 2, 2);
    raster_paint(c.b, 5, -1, 2);  // outside
    raster_paint(c.b, 5, 8, 2);
    EXPECT_TRUE(c.lit().empty());
    Image w(3, 3);  // a pixel that reads as -1 (top byte set) is still bounded by the border
    w.store.assign(w.store.size(), 0xFFFFFFFF);
    raster_paint(w.b, 7, 1, 1);
    EXPECT_EQ(7, w.at(0, 0));
    EXPECT_EQ(7, w.at(2, 2));
}

TEST(RasterPaint, SeedsBeyondTheStackLeaveTheRestUnfilled)
{
    // Row 0 open; row 1 open at every even x: each wants a seed, only KAV_PAINT_SEEDS fit.
    const int width = 2 * (KAV_PAINT_SEEDS + 500);
    for (int bits : {8, 32}) {
        Image a(width, 3, bits);
        for (int x = 0; x < width; x++) {
            buffer_put(a.b, x, 1, x % 2 ? 9 : 0);
            buffer_put(a.b, x, 2, 9);
        }
        raster_paint(a.b, 1, 0, 0);
        int filled = 0;
        for (int x = 0; x < width; x += 2) filled += a.at(x, 1) == 1;
        EXPECT_EQ(KAV_PAINT_SEEDS, filled) << bits;
        EXPECT_EQ(1, a.at(2 * (KAV_PAINT_SEEDS - 1), 1));
        EXPECT_EQ(0, a.at(2 * KAV_PAINT_SEEDS, 1));
        EXPECT_EQ(1, a.at(width - 1, 0));
    }
}

TEST(RasterPaint, RandomImagesFillExactlyTheFloodFillRegion)
{
    std::mt19937 rng(3);
    for (int n = 0; n < 400; n++) {
        int width = (int)(rng() % 40) + 1, height = (int)(rng() % 30) + 1, bits = n % 2 ? 8 : 32;
        Image a(width, height, bits);
        int walls = (int)(rng() % 60);
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) buffer_put(a.b, x, y, (int)(rng() % 100) < walls ? 3 : 0);
        int x = (int)(rng() % width), y = (int)(rng() % height);
        PointSet region = reference_region(a, x, y);
        Image before = a;
        before.b.words = before.store.data();
        before.b.bytes = (uint8_t *)before.store.data();
        raster_paint(a.b, 0x102005, x, y);
        for (int yy = 0; yy < height; yy++)
            for (int xx = 0; xx < width; xx++) {
                int32_t want = region.count({xx, yy}) ? (bits == 8 ? 5 : 0x102005) : before.at(xx, yy);
                ASSERT_EQ(want, a.at(xx, yy)) << n << ": " << xx << "," << yy;
            }
    }
}

// The fill step by step as it is defined, with the seed stack of KAV_PAINT_SEEDS entries:
// going right along each run, an armed side pushes a seed at an old pixel (the one above
// first) and is re-armed by a pixel that is not old; a seed that finds the stack full is lost.
// Gives the number of seeds lost; *pen (when given) is the last pixel of the last run filled.
static int stacked_fill(Image &im, int32_t fill, int x, int y, std::pair<int, int> *pen = nullptr)
{
    int32_t old = im.at(x, y), lost = 0;
    if (old == fill) return 0;
    std::vector<std::pair<int, int>> stack;
    for (;;) {
        int xl = x;
        while (im.at(xl - 1, y) == old) xl--;
        bool above_armed = true, below_armed = true;
        int xr = xl;
        for (; im.at(xr, y) == old; xr++) {
            for (int side : {-1, 1}) {
                bool &armed = side < 0 ? above_armed : below_armed;
                if (im.at(xr, y + side) != old) armed = true;
                else if (armed && stack.size() < KAV_PAINT_SEEDS) {
                    stack.push_back({xr, y + side});
                    armed = false;
                } else if (armed) {
                    lost++;
                }
            }
        }
        for (int i = xl; i < xr; i++) buffer_put(im.b, i, y, (uint32_t)fill);
        if (pen) *pen = {xr - 1, y};
        do {
            if (stack.empty()) return lost;
            x = stack.back().first;
            y = stack.back().second;
            stack.pop_back();
        } while (im.at(x, y) != old);
    }
}

TEST(RasterPaint, WideNoisyImagesMatchTheStackedFillSeedForSeed)
{
    // Mazes of every width around the 64-byte blocks, and noise wide enough that thousands of
    // stretches overflow the stack: the pixels left unfilled must be the same.
    std::mt19937 rng(11);
    int overflowed = 0;
    for (int n = 0; n < 120; n++) {
        int bits = n % 2 ? 8 : 32;
        bool overflow = n % 6 == 0;
        int width = overflow ? 900 + (int)(rng() % 300) : (int)(rng() % 200) + 1;
        int height = overflow ? 60 : (int)(rng() % 40) + 1;
        int walls = overflow ? 10 + (int)(rng() % 12) : 20 + (int)(rng() % 30);
        Image a(width, height, bits), want(width, height, bits);
        want.b.words = want.store.data();
        want.b.bytes = (uint8_t *)want.store.data();
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                uint32_t v = (int)(rng() % 100) < walls ? 3 : 0;
                buffer_put(a.b, x, y, v);
                buffer_put(want.b, x, y, v);
            }
        int x = (int)(rng() % width), y = (int)(rng() % height);
        raster_paint(a.b, 0x102005, x, y);
        overflowed += stacked_fill(want, bits == 8 ? 5 : 0x102005, x, y) > 0;
        for (int yy = 0; yy < height; yy++)
            for (int xx = 0; xx < width; xx++)
                ASSERT_EQ(want.at(xx, yy), a.at(xx, yy)) << n << ": " << width << "x" << height << " at " << xx << "," << yy;
    }
    EXPECT_GE(overflowed, 10) << "the stack was full in enough of the noisy images";
}

TEST(RasterPaint, OpenShapesMatchTheStackedFillAndItsPen)
{
    // Wide open images with a few boxes and bars: long runs, whole rows, and side stretches that
    // end inside the run beside them or reach past its end, at widths around the 64-byte blocks.
    std::mt19937 rng(17);
    for (int n = 0; n < 160; n++) {
        int bits = n % 2 ? 8 : 32;
        int width = (int)(rng() % 300) + 1, height = (int)(rng() % 50) + 1;
        Image a(width, height, bits), want(width, height, bits);
        want.b.words = want.store.data();
        want.b.bytes = (uint8_t *)want.store.data();
        for (int k = (int)(rng() % 8); k > 0; k--) {
            int x1 = (int)(rng() % width), y1 = (int)(rng() % height);
            int x2 = x1 + (int)(rng() % 90), y2 = y1 + (int)(rng() % 12);
            if (k % 2) raster_box(a.b, 3, x1, y1, x2, y2);
            else raster_fill_box(a.b, 3, x1, y1, x2, y1 + (int)(rng() % 3));
        }
        want.store = a.store;
        int x = (int)(rng() % width), y = (int)(rng() % height);
        pen_position = {-9, -9};
        raster_paint(a.b, 0x102005, x, y);
        std::pair<int, int> pen{-9, -9};
        stacked_fill(want, bits == 8 ? 5 : 0x102005, x, y, &pen);
        for (int yy = 0; yy < height; yy++)
            for (int xx = 0; xx < width; xx++)
                ASSERT_EQ(want.at(xx, yy), a.at(xx, yy)) << n << ": " << width << "x" << height << " at " << xx << "," << yy;
        EXPECT_EQ(pen.first, pen_position.x) << n;
        EXPECT_EQ(pen.second, pen_position.y) << n;
    }
}

//------------------------------------------------------------------------------------------------
// Built-in font
//------------------------------------------------------------------------------------------------
TEST(RasterFont, TellingGlyphsAndMetrics)
{
    const uint8_t a[14] = {0, 0, 0x18, 0x3C, 0x66, 0x66, 0x66, 0x7E, 0x66, 0x66, 0x66, 0, 0, 0};
    const uint8_t g[14] = {0, 0, 0, 0, 0x3E, 0x66, 0x66, 0x66, 0x66, 0x66, 0x3E, 0x06, 0x06, 0x7C};
    EXPECT_EQ(0, memcmp(a, builtin_glyphs['A' - 32], 14));
    EXPECT_EQ(0, memcmp(g, builtin_glyphs['g' - 32], 14));
    for (int i = 0; i < 13; i++) EXPECT_EQ(0, builtin_glyphs['_' - 32][i]);
    EXPECT_EQ(0xFF, builtin_glyphs['_' - 32][13]);
    const std::string high = "$%^`ij";  // the only glyphs above row 2
    for (int c = 33; c < 127; c++) {
        int first = 0;
        while (first < 14 && !builtin_glyphs[c - 32][first]) first++;
        ASSERT_LT(first, 14) << (char)c << " has pixels";
        EXPECT_TRUE(first >= 2 || high.find((char)c) != std::string::npos) << (char)c;
        EXPECT_TRUE(!isupper(c) || (first == 2 && (c == 'Q' || !builtin_glyphs[c - 32][11]))) << (char)c;
    }
    for (int i = 0; i < 14; i++) EXPECT_EQ(0, builtin_glyphs[127 - 32][i]);
}

static void draw_formatted(const PixelBuffer &b, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    raster_vprintf(b, 1, format, args);
    va_end(args);
}

TEST(RasterFont, NewLinesAtTheBottomOfTheRangeKeepTheCursorThere)
{
    Image im(16, 16);
    text_left_margin = 3;
    text_cursor = {5, INT32_MAX - 4};
    raster_string(im.b, 7, "\nab");  // a line feed, then a wrap after the second cell
    EXPECT_EQ(3, text_cursor.x);
    EXPECT_EQ(INT32_MAX, text_cursor.y);
    EXPECT_TRUE(im.lit().empty());
    text_left_margin = 0;
}

TEST(RasterFont, CursorWrapsClipsSkipsAndCutsLongText)
{
    Image a(640, 40);
    text_left_margin = 4;
    text_cursor = {624, 20};
    raster_char(a.b, 0xFF, 'A');
    EXPECT_EQ(632, text_cursor.x) << "the next cell still fits";
    raster_char(a.b, 0xFF, 'A');
    EXPECT_EQ(4, text_cursor.x) << "wrap after the character at 632";
    EXPECT_EQ(36, text_cursor.y);
    EXPECT_EQ(0xFF, a.at(632 + 6, 20 - 14 + 10));
    text_cursor = {636, 20};
    raster_char(a.b, 0xFF, 'A');  // clipped at the border, then wraps
    EXPECT_EQ(0xFF, a.at(638, 20 - 14 + 4));
    EXPECT_EQ(4, text_cursor.x);

    Image t(40, 20), ab(40, 20);
    text_left_margin = 0;
    text_cursor = {0, 16};
    raster_string(t.b, 1, "a\tb");
    text_cursor = {0, 16};
    raster_char(ab.b, 1, 'a');
    raster_char(ab.b, 1, 'b');
    EXPECT_EQ(ab.lit(), t.lit()) << "the tab is skipped without moving";
    EXPECT_EQ(16, text_cursor.x);
    raster_string(t.b, 1, "\n");
    EXPECT_EQ(0, text_cursor.x);
    EXPECT_EQ(32, text_cursor.y);

    // On an empty buffer every character wraps, so the baseline counts the characters drawn.
    PixelBuffer none = {32, 0, 0, NULL, NULL};
    std::string longer(5000, 'x');
    text_cursor = {0, 0};
    draw_formatted(none, "%s", longer.c_str());
    EXPECT_EQ(16 * (KAV_DRAW_TEXT_BYTES - 1), text_cursor.y);
    text_cursor = {0, 0};
    const wchar_t unconvertible[] = {0xD800, 0};
    draw_formatted(none, "ab%ls", unconvertible);
    EXPECT_EQ(0, text_cursor.y) << "a format that cannot be rendered draws nothing";
}
