// tool_steps.h - the course of a point-picking tool as a plain state machine: which points it
// has taken, what it answers, and the rubber-band figure it shows after every mouse event.
// Platform-free; the Image window side pumps messages, feeds the events in and inverts the
// figures on the picture.
#ifndef KAV_TOOL_STEPS_H
#define KAV_TOOL_STEPS_H

#include <stdint.h>

enum ToolKind {
    TOOL_POINT,      // one click, no rubber band
    TOOL_ROW,        // one click, a horizontal line across the image at the mouse row
    TOOL_COLUMN,     // one click, a vertical line across the image at the mouse column
    TOOL_BOX,        // two clicks, a box outline from the first point to the mouse
    TOOL_LINE,       // two clicks, a line from the first point to the mouse
    TOOL_CIRCLE,     // two clicks, a circle centred on the first point through the mouse
    TOOL_PLACEMENT,  // one click, a w x h box centred on the mouse (diagonals from 9 x 9)
};

enum FigureKind { FIGURE_NONE, FIGURE_LINE, FIGURE_BOX, FIGURE_CIRCLE, FIGURE_PLACEMENT };

// One inverting figure: a line (x1, y1)-(x2, y2), a box outline with those corners, a circle
// centred on (x1, y1) with radius r, or a box outline with both inner diagonals when diagonals is 1.
struct ToolFigure {
    int kind;
    int32_t x1, y1, x2, y2;
    int32_t r;
    int diagonals;
};

// What an event did to the pick.
enum ToolStep {
    TOOL_GOES_ON,      // nothing decided; the prompt stays
    TOOL_SECOND_POINT, // the first point is taken: ask for the second
    TOOL_RESTARTED,    // the first point was dropped: ask for the first again
    TOOL_COMPLETE,     // the results are final
    TOOL_CANCELLED,    // the user gave up
};

struct ToolRun {
    int kind;                  // ToolKind
    int32_t width, height;     // the image's size, for the row and column lines
    int32_t place_w, place_h;  // the placement outline's size
    int stage;                 // two-point tools: 0 waiting for the first point, 1 for the second
    int32_t x1, y1, x2, y2;    // the results as they stand (see each tool)
    int32_t r;                 // circle radius
    int32_t mouse_x, mouse_y;  // where the figure follows the mouse
};

// Starts a pick; the results are 0 and the figure follows the last known mouse position.
void tool_start(ToolRun *run, int kind, int32_t width, int32_t height, int32_t place_w,
                int32_t place_h, int32_t mouse_x, int32_t mouse_y);
void tool_move(ToolRun *run, int32_t x, int32_t y);          // the mouse moved to (x, y)
int  tool_click(ToolRun *run, int32_t x, int32_t y);         // a left click at (x, y): a ToolStep
int  tool_cancel(ToolRun *run);                               // a right or middle click: a ToolStep
ToolFigure tool_figure(const ToolRun *run);                   // the figure to show now (NONE once decided)
bool same_figure(const ToolFigure &a, const ToolFigure &b);

// Radius of a circle through (dx, dy) from its centre: the integer part of the distance + 0.5.
int32_t circle_radius(int32_t dx, int32_t dy);
// Orders two corners so that x1 <= x2 and y1 <= y2.
void order_corners(int32_t *x1, int32_t *y1, int32_t *x2, int32_t *y2);
// The placement outline of a w x h picture centred on (x, y); diagonals from 9 x 9 on.
ToolFigure placement_figure(int32_t x, int32_t y, int32_t w, int32_t h);
// Image coordinate of a client coordinate at a zoom in percent, truncated.
int32_t client_to_image(int32_t client, int32_t zoom);

#endif
