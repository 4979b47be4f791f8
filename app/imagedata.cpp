// imagedata.cpp - reading image-data text into the sample grid and rendering it with a gain.
#include "app/imagedata.h"

// Largest magnitude that can take one more digit without leaving 64 bits.
#define MAGNITUDE_ROOM ((UINT64_MAX - 9) / 10)
#define LONG_LIMIT ((uint64_t)INT64_MAX)  // largest positive value of a 64-bit long

static inline bool is_space(unsigned c)
{
    return c == ' ' || c - '\t' < 5u;  // tab, line feed, vertical tab, form feed, carriage return
}

static inline bool is_digit(unsigned c) { return c - '0' <= 9u; }

// The int that the C library's conversion of a long yields: saturated to the long's limits,
// then cut to the low 32 bits.
static int32_t number_value(int negative, uint64_t magnitude)
{
    if (!negative) return magnitude > LONG_LIMIT ? -1 : (int32_t)(uint32_t)magnitude;
    if (magnitude > LONG_LIMIT + 1) return 0;  // saturates to the long's minimum, whose low bits are 0
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
    while (p < end) {
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
    for (int i = 0; i < IMAGE_DATA_SAMPLES; i++) {
        uint32_t t = (uint32_t)grid[i] * multiplier;
        bytes[i] = t >= 256 ? 255 : (uint8_t)t;
    }
}
