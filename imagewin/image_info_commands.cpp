// image_info_commands.cpp - the "Information..." commands and Clipping: the pixel readout in
// the text window, the row profiles and Cb-Cr scatters in new graph windows, and a picked
// rectangle copied into a new image window.
#include "imagewin/image_commands.h"

#include <stdio.h>
#include <stdlib.h>

#include "core/core.h"
#include "imagewin/imagewin.h"
#include "imaging/graphs.h"

#define KAV_GRAPH_NAME_BYTES 64  // "CrCb(%d,%d)-(%d,%d)" with four numbers of up to 11 characters

// Prints the picked pixel of window n in every colour model into the text window.
static void pixel_command(int n)
{
    int32_t x, y;
    if (pick_point(n, &x, &y) != 0) return;
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return;
    bool eight_bit = e->bits_per_pixel == 8;
    uint32_t v = (uint32_t)get_pixel(x, y);  // window n is current after the pick
    KAV_ShowTextWindow();
    KAV_Printf("(X,Y)=(%d,%d)\n", x, y);
    if (eight_bit) {
        KAV_Printf("(Luminance)=(%d)\n\n", (int)v);
        return;
    }
    KAV_YCrCb ycc = to_ycrcb(v);
    KAV_Yuv yuv = to_yuv(v);
    KAV_Yiq yiq = to_yiq(v);
    KAV_Printf("(R,G,B)=(%d,%d,%d)\n", (int)(v >> 16 & 0xFF), (int)(v >> 8 & 0xFF), (int)(v & 0xFF));
    KAV_Printf("(H,S,V)=(%d,%d,%d)\n", hue_of(v), saturation_of(v), value_of(v));
    KAV_Printf("(Y,Cr,Cb)=(%d,%d,%d)\n", ycc.y, ycc.cr, ycc.cb);
    KAV_Printf("(Y,u,v)=(%d,%d,%d)\n", yuv.y, yuv.u, yuv.v);
    KAV_Printf("(Y,I,Q)=(%d,%d,%d)\n\n", yiq.y, yiq.i, yiq.q);
}

// The row profiles and the row scatter: what each draws, its title and the depth it reads.
struct RowGraph {
    int id;
    const char *title;      // with the row number
    int profile;            // ProfileKind, or -1 for the Cb-Cr scatter
    int source_bits;        // depth of the windows it reads
};

static const RowGraph row_graphs[] = {
    {IMG_LINE_RGB, "RGB(Y=%d)", PROFILE_RGB_GRAPH, 32},
    {IMG_LINE_HSV, "HSV(Y=%d)", PROFILE_HSV_GRAPH, 32},
    {IMG_LINE_YCRCB, "YCrCb(Y=%d)", PROFILE_YCRCB_GRAPH, 32},
    {IMG_LINE_LUMI, "Luminance(Y=%d)", PROFILE_LUMI_GRAPH, 8},
    {IMG_LINE_CRCB, "CrCb(Y=%d)", -1, 32},
};

// A picked row of window n drawn in a new graph window. A graph of the other depth's channels
// would read the row's elements as the wrong type, so each graph reads only its own depth.
static void row_graph_command(int n, const RowGraph &g)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e || e->bits_per_pixel != g.source_bits) return;
    int32_t x, y;
    if (pick_row(n, &x, &y) != 0) return;
    e = live_image_window(n);
    if (!e) return;
    int32_t width = e->width;
    uint32_t *row = (uint32_t *)calloc((size_t)width, sizeof(uint32_t));  // words or bytes
    if (!row) return;
    read_row(row, y, width);
    char title[KAV_GRAPH_NAME_BYTES];
    snprintf(title, sizeof title, g.title, (int)y);
    int graph;
    if (g.profile < 0)
        graph = open_result_window(title, KAV_CRCB_GRAPH_SIZE, KAV_CRCB_GRAPH_SIZE, 32);
    else
        graph = open_result_window(title, width + profile_graph_margin(g.profile), KAV_GRAPH_ROWS, 32);
    if (graph >= 0) {
        if (g.profile < 0)
            plot_crcb_line(row, width);
        else
            draw_profile_graph(g.profile, row, width);
        invalidate_image(graph);
    }
    free(row);
}

// A picked rectangle of window n scattered in a new Cb-Cr graph window.
static void area_graph_command(int n)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e || e->bits_per_pixel != 32) return;
    int32_t x1, y1, x2, y2;
    if (pick_box(n, &x1, &y1, &x2, &y2) != 0) return;
    int32_t w = x2 - x1 + 1, h = y2 - y1 + 1;
    uint32_t *area = (uint32_t *)calloc((size_t)w * (size_t)h, sizeof(uint32_t));
    if (!area) return;
    read_rect(area, x1, y1, w, h);
    char title[KAV_GRAPH_NAME_BYTES];
    snprintf(title, sizeof title, "CrCb(%d,%d)-(%d,%d)", (int)x1, (int)y1, (int)x2, (int)y2);
    int graph = open_result_window(title, KAV_CRCB_GRAPH_SIZE, KAV_CRCB_GRAPH_SIZE, 32);
    if (graph >= 0) {
        plot_crcb_area(h, area, w);
        invalidate_image(graph);
    }
    free(area);
}

// A picked rectangle of window n copied into a new window of the same depth (and colours).
static void clipping_command(int n)
{
    int32_t x1, y1, x2, y2;
    if (pick_box(n, &x1, &y1, &x2, &y2) != 0) return;
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return;
    int bits = e->bits_per_pixel;
    char title[KAV_GRAPH_NAME_BYTES];
    snprintf(title, sizeof title, "(%d,%d)-(%d,%d)", (int)x1, (int)y1, (int)x2, (int)y2);
    int clip = open_result_window(title, x2 - x1 + 1, y2 - y1 + 1, bits);
    e = live_image_window(n);
    if (clip < 0 || !e) return;
    ImageWindowEntry *c = &image_windows[clip];
    if (bits == 8) {
        RGBQUAD table[256];
        UINT got = GetDIBColorTable(e->mem_dc, 0, 256, table);
        if (got > 0) SetDIBColorTable(c->mem_dc, 0, got, table);
    }
    BitBlt(c->mem_dc, 0, 0, c->width, c->height, e->mem_dc, x1, y1, SRCCOPY);
    GdiFlush();
    invalidate_image(clip);
}

bool run_information_command(HWND hwnd, int n, int id)
{
    for (const RowGraph &g : row_graphs) {
        if (g.id != id) continue;
        row_graph_command(n, g);
        return true;
    }
    switch (id) {
    case IMG_PIXEL: pixel_command(n); break;
    case IMG_AREA_CRCB: area_graph_command(n); break;
    case IMG_CLIPPING: clipping_command(n); break;
    default: return false;
    }
    return true;
}
