// image_draw_commands.cpp - the drawing commands, test patterns and the Process submenu.
#include "imagewin/image_commands.h"

bool run_drawing_command(HWND hwnd, int n, int id)
{
    return false;
}
