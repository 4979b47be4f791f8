// layout_maker.cpp - makes a layout of every kind of window, runs the window information
// report on it, and writes the source it put on the clipboard (layout_source.txt) and the
// layout itself (original.txt) into the working folder.
#include <windows.h>
#include <stdio.h>

#include "core/core.h"
#include "layout_dump.h"
#include "textwin/textwin.h"

void KAV_Setup(void)
{
    KAV_CreateImage8(0, "eight", 0, 0, 64, 48, 100);
    KAV_CreateImage(1, "thirty-two", 90, 0, 80, 60, 200);
    KAV_CreateImage8FL(2, "no \"limit\" \\ \xe9\t!", 300, 0, 50, 40, 50);
    KAV_CreateImageFL(5, "wide", 0, 330, 120, 30, 300);
    KAV_OpenTextWindow(0, 600, 0, 300, 200);
    KAV_OpenTextWindow(3, 600, 260, 200, 100);
    KAV_OpenInputBox(0, 500, 3);
    KAV_SetInputBoxTitle(0, "first");
    KAV_SetInputBoxTitle(1, "say \"x\"\\n");
    KAV_ResizeInputBox(80, 100);
    KAV_OpenButtonBox(320, 500, 2, 2);
    KAV_SetButtonBoxTitle(1, "two\nlines");
    KAV_SetButtonBoxTitle(3, "%d \\");
    KAV_ResizeButtonBox(220, 90);
    KAV_PlaceMain(700, 620);
    run_state.start_requested = 1;
}

void KAV_Main(void)
{
    wait_for_main_window_away_from_rest(5000);
    SendMessageW(text_window_handle(0), WM_COMMAND, CMD_WINDOW_INFO, 0);
    FILE *f = fopen("layout_source.txt", "wb");
    if (f && OpenClipboard(NULL)) {
        HANDLE h = GetClipboardData(CF_TEXT);
        const char *text = h ? (const char *)GlobalLock(h) : NULL;
        if (text) fputs(text, f);
        if (h) GlobalUnlock(h);
        CloseClipboard();
    }
    if (f) fclose(f);
    dump_layout("original.txt");
    exit_program();
}
