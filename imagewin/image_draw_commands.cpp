// image_draw_commands.cpp - the processing menu's drawing commands: lines, boxes, circles,
// the fill, built-in and TrueType text, and the colour pick, each asking for its points with a
// point-picking tool on the clicked window (a cancelled pick draws nothing); and the test
// patterns and whole-image operations of the "Test Pattern..." and "Process..." submenus.
#include "imagewin/image_commands.h"

#include "imagewin/imagewin.h"

// After a line was read in the text window, window n is made current again for the drawing:
// false when it was closed meanwhile.
static bool back_to(int n)
{
    if (!live_image_window(n)) return false;
    if (current_image_window != n) select_current_window(n);
    return true;
}

// Prints "Text>" in the text window, reads one line and puts the text cursor and the left
// margin at (x, baseline) of window n, current again; false when n was closed meanwhile.
static bool read_text_for(int n, int32_t x, int32_t baseline, char line[KAV_LINE_BYTES])
{
    KAV_ShowTextWindow();
    KAV_Printf("Text>");
    KAV_InputText(line);
    if (!back_to(n)) return false;
    text_cursor.x = x;
    text_cursor.y = baseline;
    text_left_margin = x;
    return true;
}

static void line_command(int n, int id)
{
    ImageWindowEntry *e = live_image_window(n);
    int32_t x1, y1, x2, y2;
    switch (id) {
    case IMG_DRAW_LINE:
        if (pick_line(n, &x1, &y1, &x2, &y2) != 0) return;
        draw_line(drawing_colour, x1, y1, x2, y2);
        break;
    case IMG_DRAW_ROW:
        if (pick_row(n, &x1, &y1) != 0) return;
        draw_line(drawing_colour, 0, y1, e->width - 1, y1);
        break;
    case IMG_DRAW_COLUMN:
        if (pick_column(n, &x1, &y1) != 0) return;
        draw_line(drawing_colour, x1, 0, x1, e->height - 1);
        break;
    default: return;
    }
    invalidate_image(n);
}

static void box_command(int n, int id)
{
    int32_t x1, y1, x2, y2;
    if (pick_box(n, &x1, &y1, &x2, &y2) != 0) return;
    if (id == IMG_DRAW_BOX) draw_box(x1, y1, x2, y2);
    else if (id == IMG_FILL_BOX) fill_box(x1, y1, x2, y2);
    else xor_fill_box(x1, y1, x2, y2);
    invalidate_image(n);
}

static void circle_command(int n, int id)
{
    int32_t cx, cy, r;
    if (pick_circle(n, &cx, &cy, &r) != 0) return;
    if (id == IMG_DRAW_CIRCLE) draw_circle(drawing_colour, cx, cy, r);
    else if (id == IMG_FILL_CIRCLE) fill_circle(cx, cy, r);
    else xor_fill_circle(cx, cy, r);
    invalidate_image(n);
}

static void paint_command(int n)
{
    int32_t x, y;
    if (pick_point(n, &x, &y) != 0) return;
    paint(x, y);
    invalidate_image(n);
}

// Built-in font text in the drawing colour, starting at a picked point.
static void text_command(int n)
{
    int32_t x, y;
    if (pick_point(n, &x, &y) != 0) return;
    char line[KAV_LINE_BYTES];
    if (!read_text_for(n, x, y, line)) return;
    kav_tc = drawing_colour;
    draw_printf("%s", line);
    invalidate_image(n);
}

// TrueType text with a font that fills a picked box, its baseline on the box's bottom edge.
static void truetype_command(int n)
{
    int32_t x1, y1, x2, y2;
    if (pick_box(n, &x1, &y1, &x2, &y2) != 0) return;
    char line[KAV_LINE_BYTES];
    if (!read_text_for(n, x1, y2, line)) return;
    create_font(x2 - x1 + 1, y2 - y1 + 1);
    draw_truetype_text(line);
    invalidate_image(n);
}

// The drawing colour from a picked pixel; TrueType text takes the colour it shows.
static void colour_pick_command(int n)
{
    int32_t x, y;
    if (pick_point(n, &x, &y) != 0) return;
    ImageWindowEntry *e = live_image_window(n);
    uint32_t v = (uint32_t)get_pixel(x, y);
    drawing_colour = v;
    if (e->bits_per_pixel == 32) {
        kav_tttc = v;
        return;
    }
    RGBQUAD entry;
    if (GetDIBColorTable(e->mem_dc, v & 0xFF, 1, &entry) == 1)
        kav_tttc = (uint32_t)entry.rgbRed << 16 | (uint32_t)entry.rgbGreen << 8 | entry.rgbBlue;
}

struct PatternCommand {
    int id;
    void (*fill)(void);
};
static const PatternCommand pattern_commands[] = {
    {IMG_PATTERN_RGB, pattern_rgb}, {IMG_PATTERN_HSV, pattern_hsv}, {IMG_PATTERN_YCRCB, pattern_ycrcb},
    {IMG_PATTERN_YUV, pattern_yuv}, {IMG_PATTERN_YIQ, pattern_yiq}, {IMG_PATTERN_GREY, pattern_grey},
};

// Scale factors of the "Size" items, per mille.
struct SizeCommand {
    int id;
    int per_mille;
};
static const SizeCommand size_commands[] = {
    {IMG_SIZE_50, 500}, {IMG_SIZE_70, 707}, {IMG_SIZE_141, 1414}, {IMG_SIZE_200, 2000},
};

// The "Test Pattern..." and "Process..." items; false for an id of another group.
static bool run_whole_image_command(int n, int id)
{
    for (const PatternCommand &p : pattern_commands) {
        if (p.id != id) continue;
        select_current_window(n);
        p.fill();
        invalidate_image(n);
        return true;
    }
    for (const SizeCommand &c : size_commands) {
        if (c.id != id) continue;
        select_current_window(n);
        scale_image(n, c.per_mille);
        return true;
    }
    switch (id) {
    case IMG_INVERT: invert_image(n); break;
    case IMG_FLIP_HORIZONTAL: flip_horizontal(n); break;
    case IMG_FLIP_VERTICAL: flip_vertical(n); break;
    case IMG_ROTATE_RIGHT:
        select_current_window(n);
        rotate_right(n);
        break;
    case IMG_ROTATE_LEFT:
        select_current_window(n);
        rotate_left(n);
        break;
    default: return false;
    }
    return true;
}

bool run_drawing_command(HWND hwnd, int n, int id)
{
    if (run_whole_image_command(n, id)) return true;
    switch (id) {
    case IMG_DRAW_LINE:
    case IMG_DRAW_ROW:
    case IMG_DRAW_COLUMN: line_command(n, id); break;
    case IMG_DRAW_BOX:
    case IMG_FILL_BOX:
    case IMG_XOR_FILL_BOX: box_command(n, id); break;
    case IMG_DRAW_CIRCLE:
    case IMG_FILL_CIRCLE:
    case IMG_XOR_FILL_CIRCLE: circle_command(n, id); break;
    case IMG_PAINT: paint_command(n); break;
    case IMG_DRAW_TEXT: text_command(n); break;
    case IMG_TRUETYPE_DRAW: truetype_command(n); break;
    case IMG_COLOUR_PICK: colour_pick_command(n); break;
    default: return false;
    }
    return true;
}
