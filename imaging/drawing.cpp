// drawing.cpp - the drawing primitives of the programming interface, on the current image
// window: each hands that window's pixel buffer and the drawing state to its raster form.
// A free current window gives an empty buffer, on which they change nothing but the pen
// position and the text cursor. None of them repaints; the caller invalidates the window.
#include <stdarg.h>

#include "imaging/imaging.h"
#include "imaging/raster.h"

void draw_char(uint8_t c) { raster_char(current_buffer(), kav_tc, c); }
void draw_string(const char *s) { raster_string(current_buffer(), kav_tc, s); }

void draw_printf(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    raster_vprintf(current_buffer(), kav_tc, format, args);
    va_end(args);
}

void draw_line(uint32_t colour, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    raster_line(current_buffer(), RASTER_STORE, colour, x1, y1, x2, y2);
}

void xor_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    raster_line(current_buffer(), RASTER_INVERT, 0, x1, y1, x2, y2);
}

void draw_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { raster_box(current_buffer(), drawing_colour, x1, y1, x2, y2); }
void fill_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { raster_fill_box(current_buffer(), drawing_colour, x1, y1, x2, y2); }
void xor_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { raster_xor_box(current_buffer(), x1, y1, x2, y2); }
void xor_fill_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { raster_xor_fill_box(current_buffer(), x1, y1, x2, y2); }

void draw_circle(uint32_t colour, int32_t cx, int32_t cy, int32_t r)
{
    raster_circle(current_buffer(), RASTER_STORE, colour, cx, cy, r);
}

void xor_circle(int32_t cx, int32_t cy, int32_t r) { raster_circle(current_buffer(), RASTER_INVERT, 0, cx, cy, r); }

void fill_circle(int32_t cx, int32_t cy, int32_t r)
{
    PixelBuffer b = current_buffer();
    raster_disc(b, RASTER_STORE, drawing_colour, cx, cy, r);
    raster_circle(b, RASTER_STORE, drawing_colour, cx, cy, r);
}

void xor_fill_circle(int32_t cx, int32_t cy, int32_t r) { raster_disc(current_buffer(), RASTER_INVERT, 0, cx, cy, r); }
void paint(int32_t x, int32_t y) { raster_paint(current_buffer(), drawing_colour, x, y); }
