// text_window_proc.cpp - the window procedure of the class kav_twi: painting, resizing, the
// typed characters of line input, keyboard commands, the context menu and the About text.
#include "textwin/text_table.h"

#include <stdio.h>

#include "core/core.h"

#define KAV_COPY_ITEM_BYTES 64  // the menu's copy item, two numbers of up to 11 characters included

HMENU build_text_window_menu(int n)
{
    int current = (n == current_text_window) ? MFS_CHECKED : MFS_UNCHECKED;
    lock_text_table();
    TextWindowEntry *e = live_text_window(n);
    int log_state = e ? e->log_state : 0;
    unlock_text_table();

    char copy_item[KAV_COPY_ITEM_BYTES];  // 64 bytes; "&Copy KAVLIB%d%d.LOG\tCtrl+C" needs at most 45
    snprintf(copy_item, sizeof copy_item, "&Copy KAVLIB%d%d.LOG\tCtrl+C", instance_number, n);
    HMENU menu = CreatePopupMenu();
    add_menu_item(menu, 0, current, CMD_SELECT, "&Select\tCtrl+S");
    add_menu_item(menu, 1, MFS_ENABLED, CMD_WINDOW_INFO, "&Window Info.\tCtrl+W");
    add_menu_item(menu, 2, MFS_ENABLED, CMD_COMMAND_PROMPT, "Command");
    add_menu_separator(menu, 3);
    add_menu_item(menu, 4, log_state == 1 ? MFS_CHECKED : MFS_UNCHECKED, CMD_START_LOG, "Start Log");
    add_menu_item(menu, 5, log_state == 2 ? MFS_CHECKED : MFS_UNCHECKED, CMD_STOP_LOG, "Stop Log");
    add_menu_item(menu, 6, MFS_ENABLED, CMD_COPY_LOG, copy_item);
    add_menu_separator(menu, 7);
    add_menu_item(menu, 8, MFS_ENABLED, CMD_ABOUT, "&About KAVLIB\tCtrl+A");
    add_menu_separator(menu, 9);
    add_menu_item(menu, 10, MFS_ENABLED, CMD_DESTROY, "&Destroy\tCtrl+Q");
    return menu;
}

void show_about(void)
{
    KAV_PushTextColor(KAV_ABOUT_TEXT, KAV_ABOUT_BACK);
    KAV_Printf(" KAVLIB version %s \n", KAV_VERSION);
    KAV_Printf(" Window and image library \n");
    KAV_Printf(" Instance %d \n", instance_number);
    KAV_PopTextColor();
}

// A minimized window keeps its buffer, so that restoring it shows the text it had.
static void on_text_size(int n, WPARAM kind)
{
    if (n >= 0 && kind != SIZE_MINIMIZED) resize_text_window(n);
}

// A character typed with Ctrl alone is a command's control code, not text; with Ctrl and Alt
// held together it is text (AltGr, which many layouts need for @ \ { } [ ]).
static void on_text_char(int n, WPARAM unit)
{
    if (n < 0 || line_input_window == 0) return;
    if (ctrl_held() && GetKeyState(VK_MENU) >= 0) return;
    feed_typed_unit((wchar_t)unit);
}

// Keys while a line input runs: Up recalls the last line, Ctrl+V pastes; the rest is ignored.
static void line_input_key(WPARAM key)
{
    if (line_input_request != 0) return;
    if (key == VK_UP) request_line_input(1);
    else if (key == 'V' && ctrl_held()) request_line_input(2);
}

static void on_text_keydown(HWND hwnd, int n, WPARAM key)
{
    if (n < 0) return;
    if (line_input_window != 0) {
        line_input_key(key);
        return;
    }
    if (ctrl_held()) {
        int id = 0;
        switch (key) {
        case 'A': id = CMD_ABOUT; break;
        case 'C': id = CMD_COPY_LOG; break;
        case 'Q': id = CMD_DESTROY; break;
        case 'S': id = CMD_SELECT; break;
        case 'W': id = CMD_WINDOW_INFO; break;
        default: break;
        }
        if (id) PostMessageW(hwnd, WM_COMMAND, id, 0);
        return;
    }
    switch (key) {
    case 'X':
    case VK_ESCAPE:
    case 'S':
    case 'C': PostMessageW(main_window, WM_KEYDOWN, key, 0); break;
    case VK_SPACE:
        KAV_SelectTextWindow(n);
        KAV_CommandPrompt();
        break;
    default: break;
    }
}

static void on_text_command(int n, int id)
{
    if (n < 0) return;
    switch (id) {
    case CMD_DESTROY: KAV_CloseTextWindow(n); break;
    case CMD_ABOUT: show_about(); break;
    case CMD_START_LOG: KAV_StartLog(n); break;
    case CMD_STOP_LOG: KAV_StopLog(n); break;
    case CMD_COPY_LOG: KAV_CopyLog(n); break;
    case CMD_COMMAND_PROMPT: KAV_CommandPrompt(); break;
    case CMD_WINDOW_INFO:
        KAV_SelectTextWindow(n);
        window_information_report();
        break;
    case CMD_SELECT: KAV_SelectTextWindow(n); break;
    default: break;
    }
}

static void on_text_right_button(HWND hwnd, int n)
{
    if (n < 0 || line_input_window != 0 || pick_in_progress) return;
    HMENU menu = build_text_window_menu(n);
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, NULL);
    DestroyMenu(menu);
}

static LRESULT on_text_moving(HWND hwnd, LPARAM lparam)
{
    if (ctrl_held()) edge_snapping((RECT *)lparam, hwnd);
    return TRUE;
}

LRESULT CALLBACK text_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_CREATE: return 0;
    case WM_DESTROY: return 0;
    case WM_MOVE: rebuild_placement_list(); return 0;
    case WM_MOVING: return on_text_moving(hwnd, lparam);
    case WM_SIZE: on_text_size(find_text_window(hwnd), wparam); return 0;
    case WM_PAINT: paint_text_window(hwnd); return 0;
    case WM_TIMER: show_pending_text(hwnd, (UINT_PTR)wparam); return 0;
    case WM_KEYDOWN: on_text_keydown(hwnd, find_text_window(hwnd), wparam); return 0;
    case WM_CHAR: on_text_char(find_text_window(hwnd), wparam); return 0;
    case WM_COMMAND: on_text_command(find_text_window(hwnd), LOWORD(wparam)); return 0;
    case WM_CLOSE: KAV_CloseTextWindow(find_text_window(hwnd)); return 0;
    case WM_RBUTTONDOWN: on_text_right_button(hwnd, find_text_window(hwnd)); return 0;
    default: return DefWindowProcW(hwnd, msg, wparam, lparam);
    }
}
