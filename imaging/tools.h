// tools.h - the tool capture state that the point-picking tools share with the Image window
// procedure, and the procedure's mouse feed.
#ifndef KAV_TOOLS_H
#define KAV_TOOLS_H

#include <windows.h>
#include "kavlib.h"

//------------------------------------------------------------------------------------------------
// Tool capture state (worker thread: the tools and the Image window procedure). The procedure
// runs inside the tool's pump and sets the flags; the tool reads and clears them after the pump.
// Positions are image coordinates and are never reset, so a rubber band drawn before the first
// move starts where an earlier pick left the mouse.
//------------------------------------------------------------------------------------------------
struct ToolCapture {
    int32_t tool_window;       // number of the image window the tool waits on, -1 when none
    int32_t mouse_x, mouse_y;  // last mouse position over the tool window
    int32_t moved;             // 1 after a mouse move over the tool window
    int32_t click_x, click_y;  // last left-button press over the tool window
    int32_t clicked;           // 1 after that press
    int32_t shift;             // 1 when Shift was held at that press
    int32_t cancel;            // 1 after a right or middle press over the tool window
};
extern ToolCapture tool_capture;

// The Image window procedure's share: WM_MOUSEMOVE, WM_LBUTTONDOWN, and WM_RBUTTONDOWN (also
// for the middle button) while a pick is in progress. Acts only on the tool window.
void feed_tool_mouse(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

#endif
