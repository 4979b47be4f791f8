// imagewin.h - image windows inside the library: what the other subsystems call.
#ifndef KAV_IMAGEWIN_H
#define KAV_IMAGEWIN_H

#include <windows.h>
#include "kavlib.h"

extern COLORREF custom_colours[16];  // the colour chooser's custom colours, kept for the process

void reset_image_windows(void);  // start-up: every entry free, history all 0
// Makes image window n: 0; 1 in use; 2 the zoom cannot be met; 3 bad bits or no bitmap; 4 n out of range.
int  create_image_window(int n, const char *name, int x, int y, int width, int height,
                         int bits_per_pixel, int zoom, int size_limit);
int  paint_image_window(int n);
int  load_image_file(const char *file_name, int x, int y);  // into the current image window
void draw_handed_bitmap(HBITMAP bitmap);                    // into the current image window; deletes it
int  select_current_window(int n);
int  restore_previous_window(void);
int  find_image_window(HWND hwnd);  // number of the live image window with this handle, or -1
LRESULT CALLBACK image_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

#endif
