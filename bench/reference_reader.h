// reference_reader.h - the plain formatted-input loop that the fast image-data reader must
// match exactly; used by the benchmark and by the native tests.
#ifndef KAV_BENCH_REFERENCE_READER_H
#define KAV_BENCH_REFERENCE_READER_H

#include <stdint.h>
#include <stdio.h>

#include "app/imagedata.h"

// Reads "%d%d%d" triples until one does not convert; stores each on the grid like the fast
// reader does. Returns the triples stored.
inline long reference_read_image_data(FILE *file, uint16_t *grid)
{
    int x, y, v;
    long stored = 0;
    while (fscanf(file, "%d%d%d", &x, &y, &v) == 3) {
        if (x < 0 || x >= IMAGE_DATA_WIDTH || y < 0 || y >= IMAGE_DATA_HEIGHT) continue;
        grid[y * IMAGE_DATA_WIDTH + x] = (uint16_t)(unsigned)v;
        stored++;
    }
    return stored;
}

#endif
