// button_box.cpp - the one Button box: a grid of push buttons whose presses the application
// counts through button_presses. Opening, closing, labels and the rename dialogue.
#include "boxes/boxes.h"

#include <stdio.h>

#include "core/core.h"

//------------------------------------------------------------------------------------------------
// Button box globals: all owned by the worker thread, which creates the box and pumps its messages.
//------------------------------------------------------------------------------------------------
HWND button_box_window;                      // worker: the box, NULL when there is none
int button_columns;                          // worker: NX of the box
int button_rows;                             // worker: NY of the box
int button_count;                            // worker: NX x NY while the box exists, else 0
int button_width = BUTTON_START_WIDTH;       // worker: kept from one box to the next
int button_height = BUTTON_START_HEIGHT;     // worker: kept from one box to the next
HWND buttons[KAV_MAX_BUTTONS];               // worker: the BUTTON children
int button_presses[KAV_MAX_BUTTONS];         // worker (box procedure) and the application

#define BUTTON_BOX_STYLE (WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME)
#define BUTTON_LABEL_UNITS 512   // UTF-16 units of a button label read for renaming
#define BUTTON_NUMBER_UNITS 16   // UTF-16 units of a first label "%d" (0..255), terminator included

static void create_buttons(void)
{
    for (int i = 0; i < button_count; i++) {
        int x, y;
        button_position(i, button_columns, button_width, button_height, &x, &y);
        wchar_t label[BUTTON_NUMBER_UNITS];
        swprintf(label, BUTTON_NUMBER_UNITS, L"%d", i);
        buttons[i] = CreateWindowExW(0, L"BUTTON", label, WS_CHILD | WS_VISIBLE | BS_MULTILINE, x, y,
                                     button_width, button_height, button_box_window,
                                     (HMENU)(INT_PTR)(BUTTON_ID_BASE + i), module_instance, NULL);
        button_presses[i] = 0;
    }
}

void KAV_OpenButtonBox(int x, int y, int columns, int rows)
{
    if (button_box_window) return;
    if (!button_grid_valid(columns, rows)) return;
    button_columns = columns;
    button_rows = rows;

    RECT outer;
    int client_width, client_height;
    button_box_client_size(columns, rows, button_width, button_height, &client_width, &client_height);
    SetRect(&outer, 0, 0, client_width, client_height);
    AdjustWindowRect(&outer, BUTTON_BOX_STYLE, FALSE);
    RECT area;
    work_area(&area);
    HWND hwnd = CreateWindowExW(0, L"kav_bb", L"ButtonBox", BUTTON_BOX_STYLE, x + area.left,
                                y + area.top, outer.right - outer.left, outer.bottom - outer.top,
                                main_window, NULL, module_instance, NULL);
    if (!hwnd) return;
    button_box_window = hwnd;
    button_count = columns * rows;
    create_buttons();
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
}

void KAV_CloseButtonBox(void)
{
    if (!button_box_window) return;
    HWND hwnd = button_box_window;
    button_box_window = NULL;
    button_count = 0;
    for (int i = 0; i < KAV_MAX_BUTTONS; i++) buttons[i] = NULL;
    if (!DestroyWindow(hwnd))
        MessageBoxW(main_window, L"DestroyWindow[BB] error", L"KAVLIB error!", MB_OK | MB_ICONERROR);
}

void KAV_SetButtonBoxTitle(int i, const char *label)
{
    if (!button_box_window || !label) return;
    if (i < 0 || i >= button_count) return;
    set_window_text(buttons[i], label);
}

void KAV_RenameButton(int i)
{
    if (!button_box_window || i < 0 || i >= button_count) return;
    HWND box = button_box_window;
    char line[KAV_LINE_BYTES];
    if (!ask_new_label(i, buttons[i], BUTTON_LABEL_UNITS, line)) return;
    // The line input pumped messages: the box may have been closed or replaced meanwhile.
    if (button_box_window != box || i >= button_count) return;
    set_window_text(buttons[i], line);
}

void KAV_ResizeButtonBox(int width, int height)
{
    if (!button_box_window || width < 0 || height < 0) return;
    RECT outer;
    SetRect(&outer, 0, 0, width, height);
    AdjustWindowRect(&outer, BUTTON_BOX_STYLE, FALSE);
    // The new client size arrives as WM_SIZE, which recomputes and places the buttons.
    SetWindowPos(button_box_window, NULL, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int KAV_ButtonCount(void)
{
    return button_box_window ? button_count : 0;
}

void lay_out_button_box(void)
{
    for (int i = 0; i < button_count; i++) {
        if (!buttons[i]) continue;
        int x, y;
        button_position(i, button_columns, button_width, button_height, &x, &y);
        SetWindowPos(buttons[i], NULL, x, y, button_width, button_height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
