// button_box_proc.cpp - the window procedure of the Button box (class kav_bb): presses by click
// and digit key, the keys it hands to the Main window, its two popup menus and resizing.
#include "boxes/boxes.h"

#include <windowsx.h>

#include "core/core.h"

enum {
    CMD_DESTROY_BUTTON_BOX = 1050,
    CMD_RENAME_BUTTON = 1057,
};

static int button_rename_target;  // worker: the button chosen by the last right-click

static int button_at(LPARAM lparam)
{
    return button_under_point(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam), button_columns,
                              button_rows, button_width, button_height);
}

static LRESULT on_size(WPARAM kind, LPARAM lparam)
{
    if (kind == SIZE_MINIMIZED || button_columns <= 0 || button_rows <= 0) return 0;
    button_width = button_side_from_client(LOWORD(lparam), button_columns);
    button_height = button_side_from_client(HIWORD(lparam), button_rows);
    lay_out_button_box();
    return 0;
}

static LRESULT on_right_button(HWND hwnd, LPARAM lparam)
{
    button_rename_target = button_at(lparam);
    show_one_item_menu(hwnd, CMD_RENAME_BUTTON, "Rename");
    return 0;
}

// Keys the Main window answers (Exit, Start, Stop) are handed to it.
static void forward_to_main_window(WPARAM key)
{
    PostMessageW(main_window, WM_KEYDOWN, key, 0);
}

static LRESULT on_command(HWND hwnd, WPARAM wparam, LPARAM lparam)
{
    if (HIWORD(wparam) != 0) return 0;
    int id = LOWORD(wparam);
    // Esc reaches a dialog-managed box as IDCANCEL instead of a key message.
    if (id == IDCANCEL && lparam == 0) {
        forward_to_main_window(VK_ESCAPE);
        return 0;
    }
    SetFocus(hwnd);  // so that digit keys reach the box after a click
    if (id >= BUTTON_ID_BASE && id < BUTTON_ID_BASE + button_count) {
        button_presses[id - BUTTON_ID_BASE]++;
        wake_waiters();  // the application may be asleep in a wait
    } else if (id == CMD_DESTROY_BUTTON_BOX) {
        KAV_CloseButtonBox();
    } else if (id == CMD_RENAME_BUTTON) {
        KAV_RenameButton(button_rename_target);
    }
    return 0;
}

static LRESULT on_keydown(HWND hwnd, WPARAM key)
{
    if (ctrl_held()) {
        if (key == 'Q') PostMessageW(hwnd, WM_CLOSE, 0, 0);
        return 0;
    }
    if (key == 'X' || key == VK_ESCAPE || key == 'S' || key == 'C') {
        forward_to_main_window(key);
    } else if (key >= '0' && key <= '9') {
        button_presses[key - '0']++;
        wake_waiters();
    } else if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
        button_presses[key - VK_NUMPAD0]++;
        wake_waiters();
    }
    return 0;
}

LRESULT CALLBACK button_box_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_MOVE: rebuild_placement_list(); return 0;
    case WM_MOVING: edge_snapping((RECT *)lparam, hwnd); return TRUE;
    case WM_SIZE: return on_size(wparam, lparam);
    case WM_NCRBUTTONDOWN: show_one_item_menu(hwnd, CMD_DESTROY_BUTTON_BOX, "&Destroy\tCtrl+Q"); return 0;
    case WM_RBUTTONDOWN: return on_right_button(hwnd, lparam);
    case WM_LBUTTONDBLCLK: KAV_RenameButton(button_at(lparam)); return 0;
    case WM_COMMAND: return on_command(hwnd, wparam, lparam);
    case WM_KEYDOWN: return on_keydown(hwnd, wparam);
    case WM_CLOSE: KAV_CloseButtonBox(); return 0;
    case WM_DESTROY: return 0;
    default: return DefWindowProcW(hwnd, msg, wparam, lparam);
    }
}
