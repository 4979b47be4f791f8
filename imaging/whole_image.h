// whole_image.h - whole-image arithmetic over a described pixel buffer: the six test patterns,
// the quarter-turn index mapping and the scaled size. Platform-free. The patterns write every
// pixel as plot would (the low byte of each colour on 8-bit buffers) and leave the pen position
// on the last pixel; an empty buffer is left alone.
#ifndef KAV_WHOLE_IMAGE_H
#define KAV_WHOLE_IMAGE_H

#include "imaging/pixel_ops.h"

enum ChromaModel { CHROMA_YCRCB, CHROMA_YUV, CHROMA_YIQ };

void rgb_pattern(const PixelBuffer &b);   // red grows rightward, green downward, blue fades to the far corner
void hsv_pattern(const PixelBuffer &b);   // hue across; white to full colour to black down
void chroma_pattern(const PixelBuffer &b, ChromaModel model);  // chroma plane round a black centre
void grey_pattern(const PixelBuffer &b);  // ramp black to white on top, reversed below

// Fills dst (old_height wide, old_width high) with the packed old image (old_width x old_height
// elements of dst's depth, row-major) turned a quarter clockwise or counter-clockwise.
void rotate_packed(const PixelBuffer &dst, const void *packed, int32_t old_width, int32_t old_height,
                   bool clockwise);

// A length scaled by k per mille, rounded to nearest with halves up: (n * k + 500) / 1000,
// kept within 1..INT32_MAX.
int32_t scaled_length(int32_t n, int32_t k);

#endif
