// imagewin.h - image windows inside the library: what the other subsystems call.
#ifndef KAV_IMAGEWIN_H
#define KAV_IMAGEWIN_H

#include <windows.h>
#include "kavlib.h"

//------------------------------------------------------------------------------------------------
// The image window table (worker thread: every field, every operation)
//------------------------------------------------------------------------------------------------
struct ImageWindowEntry {
    int32_t in_use;          // 1 while the window exists; set last by creation, cleared first by destruction
    int32_t bits_per_pixel;  // 8 or 32
    int32_t width, height;   // image size in pixels, at least 1
    int32_t view_width;      // client width on screen: width * zoom / 100
    int32_t view_height;     // client height on screen: height * zoom / 100
    int32_t zoom;            // percent
    int32_t size_limit;      // 1: fits the screen; 0: up to twice the screen
    HWND hwnd;               // window of class "kav_iw"
    HDC mem_dc;              // holds the DIB section; every drawing goes here
    HDC window_dc;           // the window's own DC, kept from creation to destruction
    HBITMAP bitmap;          // the DIB section
    HBITMAP old_bitmap;      // what mem_dc held before; put back at destruction
    char *name;              // heap copy of the window's name
};

#define KAV_IMAGE_HISTORY 8  // window numbers remembered by select current window
#define KAV_TITLE_BYTES 256  // formatted window title, terminator included

extern ImageWindowEntry image_windows[KAV_MAX_IMAGE_WINDOWS];  // worker thread
extern int current_image_window;                               // worker thread
extern int image_window_history[KAV_IMAGE_HISTORY];           // worker thread; most recent first
extern COLORREF custom_colours[16];  // the colour chooser's custom colours, kept for the process

// A BITMAPINFO for a top-down BI_RGB bitmap with 256 colours (colours, or the grey ramp for
// NULL); the caller frees it.
BITMAPINFO *new_bitmap_info(int width, int height, int bits_per_pixel, const uint32_t *colours);

// The live entry with number n, or NULL for a bad number or a free entry.
ImageWindowEntry *live_image_window(int n);

void reset_image_windows(void);  // start-up: every entry free, history all 0
// Makes image window n: 0; 1 in use; 2 the zoom cannot be met; 3 bad bits or no bitmap; 4 n out of range.
int  create_image_window(int n, const char *name, int x, int y, int width, int height,
                         int bits_per_pixel, int zoom, int size_limit);
int  destroy_image_window(int n);             // 0; 1 bad or free
int  paint_image_window(int n);               // 0; 1 bad or free
int  set_zoom(int n, int zoom);               // 0; 1 bad or free; 2 cannot be met
int  set_stretch_mode(int n, int mode);       // 0; 1 bad or free; modes other than 3 and 4 change nothing
int  get_stretch_mode(int n);                 // mode of the window DC; 0 bad or free
void refresh_title(int n);                    // "%s(%d%%)[8bit]" or "%s(%d%%)", "*" for HALFTONE
// Re-creates window n black at a new size: 0; 1 bad or free; 2 cannot be shown, 3 no bitmap (window kept).
int  recreate_image_window(int n, int width, int height);
void clear_image(int n);                      // every pixel byte to 0; nothing is redrawn
int  select_current_window(int n);            // 0; 1 bad or free (nothing changes)
int  restore_previous_window(void);           // 0; 1 nothing changed
int  find_image_window(HWND hwnd);  // number of the live image window with this handle, or -1
int  find_and_select(HWND hwnd);    // as find_image_window; a found window becomes current
void invalidate_image(int n);       // repaint without erasing, if live

// Files and clipboard, on the current image window unless a number is given.
int  load_image_file(const char *file_name, int x, int y);  // 0; 1 no image; 2 no current window
int  save_image_file(int height, int width, int kind, const char *file_name);  // 0; 1; 2; 3
int  open_file_dialog(char name[KAV_PATH_BYTES]);  // 0 chosen; 1 cancelled
int  save_file_dialog(char name[KAV_PATH_BYTES]);  // 0 chosen; 1 cancelled
void copy_to_clipboard(int n);
void paste_from_clipboard(int n, int x, int y);
HBITMAP read_clipboard_bitmap(uint32_t colours[256], int *count);  // caller deletes the bitmap
void draw_handed_bitmap(HBITMAP bitmap);                    // into the current image window; deletes it
void read_rect(void *buffer, int x, int y, int width, int height);
int  set_colour_table(const uint32_t *colours, int count);  // 0; 1 no window; 2 not 8-bit
int  get_colour_table(uint32_t colours[256]);               // 0; 1 no window; 2 not 8-bit
extern int open_filter_index;  // worker thread: 1-based filter last chosen in the open dialog
extern int save_filter_index;  // worker thread: the same for the save dialog

LRESULT CALLBACK image_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

#endif
