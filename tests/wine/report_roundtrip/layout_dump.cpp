// layout_dump.cpp - see layout_dump.h.
#include "layout_dump.h"

#include <stdio.h>

#include "boxes/boxes.h"
#include "core/core.h"
#include "imagewin/imagewin.h"
#include "textwin/text_table.h"

static POINT position(HWND hwnd)
{
    RECT r, area;
    GetWindowRect(hwnd, &r);
    work_area(&area);
    POINT p = {r.left - area.left, r.top - area.top};
    return p;
}

static void write_label(FILE *f, const char *kind, int i, HWND control)
{
    wchar_t text[256] = L"";
    GetWindowTextW(control, text, 256);
    char ansi[512];
    wide_to_ansi(text, ansi, sizeof ansi);
    fprintf(f, "%s %d [%s]\n", kind, i, ansi);
}

void dump_layout(const char *file_name)
{
    KAV_PumpMessages();
    FILE *f = fopen(file_name, "wb");
    if (!f) return;
    for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) {
        ImageWindowEntry *e = live_image_window(n);
        if (!e) continue;
        POINT p = position(e->hwnd);
        RECT client;
        GetClientRect(e->hwnd, &client);
        fprintf(f, "image %d bits %d limit %d name [%s] at %ld %ld size %d %d zoom %d client %ld %ld\n", n,
                e->bits_per_pixel, e->size_limit, e->name, p.x, p.y, e->width, e->height, e->zoom,
                client.right, client.bottom);
    }
    for (int n = 0; n < KAV_MAX_TEXT_WINDOWS; n++) {
        HWND hwnd = text_window_handle(n);
        if (!hwnd) continue;
        POINT p = position(hwnd);
        RECT client;
        GetClientRect(hwnd, &client);
        fprintf(f, "text %d at %ld %ld client %ld %ld\n", n, p.x, p.y, client.right, client.bottom);
    }
    if (input_box_window) {
        POINT p = position(input_box_window);
        fprintf(f, "input box at %ld %ld items %d widths %d %d\n", p.x, p.y, input_item_count, label_width, edit_width);
        for (int i = 0; i < input_item_count; i++) write_label(f, "item", i, item_labels[i]);
    }
    if (button_box_window) {
        POINT p = position(button_box_window);
        RECT client;
        GetClientRect(button_box_window, &client);
        fprintf(f, "button box at %ld %ld grid %d %d client %ld %ld\n", p.x, p.y, button_columns, button_rows,
                client.right, client.bottom);
        for (int i = 0; i < button_count; i++) write_label(f, "button", i, buttons[i]);
    }
    RECT main;
    GetWindowRect(main_window, &main);
    fprintf(f, "main window at %ld %ld\n", main.left, main.top);
    fclose(f);
}

bool wait_for_main_window_away_from_rest(int timeout_ms)
{
    uint32_t start = KAV_Milliseconds();
    while (KAV_Milliseconds() - start < (uint32_t)timeout_ms) {
        RECT r;
        GetWindowRect(main_window, &r);
        if (r.left != main_x || r.top != main_rest_y) return true;
        KAV_PumpMessages();
        Sleep(5);
    }
    return false;
}

void exit_program(void)
{
    PostMessageW(main_window, WM_COMMAND, CMD_EXIT, 0);
}
