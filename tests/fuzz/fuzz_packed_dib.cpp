// The checks of a packed DIB taken from the clipboard. The input is the clipboard block itself
// (a 40-byte header, then whatever follows) in a buffer of exactly its size, and two bytes
// past the header choose where an 8-bit DIB is pasted. A block the check calls sound must hold
// every part the header claims, worked out here again in 128-bit arithmetic; a block it turns
// down for its size must really be too short. Then the colour table is copied and an 8-bit
// uncompressed DIB is pasted as the clipboard code does, into an image with guard bytes, and every byte of it is checked.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "imagewin/file_rules.h"

typedef unsigned __int128 u128;

static uint32_t le32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
static uint16_t le16(const uint8_t *p) { return (uint16_t)(p[0] | p[1] << 8); }

// The end of the last part the header claims: header, bit masks, colour table, pixel bits.
static u128 claimed_end(const DibHeaderFields &h)
{
    u128 end = h.header_size;
    if (h.compression == 3 && h.header_size == 40) end += 12;
    u128 colours = h.colours_used ? h.colours_used : (h.bit_count <= 8 ? (u128)1 << h.bit_count : 0);
    end += colours * 4;
    u128 bits;
    if (h.compression == 1 || h.compression == 2) {
        bits = h.size_image;
    } else {
        u128 row_bits = (u128)(uint32_t)h.width * h.bit_count;
        u128 rows = h.height < 0 ? (u128)(-(int64_t)h.height) : (u128)h.height;
        bits = (row_bits + 31) / 32 * 4 * rows;
    }
    return bits == 0 ? ~(u128)0 : end + bits;  // no pixel bits at all is never sound
}

#define IMAGE_W 23      // the target image: an odd width, so that rows carry padding
#define IMAGE_H 17
#define IMAGE_STRIDE 24
#define GUARD 64        // guard bytes on each side of the image
#define GUARD_BYTE 0xA5

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 40) return 0;  // the clipboard code looks no further into a smaller block
    std::vector<uint8_t> block(data, data + size);
    const uint8_t *d = block.data();
    DibHeaderFields h = {le32(d), (int32_t)le32(d + 4), (int32_t)le32(d + 8), le16(d + 14),
                         le32(d + 16), le32(d + 20), le32(d + 32)};
    DibLayout layout;
    int answer = check_packed_dib(h, size, &layout);
    if (answer < 0 || answer > 2) abort();
    bool usable = h.header_size >= 40 && h.width > 0 && h.height != 0 && h.compression <= 3 &&
                  (h.bit_count == 1 || h.bit_count == 4 || h.bit_count == 8 || h.bit_count == 16 ||
                   h.bit_count == 24 || h.bit_count == 32);
    if (!usable) {
        if (answer != 1) abort();
        return 0;
    }
    bool fits = claimed_end(h) <= size;
    if ((answer == 0) != fits) {
        fprintf(stderr, "check answered %d, the block %s\n", answer, fits ? "fits" : "is short");
        abort();
    }
    if (answer != 0) return 0;
    if (layout.palette_colours < 0 || layout.palette_colours > KAV_PALETTE_MAX) abort();
    if (layout.bits_offset < layout.table_offset + (uint64_t)layout.palette_colours * 4) abort();
    uint8_t colours[KAV_PALETTE_MAX * 4];
    memcpy(colours, d + layout.table_offset, (size_t)layout.palette_colours * 4);
    if (h.bit_count != 8 || h.compression != 0) return 0;

    std::vector<uint8_t> image(GUARD + IMAGE_STRIDE * IMAGE_H + GUARD, GUARD_BYTE);
    int x = (int8_t)d[size - 2], y = (int8_t)d[size - 1];  // -128..127 around the small image
    paste_dib_indices(d + layout.bits_offset, h.width, h.height, image.data() + GUARD, IMAGE_W, IMAGE_H,
                      IMAGE_STRIDE, x, y);
    const uint8_t *bits = d + layout.bits_offset;
    int64_t rows = h.height < 0 ? -(int64_t)h.height : h.height;
    int64_t dib_stride = ((int64_t)h.width + 3) / 4 * 4;
    for (size_t i = 0; i < image.size(); i++) {
        int64_t at = (int64_t)i - GUARD;
        int64_t px = at % IMAGE_STRIDE, py = at / IMAGE_STRIDE;
        int expected = GUARD_BYTE;  // padding, guards and pixels the DIB does not cover
        if (at >= 0 && py < IMAGE_H && px < IMAGE_W) {
            int64_t column = px - x, top_row = py - y;
            if (column >= 0 && column < h.width && top_row >= 0 && top_row < rows)
                expected = bits[(h.height > 0 ? rows - 1 - top_row : top_row) * dib_stride + column];
        }
        if (image[i] != expected) {
            fprintf(stderr, "paste at (%d, %d): byte %zu is %d, not %d\n", x, y, i, image[i], expected);
            abort();
        }
    }
    return 0;
}
