// box_dialogue.cpp - what the two boxes share: their one-item popup menus and the rename
// dialogue that reads a new label in the current text window.
#include "boxes/boxes.h"

#include "core/core.h"
#include "textwin/textwin.h"

#define LABEL_UNITS 512   // UTF-16 units of a label read for renaming, terminator included
#define LABEL_BYTES 1024  // the same label in ANSI, terminator included

void show_one_item_menu(HWND hwnd, int id, const char *text)
{
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    add_menu_item(menu, 0, MFS_ENABLED, id, text);
    POINT p;
    GetCursorPos(&p);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, p.x, p.y, 0, hwnd, NULL);
    DestroyMenu(menu);
}

bool ask_new_label(int i, HWND label, int label_units, char line[KAV_LINE_BYTES])
{
    static bool reading;  // worker: a rename dialogue is reading its line
    line[0] = '\0';
    // One dialogue at a time, and none while another line input reads: the text window reads
    // one line at a time.
    if (reading || line_input_window != 0) return false;
    if (label_units > LABEL_UNITS) label_units = LABEL_UNITS;
    wchar_t wide[LABEL_UNITS];
    if (GetWindowTextW(label, wide, label_units) == 0) wide[0] = L'\0';
    char old_label[LABEL_BYTES];
    wide_to_ansi(wide, old_label, LABEL_BYTES);

    reading = true;
    KAV_ShowTextWindow();
    KAV_Printf("%d '%s' ->", i, old_label);
    KAV_InputText(line);
    reading = false;
    return line[0] != '\0';
}
