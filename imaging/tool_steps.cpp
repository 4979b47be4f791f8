// tool_steps.cpp - see tool_steps.h.
#include "imaging/tool_steps.h"

#include <math.h>
#include <string.h>

int32_t circle_radius(int32_t dx, int32_t dy)
{
    double x = dx, y = dy;
    return (int32_t)(sqrt(x * x + y * y) + 0.5);
}

void order_corners(int32_t *x1, int32_t *y1, int32_t *x2, int32_t *y2)
{
    if (*x1 > *x2) {
        int32_t t = *x1;
        *x1 = *x2;
        *x2 = t;
    }
    if (*y1 > *y2) {
        int32_t t = *y1;
        *y1 = *y2;
        *y2 = t;
    }
}

ToolFigure placement_figure(int32_t x, int32_t y, int32_t w, int32_t h)
{
    ToolFigure f = {FIGURE_PLACEMENT, x - w / 2, y - h / 2, 0, 0, 0, 0};
    f.x2 = f.x1 + w - 1;
    f.y2 = f.y1 + h - 1;
    f.diagonals = (w >= 9 && h >= 9) ? 1 : 0;
    return f;
}

int32_t client_to_image(int32_t client, int32_t zoom)
{
    if (zoom <= 0) return client;
    return (int32_t)((int64_t)client * 100 / zoom);
}

static bool two_point_tool(int kind)
{
    return kind == TOOL_BOX || kind == TOOL_LINE || kind == TOOL_CIRCLE;
}

void tool_start(ToolRun *run, int kind, int32_t width, int32_t height, int32_t place_w,
                int32_t place_h, int32_t mouse_x, int32_t mouse_y)
{
    memset(run, 0, sizeof *run);
    run->kind = kind;
    run->width = width;
    run->height = height;
    run->place_w = place_w;
    run->place_h = place_h;
    run->mouse_x = mouse_x;
    run->mouse_y = mouse_y;
}

void tool_move(ToolRun *run, int32_t x, int32_t y)
{
    run->mouse_x = x;
    run->mouse_y = y;
    if (!two_point_tool(run->kind) || run->stage != 1) return;
    if (run->kind == TOOL_CIRCLE) {
        run->r = circle_radius(x - run->x1, y - run->y1);
    } else {
        run->x2 = x;
        run->y2 = y;
    }
}

// A decided pick shows nothing; stage 2 marks it.
static int decide(ToolRun *run, int step)
{
    run->stage = 2;
    return step;
}

int tool_click(ToolRun *run, int32_t x, int32_t y)
{
    if (run->stage == 2) return TOOL_GOES_ON;
    if (!two_point_tool(run->kind)) {
        run->x1 = x;
        run->y1 = y;
        return decide(run, TOOL_COMPLETE);
    }
    if (run->stage == 0) {
        run->x1 = run->x2 = x;
        run->y1 = run->y2 = y;
        run->r = 0;
        run->stage = 1;
        return TOOL_SECOND_POINT;
    }
    if (run->kind == TOOL_CIRCLE) {
        run->r = circle_radius(x - run->x1, y - run->y1);
    } else {
        run->x2 = x;
        run->y2 = y;
        if (run->kind == TOOL_BOX) order_corners(&run->x1, &run->y1, &run->x2, &run->y2);
    }
    return decide(run, TOOL_COMPLETE);
}

int tool_cancel(ToolRun *run)
{
    if (run->stage == 2) return TOOL_GOES_ON;
    if (two_point_tool(run->kind) && run->stage == 1) {
        run->stage = 0;
        run->x1 = run->y1 = run->x2 = run->y2 = run->r = 0;
        return TOOL_RESTARTED;
    }
    return decide(run, TOOL_CANCELLED);
}

ToolFigure tool_figure(const ToolRun *run)
{
    ToolFigure f = {FIGURE_NONE, 0, 0, 0, 0, 0, 0};
    if (run->stage == 2) return f;
    switch (run->kind) {
    case TOOL_ROW:
        f = {FIGURE_LINE, 0, run->mouse_y, run->width - 1, run->mouse_y, 0, 0};
        break;
    case TOOL_COLUMN:
        f = {FIGURE_LINE, run->mouse_x, 0, run->mouse_x, run->height - 1, 0, 0};
        break;
    case TOOL_PLACEMENT:
        f = placement_figure(run->mouse_x, run->mouse_y, run->place_w, run->place_h);
        break;
    case TOOL_BOX:
    case TOOL_LINE:
        if (run->stage == 1)
            f = {run->kind == TOOL_BOX ? FIGURE_BOX : FIGURE_LINE, run->x1, run->y1, run->x2, run->y2, 0, 0};
        break;
    case TOOL_CIRCLE:
        if (run->stage == 1) f = {FIGURE_CIRCLE, run->x1, run->y1, 0, 0, run->r, 0};
        break;
    default:
        break;
    }
    return f;
}

bool same_figure(const ToolFigure &a, const ToolFigure &b)
{
    if (a.kind != b.kind) return false;
    if (a.kind == FIGURE_NONE) return true;
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 && a.r == b.r &&
           a.diagonals == b.diagonals;
}
