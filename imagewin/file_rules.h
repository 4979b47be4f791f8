// file_rules.h - platform-free rules of image files and clipboard blocks: save kinds and
// their name extensions, palette entry counts, the layout check of a packed DIB and the
// copying of its indices.
#ifndef KAV_FILE_RULES_H
#define KAV_FILE_RULES_H

#include <stdint.h>
#include <wchar.h>

#define KAV_SAVE_KINDS 5     // BMP, JPEG, GIF, PNG, TIFF
#define KAV_PALETTE_MAX 256  // colour table entries of an 8-bit image

const wchar_t *save_kind_mime(int kind);       // "image/bmp" ...; NULL for a bad kind
const wchar_t *save_kind_extension(int kind);  // ".bmp" ...; NULL for a bad kind

// Copies name into out (units, terminator included) and appends the kind's extension unless
// the last four characters, lower-cased, already are it. 0 done; 1 bad kind or no room.
int name_with_extension(const wchar_t *name, int kind, wchar_t *out, int units);

// Entries in a palette block of size_bytes (flags, count, then 4-byte entries), at most 256.
int palette_entry_count(int64_t size_bytes);

// The header fields of a packed DIB that decide where its parts lie.
struct DibHeaderFields {
    uint32_t header_size;   // biSize
    int32_t width, height;  // biWidth, biHeight (negative: top-down)
    uint32_t bit_count;     // biBitCount
    uint32_t compression;   // biCompression (0 BI_RGB, 1 RLE8, 2 RLE4, 3 BI_BITFIELDS)
    uint32_t size_image;    // biSizeImage
    uint32_t colours_used;  // biClrUsed
};

struct DibLayout {
    int palette_colours;    // colours to copy out, 0..256 (only for 8 bits or fewer)
    uint64_t table_offset;  // where the colour table starts
    uint64_t bits_offset;   // where the pixel bits start
};

// Checks that a packed DIB of block_size bytes holds everything its header claims.
// 0 sound; 1 the header is no usable DIB; 2 the block is shorter than the header says.
int check_packed_dib(const DibHeaderFields &h, uint64_t block_size, DibLayout *out);

// Copies the pixels of an 8-bit uncompressed DIB (rows padded to 4 bytes, bottom-up when
// dib_height is positive) index for index into an 8-bit image at (x, y), clipped to the image.
void paste_dib_indices(const uint8_t *bits, int32_t dib_width, int32_t dib_height, uint8_t *image,
                       int image_width, int image_height, int64_t image_stride, int x, int y);

// Reading a file held in memory (size bytes) at a position that seeks may have put anywhere.
// Bytes a read of wanted bytes at position gets: 0 at or beyond the end, never past it.
uint64_t memory_read_count(uint64_t size, uint64_t position, uint64_t wanted);
// New position of a seek by move from the start (origin 0), the position (1) or the end (2).
// 0 done; 1 a bad origin, or a result before the start or beyond 2^62 (position kept).
int memory_seek(uint64_t size, uint64_t *position, int origin, int64_t move);

#endif
