// interim_drawing.h - the few drawing primitives the tools and graphs use, until the drawing
// module provides them.
#ifndef KAV_INTERIM_DRAWING_H
#define KAV_INTERIM_DRAWING_H

#include "kavlib.h"

void draw_line(uint32_t colour, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void xor_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void xor_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void xor_circle(int32_t cx, int32_t cy, int32_t r);
void draw_string(const char *s);

#endif
