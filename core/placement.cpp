// placement.cpp - the placement list: a snapshot of every library window's rectangle and the
// work area's walls, against which a window dragged with Ctrl held snaps its edges.
#include "core/core.h"

#include "boxes/boxes.h"
#include "core/edge_snap.h"
#include "imagewin/imagewin.h"
#include "textwin/textwin.h"

// Rebuilt and read by both threads: the Main window on the GUI thread, every other window on
// the worker thread. The lock keeps a rebuild and a snap from seeing each other half done.
static KAV_PlacementList placement_list;
static SRWLOCK placement_lock = SRWLOCK_INIT;

static KAV_Rect to_kav_rect(const RECT &r) { return {r.left, r.top, r.right, r.bottom}; }

static void append_window(HWND hwnd)
{
    RECT r;
    if (hwnd && GetWindowRect(hwnd, &r)) placement_append(&placement_list, to_kav_rect(r));
}

void rebuild_placement_list(void)
{
    RECT area;
    work_area(&area);
    AcquireSRWLockExclusive(&placement_lock);
    placement_begin(&placement_list, to_kav_rect(area));
    for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++)
        if (image_windows[n].in_use) append_window(image_windows[n].hwnd);
    for (int n = 0; n < KAV_MAX_TEXT_WINDOWS; n++) append_window(text_window_handle(n));
    append_window(input_box_window);
    append_window(button_box_window);
    append_window(main_window);
    ReleaseSRWLockExclusive(&placement_lock);
}

void edge_snapping(RECT *proposed, HWND moving)
{
    if (!ctrl_held()) return;
    RECT current;
    if (!GetWindowRect(moving, &current)) return;
    KAV_Rect r = to_kav_rect(*proposed);
    AcquireSRWLockShared(&placement_lock);
    snap_rectangle(&placement_list, to_kav_rect(current), &r);
    ReleaseSRWLockShared(&placement_lock);
    SetRect(proposed, r.left, r.top, r.right, r.bottom);
}
