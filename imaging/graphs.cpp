// graphs.cpp - row profiles and Cb-Cr scatters drawn into the current image window, which the
// caller has just made as a black graph window.
#include "imaging/graphs.h"

#include "imagewin/imagewin.h"
#include "imaging/graph_math.h"

void read_row(void *buffer, int32_t y, int32_t count)
{
    ImageWindowEntry *e = live_image_window(current_image_window);
    if (!e || !buffer) return;
    for (int32_t i = 0; i < count; i++) {
        int32_t v = get_pixel(i, y);  // 0 outside the image
        if (e->bits_per_pixel == 32)
            ((uint32_t *)buffer)[i] = (uint32_t)v;
        else
            ((uint8_t *)buffer)[i] = (uint8_t)v;
    }
}

void plot_profile(const void *values, int32_t x0, int32_t count, int32_t flags, uint32_t colour)
{
    for (int32_t i = 0; i < count; i++) {
        int32_t x = x0 + i, y = profile_row(values, i, flags);
        if (flags & PROFILE_POINTS)
            plot(x, y, colour);
        else if (flags & PROFILE_POLYLINE) {
            if (i == 0)
                plot(x, y, colour);
            else
                draw_line(colour, pen_position.x, pen_position.y, x, y);
        }
    }
}

// Draws a label with the built-in font; the user's text colour, cursor and margin are kept.
static void draw_label(const char *text, int32_t x, int32_t baseline, uint32_t colour)
{
    uint32_t colour_before = kav_tc;
    KAV_Point cursor_before = text_cursor;
    int32_t margin_before = text_left_margin;
    text_cursor.x = x;
    text_cursor.y = baseline;
    text_left_margin = x;
    kav_tc = colour;
    draw_string(text);
    kav_tc = colour_before;
    text_cursor = cursor_before;
    text_left_margin = margin_before;
}

struct ProfileCurve {
    int32_t flags;
    uint32_t colour;
};
struct ProfileLabel {
    const char *text;
    int32_t x, baseline;
    uint32_t colour;
};
struct ProfileGraph {
    int32_t x0;  // graph column of the first sample
    int curves;
    ProfileCurve curve[3];
    ProfileLabel label[3];
};

// Indexed by ProfileKind.
static const ProfileGraph profile_graphs[] = {
    {12, 3, {{0x81, 0xFF0000}, {0x82, 0x00FF00}, {0x84, 0x0000FF}},
     {{"R", 2, 40, 0xFF0000}, {"G", 2, 72, 0x00FF00}, {"B", 2, 104, 0x0000FF}}},
    {12, 3, {{0x88, 0xFFFF00}, {0x90, 0xFF00FF}, {0xA0, 0x00FFFF}},
     {{"H", 2, 40, 0xFFFF00}, {"S", 2, 72, 0xFF00FF}, {"V", 2, 104, 0x00FFFF}}},
    {20, 3, {{0x180, 0xFFFFFF}, {0x280, 0xFF8888}, {0x480, 0x8888FF}},
     {{"Y", 4, 40, 0xFFFFFF}, {"Cr", 2, 72, 0xFF8888}, {"Cb", 2, 104, 0x8888FF}}},
    {12, 1, {{0x1080, 0xFFFFFF}}, {{"L", 2, 40, 0xFFFFFF}}},
};

int32_t profile_graph_margin(int kind)
{
    if (kind < 0 || kind > PROFILE_LUMI_GRAPH) return 0;
    return profile_graphs[kind].x0;
}

void draw_profile_graph(int kind, const void *values, int32_t count)
{
    if (kind < 0 || kind > PROFILE_LUMI_GRAPH) return;
    const ProfileGraph &g = profile_graphs[kind];
    for (int i = 0; i < g.curves; i++) plot_profile(values, g.x0, count, g.curve[i].flags, g.curve[i].colour);
    for (int i = 0; i < g.curves; i++) draw_label(g.label[i].text, g.label[i].x, g.label[i].baseline, g.label[i].colour);
}

// The grey axes through (128, 128) and the two labels.
static void draw_crcb_frame(void)
{
    draw_line(0x808080, 0, 128, 256, 128);
    draw_line(0x808080, 128, 0, 128, 256);
    draw_label("Cr", 110, 16, 0xFF8888);
    draw_label("Cb", 238, 144, 0x8888FF);
}

// One polyline through the points of count pixels; colour_flip toggles the colour after each point.
static void crcb_polyline(const uint32_t *values, int32_t count, uint32_t colour, uint32_t colour_flip)
{
    for (int32_t i = 0; i < count; i++) {
        int32_t x, y;
        crcb_point(values[i], &x, &y);
        if (i == 0)
            plot(x, y, colour);
        else
            draw_line(colour, pen_position.x, pen_position.y, x, y);
        colour ^= colour_flip;
    }
}

void plot_crcb_line(const uint32_t *values, int32_t count)
{
    draw_crcb_frame();
    crcb_polyline(values, count, 0xFFFFFF, 0x00FF00);  // white, then magenta segments first
}

void plot_crcb_area(int32_t rows, const uint32_t *values, int32_t columns)
{
    draw_crcb_frame();
    if (columns <= 0) return;
    for (int32_t j = 0; j < rows; j++) crcb_polyline(values + (size_t)j * (size_t)columns, columns, 0xFFFFFF, 0);
}
