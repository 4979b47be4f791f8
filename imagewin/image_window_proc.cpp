// image_window_proc.cpp - the window procedure of class "kav_iw": painting, closing, a frame
// that cannot be dragged to another size, tracking sizes that let the library size it freely,
// and the placement list on moves.
#include "imagewin/imagewin.h"

#include "core/core.h"

static void on_paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    paint_image_window(find_image_window(hwnd));
    EndPaint(hwnd, &ps);
}

static void on_close(HWND hwnd)
{
    int n = find_image_window(hwnd);
    if (n >= 0)
        destroy_image_window(n);
    else
        DestroyWindow(hwnd);  // not (or no longer) in the table: nothing else holds it
}

// The size changes only through zoom and re-creation: the proposed rectangle stays the current one.
static void on_sizing(HWND hwnd, RECT *proposed)
{
    GetWindowRect(hwnd, proposed);
}

// The system would hold the window between its default tracking sizes, which would cut a large
// window at the screen size and widen a tiny one. Image windows are sized only by the library:
// allow any client size from 1 x 1 up to twice the screen, the largest a window may be.
static void on_get_min_max_info(HWND hwnd, MINMAXINFO *info)
{
    DWORD style = (DWORD)GetWindowLongW(hwnd, GWL_STYLE);
    RECT smallest = {0, 0, 1, 1};
    RECT largest = {0, 0, 2 * GetSystemMetrics(SM_CXSCREEN), 2 * GetSystemMetrics(SM_CYSCREEN)};
    AdjustWindowRect(&smallest, style, FALSE);
    AdjustWindowRect(&largest, style, FALSE);
    info->ptMinTrackSize.x = smallest.right - smallest.left;
    info->ptMinTrackSize.y = smallest.bottom - smallest.top;
    info->ptMaxTrackSize.x = largest.right - largest.left;
    info->ptMaxTrackSize.y = largest.bottom - largest.top;
}

LRESULT CALLBACK image_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_PAINT:
        on_paint(hwnd);
        return 0;
    case WM_CLOSE:
        on_close(hwnd);
        return 0;
    case WM_SIZING:
        on_sizing(hwnd, (RECT *)lparam);
        return TRUE;
    case WM_GETMINMAXINFO:
        on_get_min_max_info(hwnd, (MINMAXINFO *)lparam);
        return 0;
    case WM_MOVE:
        rebuild_placement_list();
        return 0;
    case WM_MOVING:
        edge_snapping((RECT *)lparam, hwnd);
        return TRUE;
    default:
        return DefWindowProcW(hwnd, msg, wparam, lparam);
    }
}
