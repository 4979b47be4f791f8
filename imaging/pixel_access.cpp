// pixel_access.cpp - the pixel operations of the programming interface, on the current image
// window. Callers select a live window first; a free or bad current window is left alone.
#include "imagewin/imagewin.h"
#include "imaging/imaging.h"

PixelBuffer window_buffer(int n)
{
    PixelBuffer b = {32, 0, 0, NULL, NULL};
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return b;
    b.bits_per_pixel = e->bits_per_pixel;
    b.width = e->width;
    b.height = e->height;
    b.words = pixels[n].words;
    b.bytes = pixels[n].bytes;
    return b;
}

PixelBuffer current_buffer(void) { return window_buffer(current_image_window); }

void plot(int32_t x, int32_t y, uint32_t colour)
{
    pen_position.x = x;
    pen_position.y = y;
    buffer_put(current_buffer(), x, y, colour);
}

void put_pixel(int32_t x, int32_t y, uint32_t colour) { buffer_put(current_buffer(), x, y, colour); }
int32_t get_pixel(int32_t x, int32_t y) { return buffer_get(current_buffer(), x, y, 0); }
int32_t get_pixel_checked(int32_t x, int32_t y) { return buffer_get(current_buffer(), x, y, -1); }

void xor_plot(int32_t x, int32_t y)
{
    pen_position.x = x;
    pen_position.y = y;
    buffer_invert(current_buffer(), x, y);
}

void xor_pixel(int32_t x, int32_t y) { buffer_invert(current_buffer(), x, y); }
