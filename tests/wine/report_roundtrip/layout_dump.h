// layout_dump.h - writes the window layout of the running program to a text file: every
// image and text window, the boxes with their labels and the Main window, one line each, so
// that two programs' layouts compare with a plain diff.
#ifndef KAV_LAYOUT_DUMP_H
#define KAV_LAYOUT_DUMP_H

void dump_layout(const char *file_name);  // call on the worker thread
bool wait_for_main_window_away_from_rest(int timeout_ms);  // true once it moved (worker thread)
void exit_program(void);                  // asks the Main window for Exit

#endif
