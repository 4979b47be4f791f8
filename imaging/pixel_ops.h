// pixel_ops.h - single-pixel read, write and invert over a described pixel buffer.
// Platform-free; the image window side describes its current window's DIB section.
#ifndef KAV_PIXEL_OPS_H
#define KAV_PIXEL_OPS_H

#include <stdint.h>

// One image's pixel memory: 32 bits (rows of width words) or 8 bits (rows padded to 4 bytes).
struct PixelBuffer {
    int32_t bits_per_pixel;  // 8 or 32
    int32_t width, height;
    uint32_t *words;         // 32-bit pixels
    uint8_t *bytes;          // 8-bit pixels (same address)
};

// (x, y) lies inside when both, taken unsigned, are below width and height.
int64_t buffer_stride(const PixelBuffer &b);  // row stride: words on 32 bits, bytes on 8 bits
bool    pixel_inside(const PixelBuffer &b, int32_t x, int32_t y);
void    buffer_put(const PixelBuffer &b, int32_t x, int32_t y, uint32_t colour);  // low byte on 8 bits
int32_t buffer_get(const PixelBuffer &b, int32_t x, int32_t y, int32_t outside);  // outside: value answered outside
void    buffer_invert(const PixelBuffer &b, int32_t x, int32_t y);  // 32: xor 0xFFFFFF; 8: complement

#endif
