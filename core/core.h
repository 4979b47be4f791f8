// core.h - the runtime core inside the library: start-up, the worker thread and the window
// request, the Main window and the small shared helpers of the user-interface code.
#ifndef KAV_CORE_H
#define KAV_CORE_H

#include <windows.h>
#include <atomic>
#include "kavlib.h"

//------------------------------------------------------------------------------------------------
// Identifiers shared by the window procedures
//------------------------------------------------------------------------------------------------
enum {
    CMD_START = 1001,
    CMD_EXIT = 1002,
    CMD_STOP = 1003,
    CMD_DESTROY = 1006,
    CMD_ABOUT = 1020,
    CMD_START_LOG = 1024,
    CMD_STOP_LOG = 1025,
    CMD_PASTE = 1026,
    CMD_COMMAND_PROMPT = 1029,
    CMD_COPY_LOG = 1030,
    CMD_WINDOW_INFO = 1045,
    CMD_SELECT = 1069,
    STATUS_LINE_ID = 2001,
    BUTTON_ID_BASE = 3000,
};

#define KAV_NAME_UNITS 256   // UTF-16 units of a converted name, title or menu text
#define KAV_PATH_UNITS 260   // UTF-16 units of a path, terminator included
#define KAV_WIDE_(s) L##s
#define KAV_WIDE(s) KAV_WIDE_(s)  // a narrow string literal as a wide one

//------------------------------------------------------------------------------------------------
// Process globals, set once by start-up on the GUI thread before the worker thread exists
// (except where noted) and only read afterwards.
//------------------------------------------------------------------------------------------------
extern int instance_number;          // 0..9, the digit of this process's Main window class
extern HINSTANCE module_instance;    // handed to every CreateWindowExW of the library
extern HWND main_window;             // the Main window (set inside its WM_CREATE)
extern HMENU main_menu_bar;          // Start, Stop, Exit
extern double millisecond_factor;    // 1000 / performance-counter frequency
extern int main_x, main_rest_y;      // where the Main window was created and where it rests
extern wchar_t open_directory_w[KAV_PATH_UNITS];  // folder of the next open dialog
extern char open_directory[KAV_PATH_BYTES];
extern wchar_t save_directory_w[KAV_PATH_UNITS];  // folder of the next save dialog
extern char save_directory[KAV_PATH_BYTES];
extern wchar_t log_directory_w[KAV_PATH_UNITS];   // prefix of log file names, ends in a backslash
extern char log_directory[KAV_PATH_BYTES];
extern HDC main_window_dc;           // the Main window's DC, kept for the whole run
extern HFONT truetype_font;          // font of text drawn into images (made before the worker starts)
extern int font_cell_width, font_cell_height;  // cell of that font: 8 x 16 at start
extern int display_bit_depth;        // bits per pixel of the display, read at Main window creation

//------------------------------------------------------------------------------------------------
// Window request: one slot through which the GUI thread has the worker thread make windows
//------------------------------------------------------------------------------------------------
enum {
    REQ_CREATE_IMAGE = 9001,
    REQ_REDRAW_IMAGE = 9002,
    REQ_LOAD_IMAGE = 9003,
    REQ_PASTE_BITMAP = 9004,
    REQ_OPEN_TEXT_WINDOW = 9005,
    REQ_OPEN_INPUT_BOX = 9006,
    REQ_OPEN_BUTTON_BOX = 9007,
};

// Where the worker thread hands one post its answer: the poster's own record, so that a post
// made inside another post's wait (the GUI thread pumps while it waits) cannot take or overwrite
// the answer meant for the outer one.
struct KAV_RequestAnswer {
    std::atomic<int> done;   // 1 once the worker served this post
    int result;              // answer of a create or load request, written before done
};

// The GUI thread writes the arguments only while kind is 0, then stores kind last; the worker
// thread reads them only while kind is set, stores done = 1 and then kind = 0. The two atomics
// carry the other fields across the threads.
struct KAV_WindowRequest {
    std::atomic<int> kind;   // 0 empty, else a REQ_ code
    std::atomic<int> done;   // 1 once the worker served the request
    int result;              // answer of a create or load request
    int window_number;       // image or text window number; items of an input box
    const char *name;        // name of the image window to create (poster's buffer)
    int x, y;                // position relative to the work area, -1 for the system's choice
    int width, height;       // size; columns and rows of a button box
    int bits_per_pixel;      // 8 or 32
    int zoom;                // percent
    const char *file_name;   // full ANSI path of an image file to load (poster's buffer)
    HBITMAP bitmap;          // bitmap to draw into the current image window; the worker deletes it
    KAV_RequestAnswer *answer;  // the waiting poster's record; NULL for a redraw, which does not wait
};
extern KAV_WindowRequest window_request;

int  post_create_image_window(int n, const char *name, int width, int height, int bits_per_pixel);
void post_redraw_image_window(int n);          // does not wait
int  post_load_image_file(int n, const char *path);
void post_paste_bitmap(HBITMAP bitmap);
void post_open_text_window(int n);             // fronts window n instead when it exists
void post_open_input_box(int x, int y, int count);  // the Main window asks for (0, 0)
void post_open_button_box(int columns, int rows);
void serve_window_request(void);               // worker thread: serves the slot if it is full
void gui_pump(void);                           // GUI thread: dispatches pending messages
void wake_waiters(void);                        // ends every library wait of every thread: a flag changed
DWORD wait_for_wake(DWORD timeout_ms);          // KAV_WaitMessage with a time limit (INFINITE for none); WAIT_TIMEOUT: nothing came

extern std::atomic<int> pick_in_progress;      // 1 while a point-picking tool waits (set by the worker)

DWORD WINAPI worker_thread_proc(LPVOID unused);
extern HANDLE worker_thread;                   // set by the Main window's creation
extern DWORD worker_thread_id;

//------------------------------------------------------------------------------------------------
// Start-up and the Main window
//------------------------------------------------------------------------------------------------
int kav_win_main(HINSTANCE instance);          // the whole life of the process; its exit code
LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

//------------------------------------------------------------------------------------------------
// Main window commands that make user windows (GUI thread, through the window request)
//------------------------------------------------------------------------------------------------
void show_main_menu(HWND hwnd);            // the right-click menu; nothing while a pick waits
int  run_main_command(int id);             // Paste, the creation dialogues, Window Info: 1 if id is one
void open_dropped_files(HDROP drop);       // each dropped image file in a new image window

//------------------------------------------------------------------------------------------------
// Helpers for menus, the status line and window texts
//------------------------------------------------------------------------------------------------
int  ansi_to_wide(const char *text, wchar_t *out, int units);   // converts with the ANSI code page; always terminated
int  wide_to_ansi(const wchar_t *text, char *out, int bytes);   // converts to the ANSI code page; always terminated
void add_menu_item(HMENU menu, int position, int state, int id, const char *text);
void add_menu_separator(HMENU menu, int position);
void add_submenu_item(HMENU menu, int position, HMENU submenu, const char *text);
void set_status_text(const char *text);        // centred in the Main window's status line
void show_colour_depth_status(void);           // status text "%d-bit color"
void get_window_text(HWND hwnd, int max_bytes, char *out);
void set_window_text(HWND hwnd, const char *text);
void work_area(RECT *area);                    // the desktop work area (SPI_GETWORKAREA)
bool ctrl_held(void);                          // the Ctrl key is down now
int  scale_for_display(int pixels);            // a length laid out at 96 dpi, at the display's dpi

//------------------------------------------------------------------------------------------------
// Window placement list and edge snapping
//------------------------------------------------------------------------------------------------
void rebuild_placement_list(void);             // snapshot of every library window's rectangle
void edge_snapping(RECT *proposed, HWND moving);  // WM_MOVING: snap to edges while Ctrl is held

#endif
