// imagedata.cpp - reading image-data text into the sample grid and rendering it with a gain.
//
// Text is read in three layers, each handing over at a number boundary: 64-byte blocks of
// nothing but digits and white space (valued in vector registers, triples taken straight from
// the number ends), numbers read a word at a time (signs, and where blocks do not apply), and a
// byte-wise reader for the last bytes of a piece, numbers carried over to the next piece, and the
// place where reading stops. All three follow the same conversion rules.
#include "app/imagedata.h"

#include <limits.h>
#include <string.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Largest magnitude that can take one more digit without leaving 64 bits.
#define MAGNITUDE_ROOM ((UINT64_MAX - 9) / 10)

static inline bool is_space(unsigned c)
{
    return c == ' ' || c - '\t' < 5u;  // tab, line feed, vertical tab, form feed, carriage return
}

static inline bool is_digit(unsigned c) { return c - '0' <= 9u; }

// The int that the C library's conversion yields: the number saturated to the limits of a long
// (64 bits on Linux, 32 bits on Windows), then cut to its low 32 bits.
static int32_t number_value(int negative, uint64_t magnitude)
{
    const uint64_t long_max = (uint64_t)LONG_MAX;
    if (!negative) return (int32_t)(uint32_t)(magnitude > long_max ? long_max : magnitude);
    if (magnitude > long_max + 1) magnitude = long_max + 1;
    return (int32_t)(uint32_t)(0 - magnitude);
}

void store_triple(uint16_t *grid, int32_t x, int32_t y, int32_t value)
{
    if (x < 0 || x >= IMAGE_DATA_WIDTH || y < 0 || y >= IMAGE_DATA_HEIGHT) return;
    grid[y * IMAGE_DATA_WIDTH + x] = (uint16_t)(uint32_t)value;
}

static void complete_number(ImageDataReader *reader, int negative, uint64_t magnitude)
{
    reader->triple[reader->count++] = number_value(negative, magnitude);
    if (reader->count < 3) return;
    reader->count = 0;
    reader->triples_read++;
    if (reader->triple[0] >= 0 && reader->triple[0] < IMAGE_DATA_WIDTH &&
        reader->triple[1] >= 0 && reader->triple[1] < IMAGE_DATA_HEIGHT)
        reader->triples_stored++;
    store_triple(reader->grid, reader->triple[0], reader->triple[1], reader->triple[2]);
}

// Bytes that must follow a number's start for the word-at-a-time path: a sign and 8 bytes.
#define FAST_MARGIN 16

// A mask with a non-zero byte at every position of the 8-byte word (first byte lowest) that is
// not a decimal digit. Carries and borrows only run towards later bytes, and only out of bytes
// that are themselves not digits, so the first non-digit is always found correctly.
static inline uint64_t non_digit_bytes(uint64_t word)
{
    uint64_t high = (word & 0xF0F0F0F0F0F0F0F0ull) ^ 0x3030303030303030ull;
    uint64_t low = ((word + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) ^ 0x3030303030303030ull;
    return high | low;
}

// The value of the first n (1..7) digits of the word, by multiply-and-add steps: two for up to
// four digits, three beyond.
static inline uint64_t digits_value(uint64_t word, int n)
{
    if (n <= 4) {
        uint32_t w = (uint32_t)word << (8 * (4 - n));
        w = (w & 0x0F0F0F0Fu) * 2561 >> 8;
        return (w & 0x00FF00FFu) * 6553601 >> 16;
    }
    uint64_t v = word << (8 * (8 - n));  // the n digits at the top, zero bytes act as leading zeros
    v = (v & 0x0F0F0F0F0F0F0F0Full) * 2561 >> 8;
    v = (v & 0x00FF00FF00FF00FFull) * 6553601 >> 16;
    return (uint32_t)((v & 0x0000FFFF0000FFFFull) * 42949672960001ull >> 32);
}

// The triple under way, held in locals while text is read quickly.
struct TripleUnderWay {
    uint16_t *grid;
    int count;
    int32_t x, y;
    long triples_read, triples_stored;
};

static inline __attribute__((always_inline)) void add_number(TripleUnderWay *t, int32_t value)
{
    if (t->count == 0) {
        t->x = value;
        t->count = 1;
        return;
    }
    if (t->count == 1) {
        t->y = value;
        t->count = 2;
        return;
    }
    t->count = 0;
    t->triples_read++;
    if ((uint32_t)t->x < IMAGE_DATA_WIDTH && (uint32_t)t->y < IMAGE_DATA_HEIGHT) {
        t->grid[t->y * IMAGE_DATA_WIDTH + t->x] = (uint16_t)(uint32_t)value;
        t->triples_stored++;
    }
}

#if defined(__SSE2__)
#define BLOCK_BYTES 64     // bytes classified at once
#define BLOCK_LOOKBACK 2   // bytes before a block that its digit values look at
#define SHORT_DIGITS 4     // numbers of up to this many digits are valued in vector registers

// Bytes of x that are decimal digits (all ones) and the others (zero).
static inline __m128i digit_bytes(__m128i x)
{
    return _mm_cmplt_epi8(_mm_add_epi8(x, _mm_set1_epi8((char)(128 - '0'))), _mm_set1_epi8((char)(-128 + 10)));
}

// Classifies the 64 bytes at p: returns the mask of the digits (bit i for byte i) and puts the
// mask of the white space into *spaces. For each digit byte, values gets the value of the number
// of at most SHORT_DIGITS digits that ends there: the digit and those before it, as far back as
// three, while they are digits. Reads the BLOCK_LOOKBACK bytes before p, which must be readable.
static inline __attribute__((always_inline)) uint64_t scan_block(const unsigned char *p, uint64_t *spaces,
                                                                uint16_t values[BLOCK_BYTES])
{
    __m128i ten = _mm_set1_epi16(10), hundred = _mm_set1_epi16(100);
    // Kept as multiplications: one instruction each, where shifts and adds would take four.
    __asm__("" : "+x"(ten), "+x"(hundred));
    const __m128i zero = _mm_setzero_si128(), digit_zero = _mm_set1_epi8('0');
    __m128i pairs_before = zero;  // the pairs of the previous 16 bytes
    uint64_t digits = 0, space = 0;
#pragma GCC unroll 4
    for (int i = 0; i < BLOCK_BYTES; i += 16) {
        __m128i x0 = _mm_loadu_si128((const __m128i *)(p + i));
        __m128i x1 = _mm_loadu_si128((const __m128i *)(p + i - 1));
        __m128i x2 = _mm_loadu_si128((const __m128i *)(p + i - 2));
        __m128i is0 = digit_bytes(x0), is1 = digit_bytes(x1);
        __m128i control = _mm_cmplt_epi8(_mm_add_epi8(x0, _mm_set1_epi8((char)(128 - '\t'))), _mm_set1_epi8((char)(-128 + 5)));
        __m128i blank = _mm_or_si128(control, _mm_cmpeq_epi8(x0, _mm_set1_epi8(' ')));
        digits |= (uint64_t)(uint16_t)_mm_movemask_epi8(is0) << i;
        space |= (uint64_t)(uint16_t)_mm_movemask_epi8(blank) << i;
        // Each byte of tens is at most 9, so a 16-bit multiply by 10 multiplies each byte alone.
        __m128i tens = _mm_and_si128(_mm_sub_epi8(x1, digit_zero), is1);
        __m128i pairs = _mm_add_epi8(_mm_sub_epi8(x0, digit_zero), _mm_mullo_epi16(tens, ten));  // last two digits
        // The two digits before: the pair that ends two bytes back, when both bytes between are digits.
        __m128i before = _mm_or_si128(_mm_slli_si128(pairs, 2), _mm_srli_si128(pairs_before, 14));
        before = _mm_and_si128(before, _mm_and_si128(is1, digit_bytes(x2)));
        pairs_before = pairs;
        __m128i low = _mm_add_epi16(_mm_unpacklo_epi8(pairs, zero), _mm_mullo_epi16(_mm_unpacklo_epi8(before, zero), hundred));
        __m128i high = _mm_add_epi16(_mm_unpackhi_epi8(pairs, zero), _mm_mullo_epi16(_mm_unpackhi_epi8(before, zero), hundred));
        _mm_storeu_si128((__m128i *)(values + i), low);
        _mm_storeu_si128((__m128i *)(values + i + 8), high);
    }
    *spaces = space;
    return digits;
}

// The value of the n digits at p (n >= 1), as the C library converts a number without sign.
static int32_t long_number_value(const unsigned char *p, int n)
{
    uint64_t magnitude = 0;
    for (int i = 0; i < n; i++) magnitude = magnitude <= MAGNITUDE_ROOM ? magnitude * 10 + (p[i] - '0') : UINT64_MAX;
    return number_value(0, magnitude);
}

// Stores the triple (x, y, value) when it lies on the grid.
static inline __attribute__((always_inline)) void put_triple(TripleUnderWay *t, int32_t x, int32_t y, int32_t value)
{
    t->triples_read++;
    if ((uint32_t)x < IMAGE_DATA_WIDTH && (uint32_t)y < IMAGE_DATA_HEIGHT) {
        t->grid[y * IMAGE_DATA_WIDTH + x] = (uint16_t)(uint32_t)value;
        t->triples_stored++;
    }
}

// Takes the numbers whose last digits the bits of ends mark, in order, valued from values.
static inline __attribute__((always_inline)) void take_short_numbers(TripleUnderWay *t, uint64_t ends, const uint16_t *values)
{
    // First the triple that the block before left under way.
    while (t->count != 0 && ends) {
        add_number(t, values[__builtin_ctzll(ends)]);
        ends &= ends - 1;
    }
    while (ends) {
        int32_t x = values[__builtin_ctzll(ends)];
        ends &= ends - 1;
        if (!ends) {
            t->x = x;
            t->count = 1;
            return;
        }
        int32_t y = values[__builtin_ctzll(ends)];
        ends &= ends - 1;
        if (!ends) {
            t->x = x;
            t->y = y;
            t->count = 2;
            return;
        }
        put_triple(t, x, y, values[__builtin_ctzll(ends)]);
        ends &= ends - 1;
    }
}

// The same for a block that holds numbers of more than SHORT_DIGITS digits (long_ends marks
// their last digits): those are valued from their text.
static void take_numbers(TripleUnderWay *t, const unsigned char *p, uint64_t digits, uint64_t ends, uint64_t long_ends,
                         const uint16_t *values)
{
    while (ends) {
        int at = __builtin_ctzll(ends);
        ends &= ends - 1;
        if (long_ends >> at & 1) {
            int n = __builtin_clzll(~(digits << (63 - at)));  // the digits that end at byte at
            add_number(t, long_number_value(p + at + 1 - n, n));
        } else {
            add_number(t, values[at]);
        }
    }
}

// Reads blocks that hold only digits and white space, starting at a number boundary (the byte
// before p is not a digit) at least BLOCK_LOOKBACK bytes into the text. Stops before a block
// with any other byte (*retry then points past that byte) or a number of 64 digits, or when
// fewer than BLOCK_BYTES bytes are left; returns where it stopped, again at a number boundary.
static const unsigned char *read_plain_blocks(TripleUnderWay *t, const unsigned char *p, const unsigned char *end,
                                             const unsigned char **retry)
{
    uint16_t values[BLOCK_BYTES];  // BLOCK_BYTES values: the short number ending at each byte
    while (end - p >= BLOCK_BYTES) {
        uint64_t spaces;
        uint64_t digits = scan_block(p, &spaces, values);
        if ((digits | spaces) != ~0ull) {  // blocks are worth trying again past the odd byte
            *retry = p + __builtin_ctzll(~(digits | spaces)) + 1;
            return p;
        }
        uint64_t ends = digits & ~(digits >> 1);
        int consumed = BLOCK_BYTES;
        if (digits >> 63) {  // the last number may go on past the block: leave it for the next one
            uint64_t starts = digits & ~(digits << 1);
            consumed = 63 - __builtin_clzll(starts);
            if (consumed == 0) return p;
            ends &= ~(1ull << 63);
        }
        uint64_t run = digits;
        for (int k = 1; k <= SHORT_DIGITS; k++) run &= digits << k;
        uint64_t long_ends = ends & run;  // ends of numbers of more than SHORT_DIGITS digits
        if (__builtin_expect(long_ends == 0, 1)) take_short_numbers(t, ends, values);
        else take_numbers(t, p, digits, ends, long_ends, values);
        p += consumed;
    }
    return p;
}
#endif

// Reads whole numbers a word at a time while at least FAST_MARGIN bytes follow each start,
// keeping the triple under way in locals. Leaves the phase READ_BETWEEN near the end,
// READ_DIGITS for a number of 8 digits or more (which the byte-wise reader finishes), or
// READ_STOPPED.
static const unsigned char *read_numbers_fast(ImageDataReader *reader, const unsigned char *text, const unsigned char *p,
                                              const unsigned char *end, int *phase,
                                              int *negative, uint64_t *magnitude)
{
    const unsigned char *fast_end = end - FAST_MARGIN;
    TripleUnderWay t = {reader->grid, reader->count, reader->triple[0], reader->triple[1],
                        reader->triples_read, reader->triples_stored};
#if defined(__SSE2__)
    const unsigned char *retry = text + BLOCK_LOOKBACK;  // where blocks are tried again
#endif
    for (;;) {
#if defined(__SSE2__)
        if (p >= retry) p = read_plain_blocks(&t, p, end, &retry);
#endif
        while (p < fast_end && is_space(*p)) p++;
        if (p >= fast_end) break;
        int minus = 0;
        const unsigned char *digits = p;
        if (__builtin_expect(*digits == '+' || *digits == '-', 0)) {
            minus = *digits == '-';
            digits++;
        }
        uint64_t word;
        memcpy(&word, digits, sizeof word);
        uint64_t stops = non_digit_bytes(word);
        if (__builtin_expect(stops == 0, 0)) {
            *phase = READ_DIGITS;
            *negative = minus;
            *magnitude = 0;
            p = digits;
            break;
        }
        int n = __builtin_ctzll(stops) >> 3;
        if (__builtin_expect(n == 0, 0)) {
            *phase = READ_STOPPED;
            p = digits;
            break;
        }
        int32_t value = (int32_t)digits_value(word, n);
        add_number(&t, minus ? -value : value);
        p = digits + n;
    }
    reader->count = t.count;
    reader->triple[0] = t.x;
    reader->triple[1] = t.y;
    reader->triples_read = t.triples_read;
    reader->triples_stored = t.triples_stored;
    return p;
}

void image_data_begin(ImageDataReader *reader, uint16_t *grid)
{
    reader->grid = grid;
    reader->phase = READ_BETWEEN;
    reader->negative = 0;
    reader->magnitude = 0;
    reader->count = 0;
    reader->triples_read = 0;
    reader->triples_stored = 0;
}

int image_data_feed(ImageDataReader *reader, const char *text, size_t length)
{
    if (reader->phase == READ_STOPPED) return 0;
    const unsigned char *p = (const unsigned char *)text;
    const unsigned char *end = p + length;
    int phase = reader->phase;
    int negative = reader->negative;
    uint64_t magnitude = reader->magnitude;
    const unsigned char *fast_end = length > FAST_MARGIN ? end - FAST_MARGIN : p;
    while (p < end) {
        if (phase == READ_BETWEEN && p < fast_end) {
            p = read_numbers_fast(reader, (const unsigned char *)text, p, end, &phase, &negative, &magnitude);
            if (phase == READ_STOPPED) break;
            continue;
        }
        if (phase == READ_BETWEEN) {
            while (p < end && is_space(*p)) p++;
            if (p == end) break;
            negative = 0;
            magnitude = 0;
            if (*p == '+' || *p == '-') {
                negative = *p == '-';
                p++;
                phase = READ_AFTER_SIGN;
                continue;
            }
            if (!is_digit(*p)) {
                phase = READ_STOPPED;
                break;
            }
            phase = READ_DIGITS;
        } else if (phase == READ_AFTER_SIGN) {
            if (!is_digit(*p)) {
                phase = READ_STOPPED;
                break;
            }
            phase = READ_DIGITS;
        }
        while (p < end && is_digit(*p)) {
            unsigned digit = *p - '0';
            magnitude = magnitude <= MAGNITUDE_ROOM ? magnitude * 10 + digit : UINT64_MAX;
            p++;
        }
        if (p == end) break;  // the number may go on in the next piece of text
        complete_number(reader, negative, magnitude);
        phase = READ_BETWEEN;
    }
    reader->phase = phase;
    reader->negative = negative;
    reader->magnitude = magnitude;
    return phase != READ_STOPPED;
}

void image_data_end(ImageDataReader *reader)
{
    if (reader->phase == READ_DIGITS) complete_number(reader, reader->negative, reader->magnitude);
    reader->phase = READ_STOPPED;
}

long read_image_data_file(FILE *file, uint16_t *grid)
{
    char chunk[IMAGE_DATA_CHUNK_BYTES];  // IMAGE_DATA_CHUNK_BYTES bytes of the file at a time
    ImageDataReader reader;
    image_data_begin(&reader, grid);
    for (;;) {
        size_t got = fread(chunk, 1, sizeof chunk, file);
        if (got == 0) break;
        if (!image_data_feed(&reader, chunk, got)) break;
    }
    image_data_end(&reader);
    return reader.triples_stored;
}

uint32_t gain_multiplier(int gain)
{
    if (gain < 0) gain = 0;
    if (gain > IMAGE_DATA_MAX_GAIN) gain = IMAGE_DATA_MAX_GAIN;
    return (2u << gain) - 1;
}

void render_grid(const uint16_t *grid, int gain, uint8_t *bytes)
{
    uint32_t multiplier = gain_multiplier(gain);
    int i = 0;
#if defined(__SSE2__)
    // A sample above 255 gives 255 at every gain (the multiplier is at least 1), so samples are
    // first cut to 255; their products then fit in 16 bits and are cut to 255 again.
    const __m128i top = _mm_set1_epi16(255), factor = _mm_set1_epi16((short)multiplier);
    for (; i + 16 <= IMAGE_DATA_SAMPLES; i += 16) {
        __m128i a = _mm_loadu_si128((const __m128i *)(grid + i));
        __m128i b = _mm_loadu_si128((const __m128i *)(grid + i + 8));
        a = _mm_mullo_epi16(_mm_sub_epi16(a, _mm_subs_epu16(a, top)), factor);
        b = _mm_mullo_epi16(_mm_sub_epi16(b, _mm_subs_epu16(b, top)), factor);
        a = _mm_sub_epi16(a, _mm_subs_epu16(a, top));
        b = _mm_sub_epi16(b, _mm_subs_epu16(b, top));
        _mm_storeu_si128((__m128i *)(bytes + i), _mm_packus_epi16(a, b));
    }
#endif
    for (; i < IMAGE_DATA_SAMPLES; i++) {
        uint32_t t = (uint32_t)grid[i] * multiplier;
        if (t > 255) t = 255;
        bytes[i] = (uint8_t)t;
    }
}

int picture_path(const char *data_path, const char *extension, char *out, size_t size)
{
    size_t path_length = strlen(data_path), extension_length = strlen(extension);
    if (path_length + extension_length + 1 > size) return 1;
    memcpy(out, data_path, path_length);
    memcpy(out + path_length, extension, extension_length + 1);
    return 0;
}
