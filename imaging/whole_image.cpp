// whole_image.cpp - see whole_image.h. The patterns are written row by row straight into the
// buffer. What depends on the column alone is worked out once per image into a column table
// and what depends on the row once per row, so the per-pixel work is a table look-up; the
// value of every pixel is the one the per-pixel formula gives. Ramps such as 255 * x / W are
// stepped along the table rather than divided out for each entry.
#include "imaging/whole_image.h"

#include <stdlib.h>
#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>  // the HSV rows are worked out sixteen bytes at a time
#endif

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

// The values numerator * i / denominator for i = 0, 1, 2, ... in turn, stepped with one
// addition and one compare each instead of a division (numerator >= 0, denominator > 0).
struct RampStepper {
    int64_t value;        // numerator * i / denominator for the current i
    int64_t remainder;    // numerator * i % denominator
    int64_t whole;        // numerator / denominator
    int64_t part;         // numerator % denominator
    int64_t denominator;
};

static RampStepper ramp_stepper(int64_t numerator, int64_t denominator)
{
    RampStepper s = {0, 0, numerator / denominator, numerator % denominator, denominator};
    return s;
}

// The value for the current i; moves on to i + 1.
static int32_t ramp_next(RampStepper *s)
{
    int32_t v = (int32_t)s->value;
    s->value += s->whole;
    s->remainder += s->part;
    if (s->remainder >= s->denominator) {
        s->remainder -= s->denominator;
        s->value++;
    }
    return v;
}

//------------------------------------------------------------------------------------------------
// RGB: R = 255x / W, G = 255y / H, B = 255 - 255(x + y) / (W + H)
//------------------------------------------------------------------------------------------------
void rgb_pattern(const PixelBuffer &b)
{
    if (buffer_empty(b)) return;
    int64_t w = b.width, h = b.height, sums = w + h - 1;
    bool words = b.bits_per_pixel == 32;
    // The blue of every sum x + y, as bytes on 8 bits (the low byte of each colour is its blue
    // alone) and as words on 32 bits, where the red of every column follows it.
    size_t table_bytes = words ? (size_t)(sums + w) * 4 : (size_t)sums;
    uint32_t *table = (uint32_t *)malloc(table_bytes);
    if (!table) return;
    RampStepper blue_step = ramp_stepper(255, w + h);
    if (!words) {
        uint8_t *blue_bytes = (uint8_t *)table;
        for (int64_t s = 0; s < sums; s++) blue_bytes[s] = (uint8_t)(255 - ramp_next(&blue_step));
        for (int64_t y = 0; y < h; y++) memcpy(byte_row(b, y), blue_bytes + y, (size_t)w);
        free(table);
        pen_to_last_pixel(b);
        return;
    }
    uint32_t *blue = table, *red = table + sums;
    for (int64_t s = 0; s < sums; s++) blue[s] = (uint32_t)(255 - ramp_next(&blue_step));
    RampStepper red_step = ramp_stepper(255, w);
    for (int64_t x = 0; x < w; x++) red[x] = (uint32_t)ramp_next(&red_step) << 16;
    RampStepper green_step = ramp_stepper(255, h);
    for (int64_t y = 0; y < h; y++) {
        uint32_t green = (uint32_t)ramp_next(&green_step) << 8;
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
// hsv_to_rgb gives each channel of a pixel as m + d * k / 60, where m = max(value - saturation,
// 0) and d = value - m depend on the row alone and k (0..60) on the hue and the channel alone.
// Within each sixth of the circle one channel is the value (k = 60), one the minimum (k = 0)
// and the third follows the hue's step t in that sixth (k = t, or 60 - t in every other sixth).
// The hue only grows with x, so the columns of each sixth lie together: per row each sixth is
// one word (its fixed channels) with the third channel added. With that channel's column factor
// f = ceil(k * 32768 / 60), (2d * f) >> 16 equals d * k / 60 exactly for every d in 0..255, so
// the third channel is one 16-bit multiply per pixel.
#define KAV_HUE_SIXTH 60  // hues in one sixth of the circle
#define KAV_HUE_SIXTHS 6  // sixths of the circle

// The exact 16-bit factor of k / 60 for multipliers 2d <= 510.
static uint16_t sixtieths_factor(int32_t k) { return (uint16_t)((k * 32768 + KAV_HUE_SIXTH - 1) / KAV_HUE_SIXTH); }

// The bit position of the channel that follows the hue in each sixth (blue 0, green 8, red 16).
static const int hsv_moving_shift[KAV_HUE_SIXTHS] = {8, 16, 0, 8, 16, 0};

// The fixed channels of a sixth's words for minimum m and value v, the moving channel zero.
static uint32_t hsv_fixed_word(int sixth, uint32_t m, uint32_t v)
{
    switch (sixth) {
    case 0: return v << 16 | m;
    case 1: return v << 8 | m;
    case 2: return m << 16 | v << 8;
    case 3: return m << 16 | v;
    case 4: return m << 8 | v;
    default: return v << 16 | m << 8;
    }
}

// The saturation and value of each row in turn; half = H / 2. An image one row high has no
// halves: its row is the full-colour row where the two halves meet.
struct HsvRows {
    int64_t y, half;
    RampStepper step;  // 255 * y / half in the top half, 255 * (y - half) / half below it
};

static HsvRows hsv_rows(int64_t half)
{
    HsvRows r = {0, half, ramp_stepper(255, half > 0 ? half : 1)};
    return r;
}

static void hsv_next_row(HsvRows *r, int32_t *saturation, int32_t *value)
{
    if (r->half == 0) {
        *saturation = 255;
        *value = 255;
    } else {
        if (r->y == r->half) r->step = ramp_stepper(255, r->half);
        int32_t level = ramp_next(&r->step);
        *saturation = r->y < r->half ? level : 255;
        *value = r->y < r->half ? 255 : 255 - level;
    }
    r->y++;
}

// The moving channel of n pixels: m + (twice_d * factors[i]) >> 16, as bytes.
static void hsv_moving_bytes(uint8_t *out, const uint16_t *factors, int64_t n, uint16_t twice_d, uint16_t m)
{
    int64_t i = 0;
#if defined(__SSE2__)
    const __m128i d = _mm_set1_epi16((short)twice_d), base = _mm_set1_epi16((short)m);
    for (; i < n; i += 16) {
        if (i + 16 > n) {  // the last sixteen once more, overlapping
            if (n < 16) break;
            i = n - 16;
        }
        __m128i low = _mm_add_epi16(_mm_mulhi_epu16(_mm_loadu_si128((const __m128i *)(factors + i)), d), base);
        __m128i high = _mm_add_epi16(_mm_mulhi_epu16(_mm_loadu_si128((const __m128i *)(factors + i + 8)), d), base);
        _mm_storeu_si128((__m128i *)(out + i), _mm_packus_epi16(low, high));
    }
#endif
    for (; i < n; i++) out[i] = (uint8_t)(m + ((uint32_t)twice_d * factors[i] >> 16));
}

// The words of n pixels of one sixth: fixed | (m + (twice_d * factors[i]) >> 16) << shift.
static void hsv_moving_words(uint32_t *out, const uint16_t *factors, int64_t n, uint16_t twice_d, uint16_t m,
                             uint32_t fixed, int shift)
{
    int64_t i = 0;
#if defined(__SSE2__)
    const __m128i d = _mm_set1_epi16((short)twice_d), base = _mm_set1_epi16((short)m);
    const __m128i words = _mm_set1_epi32((int)fixed), zero = _mm_setzero_si128(), by = _mm_cvtsi32_si128(shift);
    for (; i < n; i += 8) {
        if (i + 8 > n) {  // the last eight once more, overlapping
            if (n < 8) break;
            i = n - 8;
        }
        __m128i moving = _mm_add_epi16(_mm_mulhi_epu16(_mm_loadu_si128((const __m128i *)(factors + i)), d), base);
        __m128i low = _mm_sll_epi32(_mm_unpacklo_epi16(moving, zero), by);
        __m128i high = _mm_sll_epi32(_mm_unpackhi_epi16(moving, zero), by);
        _mm_storeu_si128((__m128i *)(out + i), _mm_or_si128(low, words));
        _mm_storeu_si128((__m128i *)(out + i + 4), _mm_or_si128(high, words));
    }
#endif
    for (; i < n; i++) out[i] = fixed | (m + ((uint32_t)twice_d * factors[i] >> 16)) << shift;
}

void hsv_pattern(const PixelBuffer &b)
{
    if (buffer_empty(b)) return;
    int64_t w = b.width, h = b.height, half = h / 2;
    // The moving channel's factor of every column, and the first column of every sixth.
    uint16_t *factors = (uint16_t *)malloc((size_t)w * sizeof(uint16_t));
    if (!factors) return;
    int64_t first[KAV_HUE_SIXTHS + 1];
    int sixth = 0;
    first[0] = 0;
    RampStepper hue_step = ramp_stepper(359, w);
    for (int64_t x = 0; x < w; x++) {
        int32_t hue = ramp_next(&hue_step), t = hue % KAV_HUE_SIXTH;
        while (sixth < hue / KAV_HUE_SIXTH) first[++sixth] = x;
        factors[x] = sixtieths_factor(sixth % 2 ? KAV_HUE_SIXTH - t : t);
    }
    while (sixth < KAV_HUE_SIXTHS) first[++sixth] = w;
    HsvRows rows = hsv_rows(half);
    for (int64_t y = 0; y < h; y++) {
        int32_t saturation, value;
        hsv_next_row(&rows, &saturation, &value);
        uint16_t m = (uint16_t)(value - saturation < 0 ? 0 : value - saturation);
        uint16_t twice_d = (uint16_t)(2 * (value - m));
        if (b.bits_per_pixel == 32) {
            uint32_t *row = word_row(b, y);
            for (int s = 0; s < KAV_HUE_SIXTHS; s++)
                hsv_moving_words(row + first[s], factors + first[s], first[s + 1] - first[s], twice_d, m,
                                 hsv_fixed_word(s, m, (uint32_t)value), hsv_moving_shift[s]);
            continue;
        }
        // On 8 bits only blue is kept: the minimum below hue 120, the value from 180 to 299.
        uint8_t *row = byte_row(b, y);
        memset(row, m, (size_t)first[2]);
        hsv_moving_bytes(row + first[2], factors + first[2], first[3] - first[2], twice_d, m);
        memset(row + first[3], value, (size_t)(first[5] - first[3]));
        hsv_moving_bytes(row + first[5], factors + first[5], w - first[5], twice_d, m);
    }
    free(factors);
    pen_to_last_pixel(b);
}

//------------------------------------------------------------------------------------------------
// YCrCb, Yuv, YIQ: Y grows with the distance from the centre, chroma follows the axes
//------------------------------------------------------------------------------------------------
// Each inverse conversion gives channel c as clamp((Y * 65536 + p_c * up + q_c * right + 32768)
// / 65536) with up = -b from the row and right = a from the column. The sum stays within int32
// and its quotient is clamped to 0..255, where truncation and an arithmetic shift agree. Y is
// the square root of 5(a^2 + b^2), an exact integer below 2^53 whose double square root truncates
// to its integer square root; |a| and |b| never exceed 127, so each row needs the roots of at
// most 128 values of a^2, found by one rising walk.
#define KAV_CHROMA_REACH 128  // values of |a| and |b|: 0..127

struct ChromaFactors {
    int32_t up[3], right[3];  // the factors of up and right in red, green and blue
};

static const ChromaFactors chroma_factors[3] = {
    {{91881, -46793, 0}, {0, -22544, 116130}},          // ycrcb_to_rgb(Y, Cr = up, Cb = right)
    {{74711, -38076, 0}, {0, -25952, 132973}},          // yuv_to_rgb(Y, U = right, V = up)
    {{62187, -17334, -73859}, {42998, -44872, 118292}}, // yiq_to_rgb(Y, I = up, Q = right)
};

// A 16.16 sum as a channel byte.
static uint32_t channel_byte(int32_t sum)
{
    int32_t v = sum >> 16;
    return (uint32_t)(v < 0 ? 0 : v > 255 ? 255 : v);
}

// The luma of every |a| on the row whose b is given: the integer square root of 5(a^2 + b^2).
static void chroma_row_luma(int32_t b, int32_t luma_of[KAV_CHROMA_REACH])
{
    int32_t root = 0;
    for (int32_t a = 0; a < KAV_CHROMA_REACH; a++) {
        int32_t n = 5 * (a * a + b * b);
        while ((root + 1) * (root + 1) <= n) root++;
        luma_of[a] = root;
    }
}

void chroma_pattern(const PixelBuffer &b, ChromaModel model)
{
    if (buffer_empty(b)) return;
    int64_t w = b.width, h = b.height;
    const ChromaFactors &k = chroma_factors[model];
    // Per column: |a| and the three column terms q_c * a; per row: the luma of each column.
    int32_t *table = (int32_t *)malloc((size_t)w * 5 * sizeof(int32_t));
    if (!table) return;
    int32_t *reach = table, *luma = table + w, *right_red = table + 2 * w, *right_green = table + 3 * w,
            *right_blue = table + 4 * w;
    for (int64_t x = 0; x < w; x++) {
        int32_t a = (int32_t)((x - w / 2) * 255 / w);
        reach[x] = a < 0 ? -a : a;
        right_red[x] = k.right[0] * a;
        right_green[x] = k.right[1] * a;
        right_blue[x] = k.right[2] * a;
    }
    int32_t luma_of[KAV_CHROMA_REACH], luma_reach = -1;  // luma[] holds the row of |b| = luma_reach
    for (int64_t y = 0; y < h; y++) {
        int32_t down = (int32_t)((y - h / 2) * 255 / h), up = -down;
        if ((down < 0 ? -down : down) != luma_reach) {  // neighbouring rows often share |b|
            luma_reach = down < 0 ? -down : down;
            chroma_row_luma(luma_reach, luma_of);
            for (int64_t x = 0; x < w; x++) luma[x] = luma_of[reach[x]] << 16;
        }
        int32_t red = k.up[0] * up + 32768, green = k.up[1] * up + 32768, blue = k.up[2] * up + 32768;
        if (b.bits_per_pixel == 32) {
            uint32_t *out = word_row(b, y);
            for (int64_t x = 0; x < w; x++)
                out[x] = channel_byte(luma[x] + red + right_red[x]) << 16 |
                         channel_byte(luma[x] + green + right_green[x]) << 8 |
                         channel_byte(luma[x] + blue + right_blue[x]);
        } else {
            uint8_t *out = byte_row(b, y);
            for (int64_t x = 0; x < w; x++) out[x] = (uint8_t)channel_byte(luma[x] + blue + right_blue[x]);
        }
    }
    free(table);
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
    RampStepper step = ramp_stepper(255, w);
    for (int64_t x = 0; x < w; x++) {
        uint32_t v = (uint32_t)ramp_next(&step);
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
