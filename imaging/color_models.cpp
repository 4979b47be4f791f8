// color_models.cpp - integer colour-model conversions shared by the pixel report, the
// profiles and the test patterns. Forward and inverse conversions work in 16.16 fixed point.
#include "kavlib.h"

static int32_t red_of(uint32_t c) { return (int32_t)((c >> 16) & 0xFF); }
static int32_t green_of(uint32_t c) { return (int32_t)((c >> 8) & 0xFF); }
static int32_t blue_of(uint32_t c) { return (int32_t)(c & 0xFF); }

// Signed division of an already biased 16.16 numerator, truncating toward zero.
static int32_t fixed_down(int64_t numerator) { return (int32_t)(numerator / 65536); }

static int32_t clamp_byte(int64_t v) { return v < 0 ? 0 : v > 255 ? 255 : (int32_t)v; }

static uint32_t word_of(int32_t r, int32_t g, int32_t b)
{
    return (uint32_t)r * 65536u + (uint32_t)g * 256u + (uint32_t)b;
}

KAV_Hsv rgb_to_hsv(uint32_t colour)
{
    int32_t r = red_of(colour), g = green_of(colour), b = blue_of(colour);
    int32_t max = r > g ? (r > b ? r : b) : (g > b ? g : b);
    int32_t min = r < g ? (r < b ? r : b) : (g < b ? g : b);
    int32_t d = max - min;
    KAV_Hsv hsv = {0, d, max};
    if (d == 0) return hsv;
    if (max == r && min == b)
        hsv.hue = 60 * (g - b) / d;
    else if (max == g && min == b)
        hsv.hue = 60 * (g - r) / d + 60;
    else if (max == g && min == r)
        hsv.hue = 60 * (b - r) / d + 120;
    else if (max == b && min == r)
        hsv.hue = 60 * (b - g) / d + 180;
    else if (max == b && min == g)
        hsv.hue = 60 * (r - g) / d + 240;
    else
        hsv.hue = 60 * (r - b) / d + 300;  // max is red, min is green
    return hsv;
}

int32_t hue_of(uint32_t colour) { return rgb_to_hsv(colour).hue; }
int32_t saturation_of(uint32_t colour) { return rgb_to_hsv(colour).saturation; }
int32_t value_of(uint32_t colour) { return rgb_to_hsv(colour).value; }

uint32_t hsv_to_rgb(int32_t value, int32_t saturation, int32_t hue)
{
    int32_t m = value - saturation;
    if (m < 0) m = 0;
    int32_t d = value - m, v = value, h = hue;
    int32_t r, g, b;
    if (h <= 59) {
        r = v; g = m + d * h / 60; b = m;
    } else if (h <= 119) {
        r = m + d * (120 - h) / 60; g = v; b = m;
    } else if (h <= 179) {
        r = m; g = v; b = m + d * (h - 120) / 60;
    } else if (h <= 239) {
        r = m; g = m + d * (240 - h) / 60; b = v;
    } else if (h <= 299) {
        r = m + d * (h - 240) / 60; g = m; b = v;
    } else {
        r = v; g = m; b = m + d * (360 - h) / 60;
    }
    return word_of(r, g, b);
}

int32_t luminance(uint32_t colour)
{
    int64_t r = red_of(colour), g = green_of(colour), b = blue_of(colour);
    return fixed_down(19595 * r + 38470 * g + 7471 * b + 32768);
}

KAV_YCrCb to_ycrcb(uint32_t colour)
{
    int64_t r = red_of(colour), g = green_of(colour), b = blue_of(colour);
    KAV_YCrCb out;
    out.y = luminance(colour);
    out.cr = fixed_down(32768 * r + 32768 - 27460 * g - 5308 * b);
    out.cb = fixed_down(32768 * b + 32768 - 11076 * r - 21692 * g);
    return out;
}

KAV_Yuv to_yuv(uint32_t colour)
{
    int64_t r = red_of(colour), g = green_of(colour), b = blue_of(colour);
    KAV_Yuv out;
    out.y = luminance(colour);
    out.u = fixed_down(28574 * b - 9634 * r - 18940 * g + 32768);
    out.v = fixed_down(40305 * r - 33751 * g - 6554 * b + 32768);
    return out;
}

KAV_Yiq to_yiq(uint32_t colour)
{
    int64_t r = red_of(colour), g = green_of(colour), b = blue_of(colour);
    KAV_Yiq out;
    out.y = luminance(colour);
    out.i = fixed_down(39053 * r - 18022 * g - 21037 * b + 32768);
    out.q = fixed_down(13533 * r - 32565 * g + 19032 * b + 32768);
    return out;
}

// One channel of an inverse conversion: (Y * 65536 + terms + 32768) / 65536, clamped.
static int32_t inverse_channel(int32_t y, int64_t terms)
{
    return clamp_byte(fixed_down((int64_t)y * 65536 + terms + 32768));
}

uint32_t ycrcb_to_rgb(int32_t y, int32_t cr, int32_t cb)
{
    int64_t c1 = cr, c2 = cb;
    return word_of(inverse_channel(y, 91881 * c1), inverse_channel(y, -46793 * c1 - 22544 * c2),
                   inverse_channel(y, 116130 * c2));
}

uint32_t yuv_to_rgb(int32_t y, int32_t u, int32_t v)
{
    int64_t cu = u, cv = v;
    return word_of(inverse_channel(y, 74711 * cv), inverse_channel(y, -38076 * cv - 25952 * cu),
                   inverse_channel(y, 132973 * cu));
}

uint32_t yiq_to_rgb(int32_t y, int32_t i, int32_t q)
{
    int64_t ci = i, cq = q;
    return word_of(inverse_channel(y, 62187 * ci + 42998 * cq),
                   inverse_channel(y, -17334 * ci - 44872 * cq),
                   inverse_channel(y, -73859 * ci + 118292 * cq));
}
