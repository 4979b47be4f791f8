// winmain.cpp - the process entry of the program.
#include "core/core.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show)
{
    return kav_win_main(instance);
}
