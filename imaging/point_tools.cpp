// point_tools.cpp - the point-picking tools. Each one prompts in the Main window's status line,
// shows an inverting rubber band on the tool window and pumps the worker thread's messages
// until the user clicks, cancels, presses Stop or closes the window. The rubber band is always
// erased before the tool returns, so the picture is left exactly as it was.
#include "imaging/tools.h"

#include <windowsx.h>

#include "core/core.h"
#include "imagewin/imagewin.h"
#include "imaging/tool_steps.h"

ToolCapture tool_capture = {-1, 0, 0, 0, 0, 0, 0, 0, 0};  // worker thread

static const ToolFigure NO_FIGURE = {FIGURE_NONE, 0, 0, 0, 0, 0, 0};

// Inverts figure f on window n, whatever window is current meanwhile.
static void xor_figure(int n, const ToolFigure &f)
{
    if (f.kind == FIGURE_NONE) return;
    int current = current_image_window;
    current_image_window = n;
    switch (f.kind) {
    case FIGURE_LINE: xor_line(f.x1, f.y1, f.x2, f.y2); break;
    case FIGURE_BOX: xor_box(f.x1, f.y1, f.x2, f.y2); break;
    case FIGURE_CIRCLE: xor_circle(f.x1, f.y1, f.r); break;
    case FIGURE_PLACEMENT:
        xor_box(f.x1, f.y1, f.x2, f.y2);
        if (f.diagonals) {
            xor_line(f.x1 + 1, f.y1 + 1, f.x2 - 1, f.y2 - 1);
            xor_line(f.x2 - 1, f.y1 + 1, f.x1 + 1, f.y2 - 1);
        }
        break;
    default: break;
    }
    current_image_window = current;
}

// Replaces the figure shown on window n by wanted: the old one is inverted back first.
static void show_figure(int n, ToolFigure *shown, const ToolFigure &wanted)
{
    if (same_figure(*shown, wanted)) return;
    xor_figure(n, *shown);
    xor_figure(n, wanted);
    *shown = wanted;
    invalidate_image(n);
}

// Hands the flags the procedure set during the last pump to the run; a click wins over a
// cancel that came in the same pump.
static int take_tool_events(ToolRun *run)
{
    if (tool_capture.moved) {
        tool_capture.moved = 0;
        tool_move(run, tool_capture.mouse_x, tool_capture.mouse_y);
    }
    if (tool_capture.clicked) {
        tool_capture.clicked = 0;
        tool_capture.cancel = 0;
        return tool_click(run, tool_capture.click_x, tool_capture.click_y);
    }
    if (tool_capture.cancel) {
        tool_capture.cancel = 0;
        return tool_cancel(run);
    }
    return TOOL_GOES_ON;
}

static bool two_point_kind(int kind)
{
    return kind == TOOL_BOX || kind == TOOL_LINE || kind == TOOL_CIRCLE;
}

// The common course of every tool: 0 picked, 1 cancelled, 2 bad window. An interrupted pick
// (Stop, or the tool window closed) counts as cancelled; its rubber band is erased unless the
// window and its pixels are gone.
static int run_tool(int n, int kind, int32_t place_w, int32_t place_h, ToolRun *run)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return 2;
    HWND window = e->hwnd;
    tool_start(run, kind, e->width, e->height, place_w, place_h, tool_capture.mouse_x,
               tool_capture.mouse_y);
    set_status_text(two_point_kind(kind) ? "Click the first point" : "Click a point");
    DragAcceptFiles(main_window, FALSE);
    select_current_window(n);
    tool_capture.tool_window = n;
    tool_capture.moved = tool_capture.clicked = tool_capture.cancel = 0;  // nothing stale
    run_state.stop_requested = 0;
    pick_in_progress = 1;

    ToolFigure shown = NO_FIGURE;
    show_figure(n, &shown, tool_figure(run));
    int answer = -1;
    while (answer < 0) {
        KAV_PumpMessages();
        if (!live_image_window(n) || image_windows[n].hwnd != window) {
            shown = NO_FIGURE;  // the pixels went with the window
            answer = 1;
            break;
        }
        if (run_state.stop_requested) {
            answer = 1;
            break;
        }
        int step = take_tool_events(run);
        if (step == TOOL_SECOND_POINT) set_status_text("Click the second point");
        if (step == TOOL_RESTARTED) set_status_text("Click the first point");
        show_figure(n, &shown, tool_figure(run));
        if (step == TOOL_COMPLETE) answer = 0;
        else if (step == TOOL_CANCELLED) answer = 1;
        else KAV_WaitMessage();
    }
    show_figure(n, &shown, NO_FIGURE);
    end_tool();
    if (answer == 1) run->x1 = run->y1 = run->x2 = run->y2 = run->r = 0;
    return answer;
}

void end_tool(void)
{
    show_colour_depth_status();
    pick_in_progress = 0;
    tool_capture.tool_window = -1;
    // A running main routine keeps drops on the Main window refused until it returns.
    if (run_state.running == 0) DragAcceptFiles(main_window, TRUE);
}

// One-point tools: the click.
static int pick_one(int n, int kind, int32_t w, int32_t h, int32_t *x, int32_t *y)
{
    ToolRun run;
    int answer = run_tool(n, kind, w, h, &run);
    if (answer == 2) return 2;
    *x = run.x1;
    *y = run.y1;
    return answer;
}

int pick_point(int n, int32_t *x, int32_t *y) { return pick_one(n, TOOL_POINT, 0, 0, x, y); }
int pick_row(int n, int32_t *x, int32_t *y) { return pick_one(n, TOOL_ROW, 0, 0, x, y); }
int pick_column(int n, int32_t *x, int32_t *y) { return pick_one(n, TOOL_COLUMN, 0, 0, x, y); }

int pick_placement(int n, int32_t w, int32_t h, int32_t *x, int32_t *y)
{
    return pick_one(n, TOOL_PLACEMENT, w, h, x, y);
}

static int pick_two(int n, int kind, int32_t *x1, int32_t *y1, int32_t *x2, int32_t *y2)
{
    ToolRun run;
    int answer = run_tool(n, kind, 0, 0, &run);
    if (answer == 2) return 2;
    *x1 = run.x1;
    *y1 = run.y1;
    *x2 = run.x2;
    *y2 = run.y2;
    return answer;
}

int pick_box(int n, int32_t *x1, int32_t *y1, int32_t *x2, int32_t *y2)
{
    return pick_two(n, TOOL_BOX, x1, y1, x2, y2);
}

int pick_line(int n, int32_t *x1, int32_t *y1, int32_t *x2, int32_t *y2)
{
    return pick_two(n, TOOL_LINE, x1, y1, x2, y2);
}

int pick_circle(int n, int32_t *cx, int32_t *cy, int32_t *r)
{
    ToolRun run;
    int answer = run_tool(n, TOOL_CIRCLE, 0, 0, &run);
    if (answer == 2) return 2;
    *cx = run.x1;
    *cy = run.y1;
    *r = run.r;
    return answer;
}

void feed_tool_mouse(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (!pick_in_progress) return;
    int n = find_image_window(hwnd);
    if (n < 0 || n != tool_capture.tool_window) return;
    int32_t zoom = image_windows[n].zoom;
    int32_t x = client_to_image(GET_X_LPARAM(lparam), zoom);
    int32_t y = client_to_image(GET_Y_LPARAM(lparam), zoom);
    switch (msg) {
    case WM_MOUSEMOVE:
        tool_capture.mouse_x = x;
        tool_capture.mouse_y = y;
        tool_capture.moved = 1;
        break;
    case WM_LBUTTONDOWN:
        tool_capture.click_x = x;
        tool_capture.click_y = y;
        tool_capture.shift = (wparam & MK_SHIFT) ? 1 : 0;
        tool_capture.clicked = 1;
        wake_waiters();  // a pick may wait on another thread
        break;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        tool_capture.cancel = 1;
        wake_waiters();
        break;
    default: break;
    }
}
