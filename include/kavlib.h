// kavlib.h - the programming interface of KAVLIB 7.6 for applications.
//
// KAVLIB owns the process: it starts, shows a small Main window (Start, Stop, Exit) and runs
// the application on a worker thread. The application supplies two routines, KAV_Setup and
// KAV_Main, and learns everything else by polling: press counters, committed item texts and
// run_state.stop_requested. Every user window belongs to the worker thread; its messages are
// handled while the application is inside a library call that pumps (KAV_PumpMessages, every
// print, every line input).
//
// Conventions: window numbers are 0..255 and index fixed tables; results are small integers,
// 0 for success and one code per distinct failure; text is ANSI (the system code page);
// colours are colour words 0x00RRGGBB; positions are relative to the top-left corner of the
// desktop work area, -1 letting the system choose; sizes are client sizes.
//
// This header never includes windows.h.
#ifndef KAVLIB_H
#define KAVLIB_H

#include <atomic>
#include <stdint.h>

#define KAV_VERSION "7.6"

//------------------------------------------------------------------------------------------------
// Application: the two routines an application supplies (both run on the worker thread)
//------------------------------------------------------------------------------------------------
void KAV_Setup(void);  // runs once when the worker thread starts; opens the first windows
void KAV_Main(void);   // runs on every Start until it returns; polls run_state.stop_requested

//------------------------------------------------------------------------------------------------
// Run state and message pumping
//------------------------------------------------------------------------------------------------
// The run state shared by the GUI thread (Main window) and the worker thread. Atomic, so each
// thread sees the other's writes in the order they were made.
struct KAV_RunState {
    std::atomic<int> start_requested;  // 1: run KAV_Main as soon as no run is active
    std::atomic<int> running;          // 1 while KAV_Main runs
    std::atomic<int> stop_requested;   // 1: Stop or Exit was chosen; KAV_Main should return
    std::atomic<int> exit_state;       // 0 running, 1 exit asked, 2 worker thread finished
};
extern KAV_RunState run_state;

void KAV_PumpMessages(void);  // dispatches every pending message of the calling thread; never blocks
void KAV_WaitMessage(void);   // sleeps until a message arrives for this thread or the library changes a flag (Stop, Exit, a press, a commit); no time limit
void KAV_Pause(const char *text);  // message box "Pause" with the text; returns when it is closed
uint32_t KAV_Milliseconds(void);   // the millisecond clock: unsigned, wraps; take differences unsigned

//------------------------------------------------------------------------------------------------
// The Main window, for layout source made by the window information report (Ctrl+W)
//------------------------------------------------------------------------------------------------
#define KAVMAINWINDOW (-1)  // names the Main window to KAV_SetForeground

void KAV_PlaceMain(int x, int y);   // moves the Main window's top-left corner to screen position (x, y)
int  KAV_SetForeground(int window); // brings the window to the front: 0; 1 not a window it knows

//------------------------------------------------------------------------------------------------
// Text windows: console output and line input
//------------------------------------------------------------------------------------------------
#define KAV_MAX_TEXT_WINDOWS 256  // text window numbers are 0..255
#define KAV_LINE_BYTES 256        // a line read by KAV_InputText, terminator included

int  KAV_OpenTextWindow(int n, int x, int y, int width, int height);  // 0 made; 1 n existed (fronted, made current) or n out of range
void KAV_ShowTextWindow(void);             // fronts the current text window, or opens window 0 centred
void KAV_Printf(const char *format, ...);  // prints into the current text window (wraps, scrolls)
int  KAV_CloseTextWindow(int n);           // 0 destroyed; 1 bad number or no such window
int  KAV_SelectTextWindow(int n);          // 0 n is now current; 1 bad number or no such window
void KAV_InputText(char line[KAV_LINE_BYTES]);   // reads a typed line; "" when the input ended without Enter
void KAV_PushTextColor(uint32_t text, uint32_t back);  // saves the current colours and sets new ones
void KAV_PopTextColor(void);               // restores the colours saved by the last push
int  KAV_CommandPrompt(void);              // "Cmd>" prompt: exit, start, help, ver, color; 0 known, 1 not

//------------------------------------------------------------------------------------------------
// Log files of text windows: "KAVLIBin-YYYYMMDD-hhmmss.LOG" in the start-up folder (i the
// instance, n the window number), receiving every print and every typed line while logging;
// an existing file is never emptied: a taken name gets "-1", "-2", ... before ".LOG"
//------------------------------------------------------------------------------------------------
int  KAV_StartLog(int n);     // 0 logging (new file, or resumed); 1 was logging; 2 no file could be made; 3 no window n
int  KAV_StopLog(int n);      // 0 stopped (or was already); 1 no log; 2 no window n
int  KAV_CopyLog(int n);      // whole log to the clipboard as text: 0; 1 clipboard busy; 2 no log; 3 no memory; 4 no window n
void KAV_CloseAllLogs(void);  // closes the log of every text window

//------------------------------------------------------------------------------------------------
// Input box and Button box
//------------------------------------------------------------------------------------------------
#define KAV_MAX_ITEMS 30      // items of the Input box
#define KAV_ITEM_BYTES 256    // one committed item text, terminator included
#define KAV_MAX_BUTTONS 256   // buttons of the Button box

extern char *item_values[KAV_MAX_ITEMS];      // committed text of each Input box item; NULL without that item
extern int button_presses[KAV_MAX_BUTTONS];   // presses of each button since the application cleared it

void KAV_OpenInputBox(int x, int y, int count);   // (re)opens the Input box with count items (clamped to 1..30) on the worker thread
void KAV_CloseInputBox(void);                     // destroys the Input box if it exists
void KAV_RenameInputItem(int i);                  // asks for a new label of item i in the current text window
void KAV_SetInputBoxTitle(int i, const char *label);  // sets the label of item i
void KAV_ResizeInputBox(int label_width, int edit_width);  // re-lays the box with these widths
int  KAV_InputItemCount(void);                    // items of the Input box, 0 when there is none

void KAV_OpenButtonBox(int x, int y, int columns, int rows);  // makes the box unless one exists or the grid is bad
void KAV_CloseButtonBox(void);                    // destroys the Button box if it exists
void KAV_SetButtonBoxTitle(int i, const char *label);  // sets the label of button i; "\n" starts a new line
void KAV_RenameButton(int i);                     // asks for a new label of button i in the current text window
void KAV_ResizeButtonBox(int width, int height);  // sets the box's client size; the buttons follow it
int  KAV_ButtonCount(void);                       // buttons of the Button box, 0 when there is none

//------------------------------------------------------------------------------------------------
// Image windows
//------------------------------------------------------------------------------------------------
#define KAV_MAX_IMAGE_WINDOWS 256  // image window numbers are 0..255

// The pixel memory of image window n, valid only while the window exists. 32-bit windows:
// words[x + y * width], 0x00RRGGBB. 8-bit windows: bytes[x + y * stride], stride = width
// rounded up to a multiple of 4, each byte an index into the window's colour table.
struct KAV_PixelMemory {
    uint32_t *words;
    uint8_t *bytes;
};
extern KAV_PixelMemory pixels[KAV_MAX_IMAGE_WINDOWS];

// Creation: 0 made; 1 number in use; 2 the zoom cannot be met within the screen; 3 no bitmap;
// 4 number out of range. The FL kinds may be up to twice the screen size.
int KAV_CreateImage(int n, const char *name, int x, int y, int width, int height, int zoom);     // 32-bit
int KAV_CreateImage8(int n, const char *name, int x, int y, int width, int height, int zoom);    // 8-bit, grey table
int KAV_CreateImageFL(int n, const char *name, int x, int y, int width, int height, int zoom);   // 32-bit, large
int KAV_CreateImage8FL(int n, const char *name, int x, int y, int width, int height, int zoom);  // 8-bit, large

int  KAV_DestroyImage(int n);                 // 0 destroyed; 1 bad number or free
int  KAV_IsImageWindow(int n);                // 1 while image window n exists
void KAV_InvalidateImages(void);              // asks every live image window to repaint
int  KAV_PaintImage(int n);                   // paints the window from its pixels now
int  KAV_SetZoom(int n, int zoom);            // 0; 1 bad window; 2 the zoom cannot be met
int  KAV_SetStretchMode(int n, int mode);     // 3 plain, 4 smoothed ("*" in the title)
int  KAV_GetStretchMode(int n);               // the window's mode, 0 for a bad window
int  KAV_ResizeImage(int n, int width, int height);  // re-creates the window black at a new size
void KAV_ClearImage(int n);                   // sets every pixel to 0 (caller repaints)
int  KAV_SelectImage(int n);                  // makes n the current image window; 1 bad window
int  KAV_RestoreImage(void);                  // makes the previously current window current again
int  KAV_CurrentImage(void);                  // number of the current image window

// Files and clipboard, on the current image window.
#define KAV_PATH_BYTES 260  // ANSI path, terminator included
enum { KAV_BMP = 0, KAV_JPEG = 1, KAV_GIF = 2, KAV_PNG = 3, KAV_TIFF = 4 };  // save kinds
int  KAV_LoadImage(const char *file_name, int x, int y);  // 0; 1 no image in the file; 2 no current window
int  KAV_SaveImage(int height, int width, int kind, const char *file_name);  // 0; 1 write failed; 2 empty size; 3 no window
int  KAV_OpenFileDialog(char name[KAV_PATH_BYTES]);  // 0 chosen; 1 cancelled
int  KAV_SaveFileDialog(char name[KAV_PATH_BYTES]);  // 0 chosen; 1 cancelled
void KAV_CopyToClipboard(int n);                     // puts window n's picture on the clipboard
void KAV_PasteFromClipboard(int n, int x, int y);    // draws the clipboard's bitmap into window n at (x, y)
void KAV_ReadRect(void *buffer, int x, int y, int width, int height);  // packed rows; 0 outside
int  KAV_SetColorTable(const uint32_t *colors, int count);  // 0; 1 no window; 2 not 8-bit
int  KAV_GetColorTable(uint32_t colors[256]);               // 0; 1 no window; 2 not 8-bit
extern int jpeg_quality;  // 0..100, handed to the JPEG encoder

//------------------------------------------------------------------------------------------------
// Pixels, colour models and the drawing state (on the current image window)
//------------------------------------------------------------------------------------------------
extern uint32_t drawing_colour;  // colour of boxes, fills and the window's drawing commands
extern uint32_t kav_tc;          // colour of the built-in bitmap font
extern uint32_t kav_tttc;        // colour of TrueType text
struct KAV_Point { int32_t x, y; };
extern KAV_Point pen_position;   // the last point plotted or the end of the last line
extern KAV_Point text_cursor;    // x and baseline y of the next character drawn into an image
extern int32_t text_left_margin; // x to which a newline returns the text cursor

void    plot(int32_t x, int32_t y, uint32_t colour);      // moves the pen, stores colour if inside
void    put_pixel(int32_t x, int32_t y, uint32_t colour); // stores colour if inside
int32_t get_pixel(int32_t x, int32_t y);                  // the pixel value, 0 outside
int32_t get_pixel_checked(int32_t x, int32_t y);          // the pixel value, -1 outside
void    xor_plot(int32_t x, int32_t y);                   // moves the pen, inverts the pixel if inside
void    xor_pixel(int32_t x, int32_t y);                  // inverts the pixel if inside

// Colour models (pure integer functions of colour words).
struct KAV_Hsv { int32_t hue, saturation, value; };  // hue 0..359, saturation (chroma) and value 0..255
struct KAV_YCrCb { int32_t y, cr, cb; };            // Cr and Cb -127..128
struct KAV_Yuv { int32_t y, u, v; };
struct KAV_Yiq { int32_t y, i, q; };
KAV_Hsv   rgb_to_hsv(uint32_t colour);                // integer hexcone model
int32_t   hue_of(uint32_t colour);                    // rgb_to_hsv(colour).hue
int32_t   saturation_of(uint32_t colour);             // rgb_to_hsv(colour).saturation
int32_t   value_of(uint32_t colour);                  // rgb_to_hsv(colour).value
uint32_t  hsv_to_rgb(int32_t value, int32_t saturation, int32_t hue);  // inverse up to rounding
int32_t   luminance(uint32_t colour);                 // Y 0..255, BT.601 weights
KAV_YCrCb to_ycrcb(uint32_t colour);                  // Y, Cr, Cb
KAV_Yuv   to_yuv(uint32_t colour);                    // Y, U, V
KAV_Yiq   to_yiq(uint32_t colour);                    // Y, I, Q
uint32_t  ycrcb_to_rgb(int32_t y, int32_t cr, int32_t cb);  // channels clamped to 0..255
uint32_t  yuv_to_rgb(int32_t y, int32_t u, int32_t v);      // channels clamped to 0..255
uint32_t  yiq_to_rgb(int32_t y, int32_t i, int32_t q);      // channels clamped to 0..255

//------------------------------------------------------------------------------------------------
// Drawing into images (on the current image window; clipped at its border; on 8-bit windows
// the low byte of a colour is stored). Nothing is repainted: the caller invalidates the window.
//------------------------------------------------------------------------------------------------
void draw_char(uint8_t c);            // built-in 8 x 14 font in kav_tc at the text cursor; 10 is a newline
void draw_string(const char *s);      // draw_char of each byte up to the zero
void draw_printf(const char *format, ...);  // formats (at most 4095 characters) and draws like draw_string
void draw_line(uint32_t colour, int32_t x1, int32_t y1, int32_t x2, int32_t y2);  // both ends; pen to (x2, y2)
void xor_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);  // inverts draw_line's pixels
void draw_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2);      // outline in the drawing colour
void fill_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2);      // whole box in the drawing colour
void xor_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2);       // inverts the outline, each pixel once
void xor_fill_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2);  // inverts the whole box, each pixel once
void draw_circle(uint32_t colour, int32_t cx, int32_t cy, int32_t r);  // outline of radius r
void xor_circle(int32_t cx, int32_t cy, int32_t r);       // inverts the outline, each pixel once (r >= 1)
void fill_circle(int32_t cx, int32_t cy, int32_t r);      // disc in the drawing colour
void xor_fill_circle(int32_t cx, int32_t cy, int32_t r);  // inverts the disc, each pixel once (r >= 1)
void paint(int32_t x, int32_t y);  // fills (x, y)'s 4-connected region with the drawing colour
// TrueType text through GDI in kav_tttc, with the process-wide font and its cell (8 x 16 at start).
int  create_font(int width, int height);   // cell width / 2 x height; 0; 1 not made (the old font stays)
void draw_truetype_text(const char *text);  // Shift-JIS pairs and control codes; a lone lead byte at the end ends it
void draw_truetype_char(int code);          // one character at the text cursor; 1..6 set the style, 10 a newline

//------------------------------------------------------------------------------------------------
// Whole-image operations. The patterns act on the current image window (nothing when it is
// free) and leave repainting to the caller; the numbered operations answer 0 done, 1 bad number
// or free window (nothing changed), and invalidate the window themselves.
//------------------------------------------------------------------------------------------------
void pattern_rgb(void);    // red grows rightward, green downward, blue fades toward the far corner
void pattern_hsv(void);    // hue across; white to full colour in the top half, to black below
void pattern_ycrcb(void);  // Cr up, Cb right, luminance growing from a black centre
void pattern_yuv(void);    // V up, U right, luminance growing from a black centre
void pattern_yiq(void);    // I up, Q right, luminance growing from a black centre
void pattern_grey(void);   // grey ramp on top, reversed below; an 8-bit window gets the grey table
int  invert_image(int n);     // inverts every pixel (8-bit index i becomes 255 - i)
int  flip_horizontal(int n);  // mirrors left to right
int  flip_vertical(int n);    // mirrors top to bottom
// Quarter turns and scaling make n current and re-create it at the new size, keeping its place,
// zoom, depth, stretch mode and colour table: 0; 1 bad window; 2 the new size cannot be shown;
// 3 no memory or bitmap. On a failure window n stays as it was.
int  rotate_right(int n);          // a quarter turn clockwise
int  rotate_left(int n);           // a quarter turn counter-clockwise
int  scale_image(int n, int k);    // k per mille: sizes (size * k + 500) / 1000, stretched in the window's mode

//------------------------------------------------------------------------------------------------
// Point-picking tools, profiles and graphs (worker thread)
//------------------------------------------------------------------------------------------------
// Each tool makes image window n current, prompts in the Main window's status line, shows an
// inverting rubber band that follows the mouse and pumps messages until the pick ends. Results
// go through the pointers. 0 picked; 1 cancelled (right or middle click before the first point,
// Stop, or the window closed); 2 n is not a live image window (nothing else happens). The
// picture is left exactly as it was before the pick.
int  pick_point(int n, int32_t *x, int32_t *y);                      // one click
int  pick_row(int n, int32_t *x, int32_t *y);                        // one click, line across the mouse row
int  pick_column(int n, int32_t *x, int32_t *y);                     // one click, line down the mouse column
int  pick_box(int n, int32_t *x1, int32_t *y1, int32_t *x2, int32_t *y2);   // two corners, ordered
int  pick_line(int n, int32_t *x1, int32_t *y1, int32_t *x2, int32_t *y2);  // first and second click
int  pick_circle(int n, int32_t *cx, int32_t *cy, int32_t *r);       // centre, then a point on the circle
int  pick_placement(int n, int32_t w, int32_t h, int32_t *x, int32_t *y);  // centre of a w x h outline
void end_tool(void);  // status "%d-bit color", no pick in progress, drops on the Main window accepted again

// Profile flags: the element type and channel (first set bit, bytes first) and the drawing mode.
enum {
    PROFILE_RED = 0x1, PROFILE_GREEN = 0x2, PROFILE_BLUE = 0x4,
    PROFILE_HUE = 0x8, PROFILE_SATURATION = 0x10, PROFILE_VALUE = 0x20,
    PROFILE_POINTS = 0x40, PROFILE_POLYLINE = 0x80,
    PROFILE_Y = 0x100, PROFILE_CR = 0x200, PROFILE_CB = 0x400,
    PROFILE_BYTES = 0x1000,  // elements are the bytes of an 8-bit row, drawn as they are
};
// Graphs draw into the current image window (the graph window the caller has just made).
void read_row(void *buffer, int32_t y, int32_t count);  // row y of the current window: words or bytes, 0 outside
void plot_profile(const void *values, int32_t x0, int32_t count, int32_t flags, uint32_t colour);  // rows 127..0
// The Cb-Cr scatters draw their frame (grey axes, "Cr" and "Cb") and then the pixels at
// x = Cb + 128, y = 128 - Cr in a 256 x 256 graph.
void plot_crcb_line(const uint32_t *values, int32_t count);   // one polyline, segments magenta and white
void plot_crcb_area(int32_t rows, const uint32_t *values, int32_t columns);  // one white polyline per row

#endif
