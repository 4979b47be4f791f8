// input_box_proc.cpp - the window procedure of the Input box (class kav_ib): commits, focus,
// the fixed height, the width rules of its borders, and the rename and destroy menus.
#include "boxes/boxes.h"

#include <windowsx.h>

#include "core/core.h"

enum {
    CMD_DESTROY_INPUT_BOX = 1023,
    CMD_RENAME_ITEM = 1056,
};

static HWND focused_edit;        // worker: the edit field that last received the focus
static int sizing_edge;          // worker: the border of the last WM_SIZING
static int item_rename_target;   // worker: the item chosen by the last right-click

static bool is_item_edit(HWND hwnd)
{
    for (int i = 0; i < input_item_count; i++)
        if (hwnd && item_edits[i] == hwnd) return true;
    return false;
}

// The height cannot change: the proposed rectangle keeps the window's present top and bottom.
static LRESULT on_sizing(HWND hwnd, WPARAM edge, RECT *proposed)
{
    RECT now;
    GetWindowRect(hwnd, &now);
    proposed->top = now.top;
    proposed->bottom = now.bottom;
    sizing_edge = (int)edge;
    return TRUE;
}

static LRESULT on_size(WPARAM kind, LPARAM lparam)
{
    if (kind == SIZE_MINIMIZED) return 0;
    input_widths_after_size(sizing_edge, LOWORD(lparam), &label_width, &edit_width);
    lay_out_input_box();
    return 0;
}

// Handled alike for every activation state: the field the user left gets the focus back.
static LRESULT on_activate(void)
{
    if (!is_item_edit(focused_edit)) focused_edit = item_edits[0];
    if (!focused_edit) return 0;
    SetFocus(focused_edit);
    int length = GetWindowTextLengthW(item_edits[0]);
    PostMessageW(item_edits[0], EM_SETSEL, 0, length);
    return 0;
}

static LRESULT on_command(HWND hwnd, WPARAM wparam, LPARAM lparam)
{
    int code = HIWORD(wparam);
    int id = LOWORD(wparam);
    HWND control = (HWND)lparam;
    if (control && is_item_edit(control)) {
        if (code == EN_SETFOCUS) focused_edit = control;
        else if (code == EN_KILLFOCUS) commit_item_edit(control);
        return 0;
    }
    if (control) return 0;
    if (id == IDOK) commit_item_edit(focused_edit);  // Enter, through the dialog manager
    else if (id == CMD_DESTROY_INPUT_BOX) KAV_CloseInputBox();
    else if (id == CMD_RENAME_ITEM) KAV_RenameInputItem(item_rename_target);
    return 0;
}

static LRESULT on_right_button(HWND hwnd, LPARAM lparam)
{
    item_rename_target = item_under_point(GET_Y_LPARAM(lparam), input_item_count);
    if (item_rename_target < 0) return 0;  // below the last item: no item to rename
    show_one_item_menu(hwnd, CMD_RENAME_ITEM, "Rename");
    return 0;
}

static LRESULT on_double_click(LPARAM lparam)
{
    int i = item_under_point(GET_Y_LPARAM(lparam), input_item_count);
    if (i >= 0) KAV_RenameInputItem(i);
    return 0;
}

LRESULT CALLBACK input_box_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_MOVE: rebuild_placement_list(); return 0;
    case WM_MOVING: edge_snapping((RECT *)lparam, hwnd); return TRUE;
    case WM_SIZING: return on_sizing(hwnd, wparam, (RECT *)lparam);
    case WM_SIZE: return on_size(wparam, lparam);
    case WM_ACTIVATE: return on_activate();
    case WM_COMMAND: return on_command(hwnd, wparam, lparam);
    case WM_CLOSE: KAV_CloseInputBox(); return 0;
    case WM_NCRBUTTONDOWN: show_one_item_menu(hwnd, CMD_DESTROY_INPUT_BOX, "Destroy"); return 0;
    case WM_RBUTTONDOWN: return on_right_button(hwnd, lparam);
    case WM_LBUTTONDBLCLK: return on_double_click(lparam);
    case WM_DESTROY: return 0;
    default: return DefWindowProcW(hwnd, msg, wparam, lparam);
    }
}
