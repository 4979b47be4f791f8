// indexed_picture.h - turns 32-bit pixel words into 8-bit indices with a fitting palette,
// for encoders that only keep indexed pictures.
#ifndef KAV_INDEXED_PICTURE_H
#define KAV_INDEXED_PICTURE_H

#include <stdint.h>

// Maps width x height packed words (0x00RRGGBB, top byte ignored) to indices, rows of
// index_stride bytes. A picture of at most 256 colours gets an exact palette of its own
// colours; a richer one a palette of up to 256 colours made for it (median cut), and each
// pixel the nearest of its entries. Returns the palette entries used (1..256), palette as
// 0x00RRGGBB; 0 when memory for the reduction was short (indices then undefined).
int index_true_colour(const uint32_t *words, int width, int height, uint8_t *indices,
                      int64_t index_stride, uint32_t palette[256]);

#endif
