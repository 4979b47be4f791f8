// main_place.cpp - what the layout source of the window information report calls for the
// Main window: its position on the screen and bringing it to the front.
#include "core/core.h"

void KAV_PlaceMain(int x, int y)
{
    if (!main_window) return;
    // The GUI thread owns the window; asking asynchronously never blocks the worker thread on
    // a GUI thread that waits for it (Exit).
    SetWindowPos(main_window, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

int KAV_SetForeground(int window)
{
    if (window != KAVMAINWINDOW || !main_window) return 1;
    SetForegroundWindow(main_window);
    return 0;
}
