// command_prompt.cpp - the one-shot "Cmd>" prompt of the current text window.
#include "textwin/text_table.h"

#include "core/core.h"
#include "textwin/command_names.h"

static void print_drawing_colours(void)
{
    KAV_Printf("Red  :%3d\n", (int)((drawing_colour >> 16) & 0xFF));
    KAV_Printf("Green:%3d\n", (int)((drawing_colour >> 8) & 0xFF));
    KAV_Printf("Blue :%3d\n", (int)(drawing_colour & 0xFF));
    KAV_Printf("kav_tttc=%06x\n", (unsigned)kav_tttc);
    KAV_Printf("kav_tc=%06x\n", (unsigned)kav_tc);
}

// Asks the current text window for the About text. Without a live current window there is
// nobody to ask (a NULL window would make the post a message to this thread instead).
static void post_about(void)
{
    HWND hwnd = text_window_handle(current_text_window);
    if (hwnd) PostMessageW(hwnd, WM_COMMAND, CMD_ABOUT, 0);
}

int KAV_CommandPrompt(void)
{
    char line[KAV_LINE_BYTES];
    if (line_input_window != 0) return 1;  // a line is being read: no second prompt into it
    KAV_Printf("Cmd>");
    KAV_InputText(line);
    switch (command_number(line)) {
    case COMMAND_EXIT:
        PostMessageW(main_window, WM_KEYDOWN, VK_ESCAPE, 0);
        return 0;
    case COMMAND_START: PostMessageW(main_window, WM_KEYDOWN, 'S', 0); return 0;
    case COMMAND_HELP: KAV_Printf("Command list:exit help start ver color\n"); return 0;
    case COMMAND_VER: post_about(); return 0;
    case COMMAND_COLOR: print_drawing_colours(); return 0;
    default: KAV_Printf("Invalid command\n"); return 1;
    }
}
