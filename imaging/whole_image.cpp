// whole_image.cpp - see whole_image.h. The patterns are written row by row straight into the
// buffer. What depends on the column alone is worked out once per image into a column table
// and what depends on the row once per row, so the per-pixel work is a table look-up; the
// value of every pixel is the one the per-pixel formula gives.
#include "imaging/whole_image.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "kavlib.h"

// The pen position after a pattern: the last pixel written.
static void pen_to_last_pixel(const PixelBuffer &b)
{
    pen_position.x = b.width - 1;
    pen_position.y = b.height - 1;
}

static bool buffer_empty(const PixelBuffer &b) { return b.width <= 0 || b.height <= 0; }

// Row y of the buffer as 32-bit words or as bytes.
static uint32_t *word_row(const PixelBuffer &b, int64_t y) { return b.words + y * buffer_stride(b); }
static uint8_t *byte_row(const PixelBuffer &b, int64_t y) { return b.bytes + y * buffer_stride(b); }
static uint8_t *row_start(const PixelBuffer &b, int64_t y)  // either depth
{
    return b.bits_per_pixel == 32 ? (uint8_t *)word_row(b, y) : byte_row(b, y);
}

// Stores one row of colour words, narrowed to their low bytes on an 8-bit buffer.
static void store_row(const PixelBuffer &b, int64_t y, const uint32_t *colours)
{
    if (b.bits_per_pixel == 32) {
        memcpy(word_row(b, y), colours, (size_t)b.width * 4);
        return;
    }
    uint8_t *row = byte_row(b, y);
    for (int32_t x = 0; x < b.width; x++) row[x] = (uint8_t)colours[x];
}

// 255 * i / n for 0 <= i < n.
static int32_t ramp(int64_t i, int64_t n) { return (int32_t)(255 * i / n); }

//------------------------------------------------------------------------------------------------
// RGB: R = 255x / W, G = 255y / H, B = 255 - 255(x + y) / (W + H)
//------------------------------------------------------------------------------------------------
void rgb_pattern(const PixelBuffer &b)
{
    if (buffer_empty(b)) return;
    int64_t w = b.width, h = b.height, sums = w + h - 1;
    // The red of every column, then the blue of every sum x + y (as words and as bytes).
    uint32_t *table = (uint32_t *)malloc((size_t)(w + sums) * 4 + (size_t)sums);
    if (!table) return;
    uint32_t *red = table, *blue = table + w;
    uint8_t *blue_bytes = (uint8_t *)(blue + sums);
    for (int64_t x = 0; x < w; x++) red[x] = (uint32_t)ramp(x, w) << 16;
    for (int64_t s = 0; s < sums; s++) {
        blue[s] = (uint32_t)(255 - ramp(s, w + h));
        blue_bytes[s] = (uint8_t)blue[s];
    }
    for (int64_t y = 0; y < h; y++) {
        if (b.bits_per_pixel == 8) {  // the low byte of each colour is its blue alone
            memcpy(byte_row(b, y), blue_bytes + y, (size_t)w);
            continue;
        }
        uint32_t green = (uint32_t)ramp(y, h) << 8;
        const uint32_t *blue_here = blue + y;
        uint32_t *out = word_row(b, y);
        for (int64_t x = 0; x < w; x++) out[x] = red[x] | green | blue_here[x];
    }
    free(table);
    pen_to_last_pixel(b);
}

//------------------------------------------------------------------------------------------------
// HSV: hue = 359x / W; saturation and value from the row (white, full colour, black)
//------------------------------------------------------------------------------------------------
#define KAV_HUES 360  // hues 0..359

// The saturation and value of row y; half = H / 2. An image one row high has no halves: its
// row is the full-colour row where the two halves meet.
static void hsv_row_levels(int64_t y, int64_t half, int32_t *saturation, int32_t *value)
{
    if (half == 0) {
        *saturation = 255;
        *value = 255;
    } else if (y < half) {
        *saturation = ramp(y, half);
        *value = 255;
    } else {
        *saturation = 255;
        *value = 255 - (int32_t)(255 * (y - half) / half);
    }
}

// The colour of every hue for one saturation and value, as hsv_to_rgb gives it: in each sixth
// of the circle one channel is the value, one the minimum m and one m + d * t / 60, where t
// runs from 0 to 60 with the hue. Those 61 ramps are worked out once per row.
static void colours_by_hue(int32_t saturation, int32_t value, uint32_t by_hue[KAV_HUES])
{
    int32_t m = value - saturation < 0 ? 0 : value - saturation, d = value - m;
    uint32_t ramp_of[61];
    for (int32_t t = 0; t <= 60; t++) ramp_of[t] = (uint32_t)(m + d * t / 60);
    uint32_t v = (uint32_t)value, low = (uint32_t)m;
    for (int32_t h = 0; h < 60; h++) by_hue[h] = v << 16 | ramp_of[h] << 8 | low;
    for (int32_t h = 60; h < 120; h++) by_hue[h] = ramp_of[120 - h] << 16 | v << 8 | low;
    for (int32_t h = 120; h < 180; h++) by_hue[h] = low << 16 | v << 8 | ramp_of[h - 120];
    for (int32_t h = 180; h < 240; h++) by_hue[h] = low << 16 | ramp_of[240 - h] << 8 | v;
    for (int32_t h = 240; h < 300; h++) by_hue[h] = ramp_of[h - 240] << 16 | low << 8 | v;
    for (int32_t h = 300; h < 360; h++) by_hue[h] = v << 16 | low << 8 | ramp_of[360 - h];
}

void hsv_pattern(const PixelBuffer &b)
{
    if (buffer_empty(b)) return;
    int64_t w = b.width, h = b.height, half = h / 2;
    uint16_t *hue = (uint16_t *)malloc((size_t)w * sizeof(uint16_t));
    if (!hue) return;
    for (int64_t x = 0; x < w; x++) hue[x] = (uint16_t)(359 * x / w);
    uint32_t by_hue[KAV_HUES];  // the colour of each hue on the current row
    for (int64_t y = 0; y < h; y++) {
        int32_t saturation, value;
        hsv_row_levels(y, half, &saturation, &value);
        colours_by_hue(saturation, value, by_hue);
        if (b.bits_per_pixel == 32) {
            uint32_t *out = word_row(b, y);
            for (int64_t x = 0; x < w; x++) out[x] = by_hue[hue[x]];
        } else {
            uint8_t *out = byte_row(b, y);
            for (int64_t x = 0; x < w; x++) out[x] = (uint8_t)by_hue[hue[x]];
        }
    }
    free(hue);
    pen_to_last_pixel(b);
}

//------------------------------------------------------------------------------------------------
// YCrCb, Yuv, YIQ: Y grows with the distance from the centre, chroma follows the axes
//------------------------------------------------------------------------------------------------
static uint32_t chroma_colour(ChromaModel model, int32_t y, int32_t up, int32_t right)
{
    if (model == CHROMA_YCRCB) return ycrcb_to_rgb(y, up, right);
    if (model == CHROMA_YUV) return yuv_to_rgb(y, right, up);
    return yiq_to_rgb(y, up, right);
}

void chroma_pattern(const PixelBuffer &b, ChromaModel model)
{
    if (buffer_empty(b)) return;
    int64_t w = b.width, h = b.height;
    int32_t *across = (int32_t *)malloc((size_t)w * sizeof(int32_t));  // a of each column
    if (!across) return;
    for (int64_t x = 0; x < w; x++) across[x] = (int32_t)((x - w / 2) * 255 / w);
    for (int64_t y = 0; y < h; y++) {
        int32_t down = (int32_t)((y - h / 2) * 255 / h);
        double down_part = 5.0 * down * down;
        for (int64_t x = 0; x < w; x++) {
            int32_t a = across[x];
            int32_t luma = (int32_t)sqrt(down_part + 5.0 * a * a);
            uint32_t colour = chroma_colour(model, luma, -down, a);
            if (b.bits_per_pixel == 32)
                word_row(b, y)[x] = colour;
            else
                byte_row(b, y)[x] = (uint8_t)colour;
        }
    }
    free(across);
    pen_to_last_pixel(b);
}

//------------------------------------------------------------------------------------------------
// Grey: column x has v = 255x / W in the top half and 255 - v in the bottom half
//------------------------------------------------------------------------------------------------
void grey_pattern(const PixelBuffer &b)
{
    if (buffer_empty(b)) return;
    int64_t w = b.width, h = b.height, half = h / 2;
    uint32_t *rows = (uint32_t *)malloc((size_t)w * 2 * 4);  // the top row, then the bottom row
    if (!rows) return;
    for (int64_t x = 0; x < w; x++) {
        uint32_t v = (uint32_t)ramp(x, w);
        rows[x] = v * 0x010101u;
        rows[w + x] = (255 - v) * 0x010101u;
    }
    // Each half is its first row over again.
    if (half > 0) store_row(b, 0, rows);
    store_row(b, half, rows + w);
    size_t row_bytes = (size_t)w * (size_t)(b.bits_per_pixel / 8);
    for (int64_t y = 1; y < h; y++)
        if (y != half) memcpy(row_start(b, y), row_start(b, y < half ? 0 : half), row_bytes);
    free(rows);
    pen_to_last_pixel(b);  // the last column's lower line ends there
}

//------------------------------------------------------------------------------------------------
// Quarter turns and scaled sizes
//------------------------------------------------------------------------------------------------
template <typename Pixel>
static void rotate_pixels(Pixel *dst, int64_t stride, const Pixel *src, int64_t w, int64_t h, bool clockwise)
{
    // The new image is h wide and w high; old pixel (x, y) is src[y * w + x].
    for (int64_t ny = 0; ny < w; ny++) {
        Pixel *out = dst + ny * stride;
        if (clockwise)  // new (X, Y) = old (Y, h - 1 - X)
            for (int64_t nx = 0; nx < h; nx++) out[nx] = src[(h - 1 - nx) * w + ny];
        else  // new (X, Y) = old (w - 1 - Y, X)
            for (int64_t nx = 0; nx < h; nx++) out[nx] = src[nx * w + (w - 1 - ny)];
    }
}

void rotate_packed(const PixelBuffer &dst, const void *packed, int32_t old_width, int32_t old_height,
                   bool clockwise)
{
    if (!packed || dst.width != old_height || dst.height != old_width || buffer_empty(dst)) return;
    if (dst.bits_per_pixel == 32)
        rotate_pixels<uint32_t>(dst.words, buffer_stride(dst), (const uint32_t *)packed, old_width,
                                old_height, clockwise);
    else
        rotate_pixels<uint8_t>(dst.bytes, buffer_stride(dst), (const uint8_t *)packed, old_width,
                               old_height, clockwise);
}

int32_t scaled_length(int32_t n, int32_t k)
{
    int64_t length = ((int64_t)n * k + 500) / 1000;
    if (length < 1) return 1;
    if (length > INT32_MAX) return INT32_MAX;
    return (int32_t)length;
}
