// raster.h - the drawing primitives over a described pixel buffer: the built-in bitmap font,
// lines, boxes, circles and the seed fill. Platform-free. Like the library's operations built
// on them, they move the process-wide pen position and text cursor (kavlib.h) as they draw,
// clip silently at the border and store the low byte of a colour into 8-bit pixels.
#ifndef KAV_RASTER_H
#define KAV_RASTER_H

#include <stdarg.h>

#include "kavlib.h"
#include "imaging/pixel_ops.h"

#define KAV_GLYPH_COUNT 96     // glyphs of the built-in font: codes 32..127
#define KAV_GLYPH_ROWS 14      // rows of one glyph, drawn at baseline - 14 .. baseline - 1
#define KAV_GLYPH_WIDTH 8      // width of a character cell in pixels
#define KAV_TEXT_LINE_STEP 16  // distance of two baselines of the built-in font
#define KAV_PAINT_SEEDS 4000   // entries of the fill's seed stack
#define KAV_DRAW_TEXT_BYTES 4096  // text formatted by draw_printf, terminator included

extern const uint8_t builtin_glyphs[KAV_GLYPH_COUNT][KAV_GLYPH_ROWS];  // row bytes, MSB leftmost

// What a primitive does to the pixels it covers: store the colour, or invert them.
enum RasterMode { RASTER_STORE, RASTER_INVERT };

void raster_char(const PixelBuffer &b, uint32_t colour, uint8_t c);        // one byte at the text cursor
void raster_string(const PixelBuffer &b, uint32_t colour, const char *s);  // each byte up to the zero
// Formats into KAV_DRAW_TEXT_BYTES (longer text is cut) and draws it; a format error draws nothing.
void raster_vprintf(const PixelBuffer &b, uint32_t colour, const char *format, va_list args);
// Both end points, each pixel once, a line and its reverse alike; the pen moves to (x2, y2) first.
void raster_line(const PixelBuffer &b, RasterMode mode, uint32_t colour, int32_t x1, int32_t y1,
                 int32_t x2, int32_t y2);
void raster_box(const PixelBuffer &b, uint32_t colour, int32_t x1, int32_t y1, int32_t x2, int32_t y2);       // outline
void raster_fill_box(const PixelBuffer &b, uint32_t colour, int32_t x1, int32_t y1, int32_t x2, int32_t y2);  // whole box
void raster_xor_box(const PixelBuffer &b, int32_t x1, int32_t y1, int32_t x2, int32_t y2);       // outline, each pixel once
void raster_xor_fill_box(const PixelBuffer &b, int32_t x1, int32_t y1, int32_t x2, int32_t y2);  // box, each pixel once
// Outline of radius r; for r >= 1 every pixel once (r = 0 touches the centre four times).
void raster_circle(const PixelBuffer &b, RasterMode mode, uint32_t colour, int32_t cx, int32_t cy, int32_t r);
// The disc's row spans without the outline; for r >= 1 every pixel once.
void raster_disc(const PixelBuffer &b, RasterMode mode, uint32_t colour, int32_t cx, int32_t cy, int32_t r);
// 4-connected scanline fill of the region of (x, y)'s value; fixed seed stack, no allocation.
void raster_paint(const PixelBuffer &b, uint32_t colour, int32_t x, int32_t y);

#endif
