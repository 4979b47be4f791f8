// zoom_fit.h - fitting an image window's zoom into the size limits, and row strides.
// Platform-free: the caller reads the system metrics and hands them in.
#ifndef KAV_ZOOM_FIT_H
#define KAV_ZOOM_FIT_H

#include <stdint.h>

// Client-area limits in screen pixels for one kind of window.
struct SizeLimits {
    int min_width, min_height;
    int max_width, max_height;
};

// The metrics the limits come from (GetSystemMetrics values).
struct ScreenMetrics {
    int cx_min, cy_min;        // SM_CXMIN, SM_CYMIN
    int cx_frame;              // SM_CXFRAME, used for both directions
    int cy_caption;            // SM_CYCAPTION
    int cx_screen, cy_screen;  // SM_CXSCREEN, SM_CYSCREEN
};

// size_limit 1: the window fits the screen; 0: any size from 1 up to twice the screen.
SizeLimits size_limits_for(int size_limit, const ScreenMetrics &m);

struct ZoomFit {
    int zoom;                    // percent
    int view_width, view_height; // client size: image size * zoom / 100
};

// Fits zoom percent for a width x height image (both at least 1): lowers it until the image
// fits the maxima, raises it to reach the minima. 0 fitted; 2 cannot be met.
int fit_zoom(int width, int height, int zoom, const SizeLimits &limits, ZoomFit *out);

// Bytes per pixel row of the pixel memory: 4 * width for 32 bits, width rounded up to a
// multiple of 4 for 8 bits.
int64_t image_row_stride(int width, int bits_per_pixel);

#endif
