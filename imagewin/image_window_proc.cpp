// image_window_proc.cpp - the window procedure of class "kav_iw": painting, closing, a frame
// that cannot be dragged to another size, tracking sizes that let the library size it freely,
// the placement list on moves, keys, Ctrl + wheel zoom, dropped files, the mouse feed of the
// point-picking tools and the two popup menus. While a pick is in progress every image window
// refuses keys, menus, commands and drops: tools never nest, and nothing changes the picture
// under a rubber band.
#include "imagewin/imagewin.h"

#include <shellapi.h>
#include <windowsx.h>

#include "core/core.h"
#include "imagewin/image_commands.h"
#include "imagewin/image_keys.h"
#include "imaging/tools.h"
#include "textwin/textwin.h"

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

static void zoom_by_step(int n, bool in)
{
    ImageWindowEntry *e = live_image_window(n);
    if (e) set_zoom(n, in ? zoom_step_in(e->zoom) : zoom_step_out(e->zoom));
}

static void on_keydown(HWND hwnd, WPARAM key)
{
    int n = find_image_window(hwnd);
    if (n < 0 || pick_in_progress) return;
    int id = 0;
    switch (image_key_action((unsigned)key, ctrl_held(), &id)) {
    case KEY_POST_COMMAND: PostMessageW(hwnd, WM_COMMAND, (WPARAM)id, 0); break;
    case KEY_ZOOM_IN: zoom_by_step(n, true); break;
    case KEY_ZOOM_OUT: zoom_by_step(n, false); break;
    case KEY_ZOOM_100: set_zoom(n, 100); break;
    case KEY_TOGGLE_STRETCH:
        set_stretch_mode(n, get_stretch_mode(n) == COLORONCOLOR ? HALFTONE : COLORONCOLOR);
        break;
    case KEY_TO_MAIN: PostMessageW(main_window, WM_KEYDOWN, key, 0); break;
    default: break;
    }
}

// Right button (and the middle one, with the Ctrl bit): during a pick only the tool's cancel;
// otherwise the processing menu with Ctrl, the file menu without, unless a line input runs.
static void on_right_button(HWND hwnd, UINT msg, WPARAM keys, LPARAM lparam)
{
    if (pick_in_progress) {
        feed_tool_mouse(hwnd, msg, keys, lparam);
        return;
    }
    int n = find_image_window(hwnd);
    if (n < 0 || line_input_window != 0) return;
    HMENU menu = (keys & MK_CONTROL) ? build_processing_menu(n) : build_file_menu(n);
    if (!menu) return;
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, NULL);
    DestroyMenu(menu);
}

// Ctrl + wheel: turned toward the user zooms in, away zooms out.
static void on_mouse_wheel(HWND hwnd, WPARAM wparam)
{
    if (!(GET_KEYSTATE_WPARAM(wparam) & MK_CONTROL)) return;
    int delta = GET_WHEEL_DELTA_WPARAM(wparam);
    if (delta == 0) return;
    zoom_by_step(find_image_window(hwnd), delta < 0);
}

// The first dropped file's name in ANSI; false when it does not fit a path whole.
static bool first_dropped_name(HDROP drop, char name[KAV_PATH_BYTES])
{
    UINT units = DragQueryFileW(drop, 0, NULL, 0);
    if (units == 0 || units >= KAV_PATH_UNITS) return false;
    wchar_t wide[KAV_PATH_UNITS];
    if (DragQueryFileW(drop, 0, wide, KAV_PATH_UNITS) != units) return false;
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, name, KAV_PATH_BYTES, NULL, NULL) > 0;
}

// The first dropped file loads at (0, 0) into this window; the current window stays what it was.
static void on_drop_files(HWND hwnd, HDROP drop)
{
    int n = find_image_window(hwnd);
    char name[KAV_PATH_BYTES];
    bool take = n >= 0 && !pick_in_progress && first_dropped_name(drop, name);
    DragFinish(drop);
    if (!take) return;
    select_current_window(n);
    load_image_file(name, 0, 0);
    invalidate_image(n);
    restore_previous_window();
    SetForegroundWindow(hwnd);
}

static void on_command(HWND hwnd, int id)
{
    if (pick_in_progress) return;
    run_image_command(hwnd, id);
}

LRESULT CALLBACK image_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_CREATE:
    case WM_DESTROY:
        return 0;
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
    case WM_KEYDOWN:
        on_keydown(hwnd, wparam);
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
        feed_tool_mouse(hwnd, msg, wparam, lparam);
        return 0;
    case WM_RBUTTONDOWN:
        on_right_button(hwnd, msg, wparam, lparam);
        return 0;
    case WM_MBUTTONDOWN:
        on_right_button(hwnd, msg, wparam | MK_CONTROL, lparam);
        return 0;
    case WM_MOUSEWHEEL:
        on_mouse_wheel(hwnd, wparam);
        return 0;
    case WM_DROPFILES:
        on_drop_files(hwnd, (HDROP)wparam);
        return 0;
    case WM_COMMAND:
        on_command(hwnd, LOWORD(wparam));
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wparam, lparam);
    }
}
