// graph_math.h - where the profile and Cb-Cr graphs put each sample. Platform-free.
#ifndef KAV_GRAPH_MATH_H
#define KAV_GRAPH_MATH_H

#include <stdint.h>

#define KAV_GRAPH_ROWS 128  // height of a profile graph; values 0..scale map to rows 127..0

// The channel that a profile's flags select for one element (32-bit words, or bytes with
// PROFILE_BYTES), and the full scale of that channel (359 for the hue, else 255).
int32_t profile_channel(const void *values, int32_t i, int32_t flags, int32_t *scale);
// Graph row of element i: 127 - v * 127 / scale, truncated.
int32_t profile_row(const void *values, int32_t i, int32_t flags);
// Point of a colour in the 256 x 256 Cb-Cr graph: x = Cb + 128 (Cb grows right), y = 128 - Cr.
void crcb_point(uint32_t colour, int32_t *x, int32_t *y);

#endif
