// imagedata.h - image-data files: text of integer triples (column, row, value) on a 640 x 480
// grid, read into a grid of 16-bit samples and rendered as 8-bit grey with a gain.
//
// Reading follows formatted input with "%d%d%d" to the letter: white space (space, tab, line
// feed, carriage return, vertical tab, form feed) separates numbers, a number is an optional
// '+' or '-' and at least one decimal digit, and reading stops at the first place where a number
// cannot be read. A number too large for a long saturates to the long's limit and is then cut
// to its low 32 bits, as the C library's conversion does (a long has 64 bits on Linux and 32 on
// Windows, so the two differ for numbers beyond 32 bits).
#ifndef KAV_APP_IMAGEDATA_H
#define KAV_APP_IMAGEDATA_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#define IMAGE_DATA_WIDTH 640                                       // grid columns
#define IMAGE_DATA_HEIGHT 480                                      // grid rows
#define IMAGE_DATA_SAMPLES (IMAGE_DATA_WIDTH * IMAGE_DATA_HEIGHT)  // 307,200 samples
#define IMAGE_DATA_MAX_GAIN 7                                      // gains are 0..7
#define IMAGE_DATA_CHUNK_BYTES 65536                               // file bytes read at a time

// Reading state carried from one piece of text to the next, so that a number may span pieces.
struct ImageDataReader {
    uint16_t *grid;       // IMAGE_DATA_SAMPLES samples, row-major
    int phase;            // READ_BETWEEN, READ_AFTER_SIGN, READ_DIGITS or READ_STOPPED
    int negative;         // the number being read had a '-'
    uint64_t magnitude;   // digits so far, saturated above 2^64 - 1
    int count;            // numbers of the current triple already read (0..2)
    int32_t triple[3];    // column, row, value
    long triples_read;    // complete triples seen, used or not
    long triples_stored;  // triples that landed on the grid
};

enum { READ_BETWEEN = 0, READ_AFTER_SIGN = 1, READ_DIGITS = 2, READ_STOPPED = 3 };

// Starts reading into grid; the grid itself is not cleared.
void image_data_begin(ImageDataReader *reader, uint16_t *grid);
// Reads the next piece of text. Returns 1 while more text may follow, 0 once reading stopped.
int image_data_feed(ImageDataReader *reader, const char *text, size_t length);
// The text has ended: a number still being read is complete.
void image_data_end(ImageDataReader *reader);

// Stores one triple when (x, y) lies on the grid: the value's low 16 bits, read as unsigned.
void store_triple(uint16_t *grid, int32_t x, int32_t y, int32_t value);

// Reads a whole open file into grid (not cleared first). Returns the triples stored.
long read_image_data_file(FILE *file, uint16_t *grid);

// The display multiplier of gain k (0..7): 2^(k+1) - 1.
uint32_t gain_multiplier(int gain);

// Writes IMAGE_DATA_SAMPLES grey bytes: sample x multiplier, 255 at 256 and above.
void render_grid(const uint16_t *grid, int gain, uint8_t *bytes);

// The name the picture of a data file is saved under: the data path with the extension always
// appended, so that the picture never lands on the data file (scan.GIF gives scan.GIF.gif).
// 0 done; 1 it does not fit in size bytes.
int picture_path(const char *data_path, const char *extension, char *out, size_t size);

#endif
