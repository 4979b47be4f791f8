// interim_drawing.cpp - see interim_drawing.h.
#include "imaging/interim_drawing.h"

static void step_line(bool invert, uint32_t colour, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    pen_position.x = x2;
    pen_position.y = y2;
    auto at = [&](int32_t x, int32_t y) {
        if (invert) xor_pixel(x, y);
        else put_pixel(x, y, colour);
    };
    if (x1 == x2) {
        for (int32_t y = y1 < y2 ? y1 : y2; y <= (y1 < y2 ? y2 : y1); y++) at(x1, y);
        return;
    }
    if (y1 == y2) {
        for (int32_t x = x1 < x2 ? x1 : x2; x <= (x1 < x2 ? x2 : x1); x++) at(x, y1);
        return;
    }
    if (x1 > x2) {
        int32_t t = x1; x1 = x2; x2 = t;
        t = y1; y1 = y2; y2 = t;
    }
    int32_t sy = y2 > y1 ? 1 : -1, dx = x2 - x1, dy = y2 > y1 ? y2 - y1 : y1 - y2;
    int32_t x = x1, y = y1;
    at(x, y);
    if (dx >= dy) {
        int32_t e = (dx + 1) / 2;
        while (x != x2) {
            x++;
            e -= dy;
            if (e <= 0) { e += dx; y += sy; }
            at(x, y);
        }
    } else {
        int32_t e = (dy + 1) / 2;
        while (y != y2) {
            y += sy;
            e -= dx;
            if (e <= 0) { e += dy; x++; }
            at(x, y);
        }
    }
}

void draw_line(uint32_t colour, int32_t x1, int32_t y1, int32_t x2, int32_t y2) { step_line(false, colour, x1, y1, x2, y2); }
void xor_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { step_line(true, 0, x1, y1, x2, y2); }

void xor_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    int32_t xa = x1 < x2 ? x1 : x2, xb = x1 < x2 ? x2 : x1, ya = y1 < y2 ? y1 : y2, yb = y1 < y2 ? y2 : y1;
    for (int32_t x = xa; x <= xb; x++) xor_pixel(x, ya);
    if (yb != ya) for (int32_t x = xa; x <= xb; x++) xor_pixel(x, yb);
    if (yb - ya >= 2) {
        for (int32_t y = ya + 1; y < yb; y++) xor_pixel(xa, y);
        if (xb != xa) for (int32_t y = ya + 1; y < yb; y++) xor_pixel(xb, y);
    }
}

void xor_circle(int32_t cx, int32_t cy, int32_t r)
{
    int32_t limit = 5 * r / 7, i = 0, b = r, e = r;
    do {
        xor_plot(cx - i, cy + b);
        xor_plot(cx + i, cy - b);
        if (i != 0 && i != b) {
            xor_plot(cx + i, cy + b);
            xor_plot(cx - i, cy - b);
            xor_plot(cx + b, cy - i);
            xor_plot(cx - b, cy + i);
        }
        xor_plot(cx + b, cy + i);
        xor_plot(cx - b, cy - i);
        e -= 2 * i + 1;
        if (e <= 0) { e += 2 * b - 2; b--; }
        i++;
    } while (i <= limit && i <= b);
}

void draw_string(const char *s) { (void)s; }
