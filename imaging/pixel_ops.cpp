// pixel_ops.cpp - see pixel_ops.h.
#include "imaging/pixel_ops.h"

int64_t buffer_stride(const PixelBuffer &b)
{
    if (b.bits_per_pixel == 32) return b.width;  // in words
    return ((int64_t)b.width + 3) & ~(int64_t)3;  // in bytes
}

bool pixel_inside(const PixelBuffer &b, int32_t x, int32_t y)
{
    return (uint32_t)x < (uint32_t)b.width && (uint32_t)y < (uint32_t)b.height;
}

void buffer_put(const PixelBuffer &b, int32_t x, int32_t y, uint32_t colour)
{
    if (!pixel_inside(b, x, y)) return;
    int64_t at = (int64_t)y * buffer_stride(b) + x;
    if (b.bits_per_pixel == 32)
        b.words[at] = colour;
    else
        b.bytes[at] = (uint8_t)colour;
}

int32_t buffer_get(const PixelBuffer &b, int32_t x, int32_t y, int32_t outside)
{
    if (!pixel_inside(b, x, y)) return outside;
    int64_t at = (int64_t)y * buffer_stride(b) + x;
    if (b.bits_per_pixel == 32) return (int32_t)b.words[at];
    return b.bytes[at];
}

void buffer_invert(const PixelBuffer &b, int32_t x, int32_t y)
{
    if (!pixel_inside(b, x, y)) return;
    int64_t at = (int64_t)y * buffer_stride(b) + x;
    if (b.bits_per_pixel == 32)
        b.words[at] ^= 0xFFFFFFu;
    else
        b.bytes[at] = (uint8_t)~b.bytes[at];
}
