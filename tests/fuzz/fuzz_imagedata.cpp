// The image-data reader against the formatted-input loop it must match. The first byte of an
// input chooses where the text is cut into pieces; the rest is the text. The text is read
// three ways, each into a grid holding the same non-zero pattern (the readers do not clear
// it): fed piece by piece, each piece in a buffer of exactly its size; read from a stream;
// and by the "%d%d%d" loop. Any difference in the grids or the counts aborts.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "app/imagedata.h"
#include "bench/reference_reader.h"

static uint16_t fed_grid[IMAGE_DATA_SAMPLES];        // read piece by piece
static uint16_t streamed_grid[IMAGE_DATA_SAMPLES];   // read_image_data_file
static uint16_t reference_grid[IMAGE_DATA_SAMPLES];  // the formatted-input loop

static uint16_t pattern_grid[IMAGE_DATA_SAMPLES];   // what every grid holds before reading

// Whole grids are copied and compared with memcpy and memcmp: loops over 307,200 samples
// instrumented for coverage would cost far more than the reading itself.
static void fill_pattern(uint16_t *grid)
{
    if (pattern_grid[1] == 0)
        for (int i = 0; i < IMAGE_DATA_SAMPLES; i++) pattern_grid[i] = (uint16_t)(i * 40503u + 7);
    memcpy(grid, pattern_grid, sizeof pattern_grid);
}

// Piece lengths around the edges the reader cares about: single bytes, a word, its safety
// margin and a block of 64 with the 8 bytes it looks past.
static const size_t PIECE_LENGTHS[16] = {1, 2, 3, 7, 8, 9, 15, 16, 17, 33, 63, 64, 65, 72, 73, 200};

static long read_in_pieces(const uint8_t *text, size_t size, unsigned seed, long *triples_read)
{
    ImageDataReader reader;
    image_data_begin(&reader, fed_grid);
    uint32_t state = seed * 2654435761u + 1;
    size_t at = 0;
    int stopped = 0;
    while (at < size) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        size_t length = seed == 0 ? size - at : PIECE_LENGTHS[state & 15];
        if (length > size - at) length = size - at;
        std::vector<char> piece(text + at, text + at + length);  // ASan sees any read past it
        int more = image_data_feed(&reader, piece.data(), length);
        if (stopped && more) {
            fprintf(stderr, "a stopped reader took more text\n");
            abort();
        }
        stopped = !more;
        at += length;
    }
    image_data_end(&reader);
    *triples_read = reader.triples_read;
    return reader.triples_stored;
}

static long read_stream(const uint8_t *text, size_t size, uint16_t *grid, int reference)
{
    if (size == 0) return 0;  // an empty stream holds no number either way
    FILE *file = fmemopen((void *)text, size, "r");
    if (!file) abort();
    long stored = reference ? reference_read_image_data(file, grid) : read_image_data_file(file, grid);
    fclose(file);
    return stored;
}

static void compare(const char *what, const uint16_t *grid, long stored, long reference_stored)
{
    if (stored != reference_stored) {
        fprintf(stderr, "%s stored %ld triples, the loop %ld\n", what, stored, reference_stored);
        abort();
    }
    if (memcmp(grid, reference_grid, sizeof reference_grid) == 0) return;
    for (int i = 0; i < IMAGE_DATA_SAMPLES; i++) {
        if (grid[i] == reference_grid[i]) continue;
        fprintf(stderr, "%s: sample (%d, %d) is %u, the loop's %u\n", what, i % IMAGE_DATA_WIDTH,
                i / IMAGE_DATA_WIDTH, grid[i], reference_grid[i]);
        abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    unsigned seed = data[0];
    const uint8_t *text = data + 1;
    size_t length = size - 1;
    fill_pattern(fed_grid);
    fill_pattern(streamed_grid);
    fill_pattern(reference_grid);
    long triples_read = 0;
    long fed = read_in_pieces(text, length, seed, &triples_read);
    long streamed = read_stream(text, length, streamed_grid, 0);
    long reference = read_stream(text, length, reference_grid, 1);
    if (fed > triples_read) abort();
    compare("pieces", fed_grid, fed, reference);
    compare("stream", streamed_grid, streamed, reference);
    return 0;
}
