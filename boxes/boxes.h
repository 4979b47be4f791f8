// boxes.h - the Input box and the Button box inside the library.
#ifndef KAV_BOXES_H
#define KAV_BOXES_H

#include <windows.h>
#include "kavlib.h"

extern HWND input_box_window;   // the Input box, NULL when there is none (worker thread)
extern HWND button_box_window;  // the Button box, NULL when there is none (worker thread)

void create_input_box(int x, int y, int count);  // makes the box unless one exists
LRESULT CALLBACK input_box_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK button_box_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

#endif
