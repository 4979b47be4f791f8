// zoom_fit.cpp - see zoom_fit.h.
#include "imagewin/zoom_fit.h"

#include <math.h>

SizeLimits size_limits_for(int size_limit, const ScreenMetrics &m)
{
    SizeLimits l;
    if (size_limit == 0) {
        l.min_width = 1;
        l.min_height = 1;
        l.max_width = 2 * m.cx_screen;
        l.max_height = 2 * m.cy_screen;
        return l;
    }
    // A client area below one pixel would show nothing: the minima are at least 1.
    l.min_width = m.cx_min - 2 * m.cx_frame;
    l.min_height = m.cy_min - 2 * m.cx_frame - m.cy_caption;
    if (l.min_width < 1) l.min_width = 1;
    if (l.min_height < 1) l.min_height = 1;
    l.max_width = m.cx_screen;
    l.max_height = m.cy_screen - m.cy_caption;
    return l;
}

// The wanted client length zoom * length / 100, no larger than the maximum and at least 1.
static double clamped_length(int zoom, int length, int maximum)
{
    double wanted = (double)zoom * length / 100.0;
    if (wanted > maximum) wanted = maximum;
    if (wanted < 1.0) wanted = 1.0;
    return wanted;
}

static int64_t view_length(int length, int zoom)
{
    return (int64_t)length * zoom / 100;
}

int fit_zoom(int width, int height, int zoom, const SizeLimits &limits, ZoomFit *out)
{
    if (width < 1 || height < 1) return 2;
    double cw = clamped_length(zoom, width, limits.max_width);
    double ch = clamped_length(zoom, height, limits.max_height);
    double zw = cw * 100.0 / width, zh = ch * 100.0 / height;
    int z = (int)(zw < zh ? zw : zh);
    int64_t vw = view_length(width, z), vh = view_length(height, z);
    if (vw < limits.min_width || vh < limits.min_height) {
        double rw = ceil((double)limits.min_width * 100.0 / width);
        double rh = ceil((double)limits.min_height * 100.0 / height);
        double raised = rw > rh ? rw : rh;
        if (raised > 1e9) return 2;  // no int zoom can serve it
        z = (int)raised;
        vw = view_length(width, z);
        vh = view_length(height, z);
        if (vw > limits.max_width || vh > limits.max_height) return 2;
    }
    out->zoom = z;
    out->view_width = (int)vw;
    out->view_height = (int)vh;
    return 0;
}

int64_t image_row_stride(int width, int bits_per_pixel)
{
    if (bits_per_pixel == 32) return (int64_t)width * 4;
    return ((int64_t)width + 3) & ~(int64_t)3;
}
