// main_commands.cpp - the Main window's commands that make user windows: the right-click
// menu, Paste, the Image Window, Text Window, Input Box and Button Box dialogues in Text
// window 0, Window Info and files dropped on the Main window.
//
// They run on the GUI thread and never make a window themselves: every window is made by the
// worker thread through the window request, so that the worker thread owns it.
#include "core/core.h"

#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>

#include "imagewin/metafile_check.h"
#include "imagewin/file_stream.h"
#include "imagewin/gdiplus_flat.h"
#include "imagewin/imagewin.h"
#include "textwin/textwin.h"

enum {
    CMD_IMAGE_WINDOW = 1027,
    CMD_TEXT_WINDOW = 1028,
    CMD_INPUT_BOX = 1044,
    CMD_BUTTON_BOX = 1051,
};

#define NUMBER_NAME_BYTES 8   // "%03d" of 0..255 and its terminator
#define DROPPED_NAME_BYTES (NUMBER_NAME_BYTES + KAV_PATH_BYTES)  // "%03d %s" with a file name

//------------------------------------------------------------------------------------------------
// Right-click menu
//------------------------------------------------------------------------------------------------
void show_main_menu(HWND hwnd)
{
    if (pick_in_progress) return;
    int s = (run_state.running == 1 || line_input_window != 0) ? MFS_GRAYED : MFS_ENABLED;
    HMENU menu = CreatePopupMenu();
    add_menu_item(menu, 0, s, CMD_PASTE, "Paste\tCtrl+V");
    add_menu_separator(menu, 1);
    add_menu_item(menu, 2, s, CMD_START, "Start");
    add_menu_item(menu, 3, MFS_ENABLED, CMD_STOP, "Stop");
    add_menu_item(menu, 4, MFS_ENABLED, CMD_EXIT, "E&xit");
    add_menu_separator(menu, 5);
    add_menu_item(menu, 6, s, CMD_IMAGE_WINDOW, "Image Window");
    add_menu_item(menu, 7, s, CMD_TEXT_WINDOW, "Text Window");
    add_menu_item(menu, 8, s, CMD_INPUT_BOX, "Input Box");
    add_menu_item(menu, 9, s, CMD_BUTTON_BOX, "Button Box");
    add_menu_separator(menu, 10);
    add_menu_item(menu, 11, s, CMD_WINDOW_INFO, "&Window Info.\tCtrl+W");
    POINT p;
    GetCursorPos(&p);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, p.x, p.y, 0, hwnd, NULL);
    DestroyMenu(menu);
}

//------------------------------------------------------------------------------------------------
// Free numbers and new image windows
//------------------------------------------------------------------------------------------------
static int lowest_free_image_window(void)
{
    for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++)
        if (image_windows[n].in_use == 0) return n;
    return -1;
}

static int lowest_free_text_window(void)
{
    for (int n = 0; n < KAV_MAX_TEXT_WINDOWS; n++)
        if (!text_window_handle(n)) return n;
    return -1;
}

// Shows image window n once the worker has filled it, and makes the window that was current
// before its creation current again.
static void show_new_image_window(int n)
{
    post_redraw_image_window(n);
    restore_previous_window();
}

//------------------------------------------------------------------------------------------------
// Paste: the clipboard's bitmap as a new 32-bit image window
//------------------------------------------------------------------------------------------------
static void paste_command(void)
{
    if (run_state.running == 1) return;
    uint32_t colours[256];  // read with the bitmap, not used further
    int count = 0;
    HBITMAP bitmap = read_clipboard_bitmap(colours, &count);
    if (!bitmap) return;
    BITMAP info;
    if (!GetObjectW(bitmap, sizeof info, &info)) {
        DeleteObject(bitmap);
        return;
    }
    for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) {
        char name[NUMBER_NAME_BYTES];
        snprintf(name, sizeof name, "%03d", n);
        if (post_create_image_window(n, name, info.bmWidth, info.bmHeight, 32) != 0) continue;
        post_paste_bitmap(bitmap);  // the worker draws and deletes it
        show_new_image_window(n);
        return;
    }
    DeleteObject(bitmap);
}

//------------------------------------------------------------------------------------------------
// Dialogues in Text window 0
//------------------------------------------------------------------------------------------------
// Fronts Text window 0, or has it made, and prints the dialogue into it.
static void open_dialogue_window(void)
{
    post_open_text_window(0);
    if (text_window_handle(0)) current_text_window = 0;
}

// Prints the prompt and reads an answer; a line that is no number counts as 0.
static int ask_number(const char *prompt)
{
    char line[KAV_LINE_BYTES];
    KAV_Printf("%s", prompt);
    KAV_InputText(line);
    return atoi(line);
}

static void image_window_dialogue(void)
{
    open_dialogue_window();
    KAV_Printf("Creating ImageWindow...\n");
    int width = ask_number(" Width=");
    if (run_state.exit_state != 0) return;
    int height = ask_number("Height=");
    if (run_state.exit_state != 0) return;
    int bits = ask_number("Bit[32 or 8]=");
    if (run_state.exit_state != 0) return;
    if (bits != 32 && bits != 8) return;
    int n = lowest_free_image_window();
    if (n < 0) return;
    char name[NUMBER_NAME_BYTES];
    snprintf(name, sizeof name, "%03d", n);
    post_create_image_window(n, name, width, height, bits);
}

static void text_window_command(void)
{
    int n = lowest_free_text_window();
    if (n >= 0) post_open_text_window(n);
}

static void input_box_dialogue(void)
{
    open_dialogue_window();
    KAV_Printf("Creating InpuxBox...\n");
    int items = ask_number("How many items? >");
    post_open_input_box(0, 0, items);
}

static void button_box_dialogue(void)
{
    open_dialogue_window();
    KAV_Printf("Creating ButtonBox...\n");
    int columns = ask_number("Number[X]=>");
    int rows = ask_number("Number[Y]=>");
    post_open_button_box(columns, rows);
}

// The report runs in the current text window, or in Text window 0 when there is none.
static void window_info_command(void)
{
    if (!text_window_handle(current_text_window)) post_open_text_window(0);
    HWND hwnd = text_window_handle(current_text_window);
    if (hwnd) PostMessageW(hwnd, WM_COMMAND, CMD_WINDOW_INFO, 0);
}

int run_main_command(int id)
{
    switch (id) {
    case CMD_PASTE: paste_command(); return 1;
    case CMD_IMAGE_WINDOW: image_window_dialogue(); return 1;
    case CMD_TEXT_WINDOW: text_window_command(); return 1;
    case CMD_INPUT_BOX: input_box_dialogue(); return 1;
    case CMD_BUTTON_BOX: button_box_dialogue(); return 1;
    case CMD_WINDOW_INFO: window_info_command(); return 1;
    default: return 0;
    }
}

//------------------------------------------------------------------------------------------------
// Dropped files: each image file becomes a new image window "%03d %s"
//------------------------------------------------------------------------------------------------
// Width and height of the image in a file, read with GDI+; 0 x 0 when it is no readable image.
// The decoder reads a copy of the file in memory, as loading does, so a damaged file is never
// left open by a decoder that keeps its stream after failing.
static void image_file_size(const wchar_t *path, UINT *width, UINT *height)
{
    *width = 0;
    *height = 0;
    IStream *stream = open_file_stream(path);
    if (!stream) return;
    uint64_t size = 0;
    const uint8_t *bytes = file_stream_bytes(stream, &size);
    GpImage *image = NULL;
    if (check_before_decoding(bytes, size) == 0 && GdipLoadImageFromStream(stream, &image) == 0 && image) {
        GdipGetImageWidth(image, width);
        GdipGetImageHeight(image, height);
        GdipDisposeImage(image);
    }
    close_file_stream(stream);
}

// Opens one dropped file in the first window number from *n on that accepts it; *n moves past
// every number tried.
static void open_dropped_file(HDROP drop, UINT i, int *n)
{
    wchar_t dropped[KAV_PATH_UNITS], full[KAV_PATH_UNITS];
    wchar_t *file_part = NULL;
    if (!DragQueryFileW(drop, i, dropped, KAV_PATH_UNITS)) return;
    DWORD length = GetFullPathNameW(dropped, KAV_PATH_UNITS, full, &file_part);
    if (length == 0 || length >= KAV_PATH_UNITS || !file_part || !*file_part) return;
    UINT width, height;
    image_file_size(full, &width, &height);
    char path[KAV_PATH_BYTES], file_name[KAV_PATH_BYTES];
    wide_to_ansi(full, path, sizeof path);
    wide_to_ansi(file_part, file_name, sizeof file_name);
    if (width == 0 || height == 0) return;

    while (*n < KAV_MAX_IMAGE_WINDOWS) {
        char name[DROPPED_NAME_BYTES];
        snprintf(name, sizeof name, "%03d %s", *n, file_name);
        int answer = post_create_image_window(*n, name, (int)width, (int)height, 32);
        *n += 1;
        if (answer == 0) {
            post_load_image_file(*n - 1, path);
            show_new_image_window(*n - 1);
            return;
        }
        if (answer != 1) return;  // the number was free but the image does not fit
    }
}

void open_dropped_files(HDROP drop)
{
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, NULL, 0);
    int n = 0;
    for (UINT i = 0; i < count && n < KAV_MAX_IMAGE_WINDOWS; i++) open_dropped_file(drop, i, &n);
    DragFinish(drop);
}
