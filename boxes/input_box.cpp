// input_box.cpp - the one Input box: a column of labelled edit fields whose committed texts the
// application reads from item_values. Opening, closing, commits, labels and the rename dialogue.
#include "boxes/boxes.h"

#include <stdio.h>
#include <stdlib.h>

#include "core/core.h"

//------------------------------------------------------------------------------------------------
// Input box globals: all owned by the worker thread, which creates the box and pumps its messages.
//------------------------------------------------------------------------------------------------
HWND input_box_window;                   // worker: the box, NULL when there is none
int input_item_count;                    // worker: items of the box, 0 without a box
int label_width = LABEL_START_WIDTH;     // worker: kept from one box to the next
int edit_width = EDIT_START_WIDTH;       // worker: kept from one box to the next
HWND item_labels[KAV_MAX_ITEMS];         // worker: STATIC children
HWND item_edits[KAV_MAX_ITEMS];          // worker: EDIT children
// Committed text of item i: a KAV_ITEM_BYTES block while item i exists, NULL otherwise, so that
// no pointer to a freed block is ever left for the application to read.
char *item_values[KAV_MAX_ITEMS];        // worker (commits) and the application (reads)

#define INPUT_BOX_STYLE (WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME)
#define ITEM_LABEL_UNITS 256   // UTF-16 units of a label read for renaming, terminator included
#define ITEM_NAME_UNITS 16     // UTF-16 units of a first label "Item %d" (0..29), terminator included
#define ITEM_TEXT_UNITS 256    // UTF-16 units of a field's text read for a commit, terminator included

static void outer_size(int *width, int *height)
{
    int client_width, client_height;
    input_box_client_size(input_item_count, label_width, edit_width, &client_width, &client_height);
    RECT r;
    SetRect(&r, 0, 0, client_width, client_height);
    AdjustWindowRect(&r, INPUT_BOX_STYLE, FALSE);
    *width = r.right - r.left;
    *height = r.bottom - r.top;
}

static void free_item_values(void)
{
    for (int i = 0; i < KAV_MAX_ITEMS; i++) {
        free(item_values[i]);
        item_values[i] = NULL;
    }
}

// Makes the label, value block and edit field of item i; false when the value block is missing.
static bool create_item(int i)
{
    item_values[i] = (char *)malloc(KAV_ITEM_BYTES);
    if (!item_values[i]) return false;
    snprintf(item_values[i], KAV_ITEM_BYTES, "0");

    wchar_t label[ITEM_NAME_UNITS];
    swprintf(label, ITEM_NAME_UNITS, L"Item %d", i);
    int top = item_row_top(i);
    item_labels[i] = CreateWindowExW(0, L"STATIC", label, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 4,
                                     top + 3, label_width, ITEM_HEIGHT, input_box_window, NULL,
                                     module_instance, NULL);
    item_edits[i] = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"0",
                                    WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL,
                                    edit_left(label_width), top, edit_width, ITEM_HEIGHT,
                                    input_box_window, NULL, module_instance, NULL);
    return true;
}

void create_input_box(int x, int y, int count)
{
    if (input_box_window) return;
    int n = clamp_item_count(count);
    input_item_count = n;
    int width, height;
    outer_size(&width, &height);
    RECT area;
    work_area(&area);
    HWND hwnd = CreateWindowExW(0, L"kav_ib", L"InputBox", INPUT_BOX_STYLE, x + area.left, y + area.top,
                                width, height, main_window, NULL, module_instance, NULL);
    if (!hwnd) {
        input_item_count = 0;
        return;
    }
    input_box_window = hwnd;
    for (int i = 0; i < n; i++) {
        if (create_item(i)) continue;
        input_item_count = i;  // out of memory: keep the items that were made
        break;
    }
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    if (item_edits[0]) SetFocus(item_edits[0]);
}

void KAV_OpenInputBox(int x, int y, int count)
{
    // The worker thread serves the request slot itself, so it cannot wait for it: there the box
    // is made at once, exactly as the request would make it.
    if (GetCurrentThreadId() == worker_thread_id) {
        if (input_box_window) KAV_CloseInputBox();
        create_input_box(x, y, count);
        return;
    }
    post_open_input_box(x, y, count);
}

void KAV_CloseInputBox(void)
{
    if (!input_box_window) return;
    HWND hwnd = input_box_window;
    // Forget the box first: the fields lose the focus while they are destroyed, and those commits
    // must not reach value blocks that are about to be freed.
    input_box_window = NULL;
    input_item_count = 0;
    if (!DestroyWindow(hwnd))
        MessageBoxW(main_window, L"DestroyWindow[IB] Error", L"KAVLIB Error!", MB_OK | MB_ICONERROR);
    free_item_values();
    for (int i = 0; i < KAV_MAX_ITEMS; i++) {
        item_labels[i] = NULL;
        item_edits[i] = NULL;
    }
}

void commit_item_edit(HWND edit)
{
    if (!input_box_window || !edit) return;
    for (int i = 0; i < input_item_count; i++) {
        if (item_edits[i] != edit) continue;
        if (!item_values[i]) return;
        wchar_t wide[ITEM_TEXT_UNITS];
        if (GetWindowTextW(edit, wide, ITEM_TEXT_UNITS) == 0) wide[0] = L'\0';
        wide_to_ansi(wide, item_values[i], KAV_ITEM_BYTES);
        wake_waiters();  // the application may be asleep in a wait
        return;
    }
}

void KAV_SetInputBoxTitle(int i, const char *label)
{
    if (!input_box_window || !label) return;
    if (i < 0 || i >= input_item_count) return;
    set_window_text(item_labels[i], label);
}

void KAV_RenameInputItem(int i)
{
    if (!input_box_window || i < 0 || i >= input_item_count) return;
    HWND box = input_box_window;
    char line[KAV_LINE_BYTES];
    if (!ask_new_label(i, item_labels[i], ITEM_LABEL_UNITS, line)) return;
    // The line input pumped messages: the box may have been closed or replaced meanwhile.
    if (input_box_window != box || i >= input_item_count) return;
    set_window_text(item_labels[i], line);
}

void lay_out_input_box(void)
{
    for (int i = 0; i < input_item_count; i++) {
        int top = item_row_top(i);
        if (item_labels[i])
            SetWindowPos(item_labels[i], NULL, 0, 0, label_width, ITEM_HEIGHT,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (item_edits[i])
            SetWindowPos(item_edits[i], NULL, edit_left(label_width), top, edit_width, ITEM_HEIGHT,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void KAV_ResizeInputBox(int new_label_width, int new_edit_width)
{
    if (new_label_width < 1 || new_edit_width < 1) return;
    label_width = new_label_width;
    edit_width = new_edit_width;
    if (!input_box_window) return;  // the next box is laid out with them
    int width, height;
    outer_size(&width, &height);
    SetWindowPos(input_box_window, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // WM_SIZE derived the widths from the client width the system granted; the asked ones win.
    label_width = new_label_width;
    edit_width = new_edit_width;
    lay_out_input_box();
}

int KAV_InputItemCount(void)
{
    return input_box_window ? input_item_count : 0;
}
