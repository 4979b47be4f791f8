// textwin.h - text windows inside the library: what the other subsystems call.
#ifndef KAV_TEXTWIN_H
#define KAV_TEXTWIN_H

#include <windows.h>
#include <atomic>
#include "kavlib.h"

// Number + 1 of the text window now reading a line, 0 when no line input runs. Written by the
// Main window's Exit (GUI thread) and by text window code on either thread.
extern std::atomic<int> line_input_window;

// Number of the current text window, into which KAV_Printf prints (both threads).
extern std::atomic<int> current_text_window;

void reset_text_windows(void);   // start-up: every entry free, history and last input line empty, font made
void release_text_font(void);    // exit: deletes the text windows' font
int  find_text_window(HWND hwnd);  // number of the live text window with this handle, or -1
HWND text_window_handle(int n);    // the window of live text window n, or NULL
bool front_text_window(int n);     // brings live text window n to the front and makes it current; false if not live
void show_pending_text(HWND hwnd, UINT_PTR timer);  // WM_TIMER: shows text printed since the last repaint
LRESULT CALLBACK text_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

#endif
