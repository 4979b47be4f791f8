// image_operations.cpp - the whole-image operations of the programming interface: the test
// patterns on the current image window, and inversion, flips, quarter turns and scaling of a
// numbered window. Inversion, flips and scaling work through GDI on the window's memory DC;
// the quarter turns on a packed copy of the pixels. The caller repaints after a pattern; the
// numbered operations invalidate the window themselves.
#include <stdlib.h>
#include <string.h>

#include "imagewin/imagewin.h"
#include "imaging/imaging.h"
#include "imaging/whole_image.h"

//------------------------------------------------------------------------------------------------
// Test patterns (on the current image window; a free one is left alone)
//------------------------------------------------------------------------------------------------
void pattern_rgb(void) { rgb_pattern(current_buffer()); }
void pattern_hsv(void) { hsv_pattern(current_buffer()); }
void pattern_ycrcb(void) { chroma_pattern(current_buffer(), CHROMA_YCRCB); }
void pattern_yuv(void) { chroma_pattern(current_buffer(), CHROMA_YUV); }
void pattern_yiq(void) { chroma_pattern(current_buffer(), CHROMA_YIQ); }

void pattern_grey(void)
{
    PixelBuffer b = current_buffer();
    if (b.width == 0) return;
    if (b.bits_per_pixel == 8) {
        uint32_t ramp[256];  // the grey colour table
        uint32_t held[256];  // the table the window holds now; no grey entry has a top byte
        for (uint32_t i = 0; i < 256; i++) {
            ramp[i] = i * 0x010101u;
            held[i] = 0xFFFFFFFFu;
        }
        // Replacing the table also asks for a repaint, which costs more than the pattern: a
        // window whose table already is the ramp keeps it (read back, so nothing can be stale).
        if (get_colour_table(held) != 0 || memcmp(held, ramp, sizeof ramp) != 0) set_colour_table(ramp, 256);
    }
    grey_pattern(b);
}

//------------------------------------------------------------------------------------------------
// Inversion and flips (window n stays as current as it was)
//------------------------------------------------------------------------------------------------
int invert_image(int n)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return 1;
    uint32_t *words = pixels[n].words;
    uint32_t first_before = e->bits_per_pixel == 32 ? words[0] : 0;
    RECT whole = {0, 0, e->width, e->height};
    InvertRect(e->mem_dc, &whole);
    GdiFlush();
    // GDI may invert the unused top byte of 32-bit pixels too; colour words keep theirs.
    if (e->bits_per_pixel == 32 && ((first_before ^ words[0]) & 0xFF000000u)) {
        size_t count = (size_t)e->width * (size_t)e->height;
        for (size_t i = 0; i < count; i++) words[i] ^= 0xFF000000u;
    }
    invalidate_image(n);
    return 0;
}

// Mirrors window n onto itself: one StretchBlt with the destination's extent negated.
static int mirror(int n, bool left_to_right)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return 1;
    int w = e->width, h = e->height;
    if (left_to_right)
        StretchBlt(e->mem_dc, w - 1, 0, -w, h, e->mem_dc, 0, 0, w, h, SRCCOPY);
    else
        StretchBlt(e->mem_dc, 0, h - 1, w, -h, e->mem_dc, 0, 0, w, h, SRCCOPY);
    GdiFlush();
    invalidate_image(n);
    return 0;
}

int flip_horizontal(int n) { return mirror(n, true); }
int flip_vertical(int n) { return mirror(n, false); }

//------------------------------------------------------------------------------------------------
// Quarter turns and scaling (window n is made current and re-created at its new size)
//------------------------------------------------------------------------------------------------
static int rotate(int n, bool clockwise)
{
    if (select_current_window(n) != 0) return 1;
    ImageWindowEntry *e = &image_windows[n];
    int w = e->width, h = e->height, bytes_per_pixel = e->bits_per_pixel / 8;
    void *packed = malloc((size_t)w * (size_t)h * (size_t)bytes_per_pixel);
    if (!packed) return 3;
    read_rect(packed, 0, 0, w, h);
    int result = recreate_image_window(n, h, w);
    if (result == 0) {
        rotate_packed(window_buffer(n), packed, w, h, clockwise);
        invalidate_image(n);
    }
    free(packed);
    return result;
}

int rotate_right(int n) { return rotate(n, true); }
int rotate_left(int n) { return rotate(n, false); }

int scale_image(int n, int k)
{
    if (select_current_window(n) != 0) return 1;
    ImageWindowEntry *e = &image_windows[n];
    int w = e->width, h = e->height;
    HDC copy_dc = CreateCompatibleDC(e->mem_dc);
    HBITMAP copy = copy_dc ? CreateCompatibleBitmap(e->mem_dc, w, h) : NULL;
    if (!copy) {
        if (copy_dc) DeleteDC(copy_dc);
        return 3;
    }
    HBITMAP old_bitmap = (HBITMAP)SelectObject(copy_dc, copy);
    BitBlt(copy_dc, 0, 0, w, h, e->mem_dc, 0, 0, SRCCOPY);
    int result = recreate_image_window(n, scaled_length(w, k), scaled_length(h, k));
    if (result == 0) {
        e = &image_windows[n];
        StretchBlt(e->mem_dc, 0, 0, e->width, e->height, copy_dc, 0, 0, w, h, SRCCOPY);
        GdiFlush();
        invalidate_image(n);
    }
    SelectObject(copy_dc, old_bitmap);
    DeleteObject(copy);
    DeleteDC(copy_dc);
    return result;
}
