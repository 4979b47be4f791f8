// image_commands.h - the Image window's command ids, its two popup menus, its key table and
// the commands themselves.
#ifndef KAV_IMAGE_COMMANDS_H
#define KAV_IMAGE_COMMANDS_H

#include <windows.h>

// WM_COMMAND ids of the Image window (shared with the Main window's range 1001-1071).
enum {
    IMG_LOAD = 1004,
    IMG_DESTROY = 1005,
    IMG_ZOOM_50 = 1007,
    IMG_ZOOM_100 = 1008,
    IMG_ZOOM_200 = 1009,
    IMG_SAVE_AS = 1010,
    IMG_CUT = 1011,
    IMG_COPY = 1012,
    IMG_PASTE_PICKED = 1013,
    IMG_PASTE_CORNER = 1014,
    IMG_PIXEL = 1015,
    IMG_LINE_RGB = 1016,
    IMG_LINE_HSV = 1017,
    IMG_LINE_YCRCB = 1018,
    IMG_CLIPPING = 1019,
    IMG_LINE_CRCB = 1021,
    IMG_AREA_CRCB = 1022,
    IMG_COLOUR_CHANGE = 1031,
    IMG_DRAW_LINE = 1032,
    IMG_DRAW_ROW = 1034,
    IMG_DRAW_COLUMN = 1035,
    IMG_DRAW_BOX = 1036,
    IMG_FILL_BOX = 1037,
    IMG_XOR_FILL_BOX = 1038,
    IMG_DRAW_CIRCLE = 1039,
    IMG_FILL_CIRCLE = 1040,
    IMG_XOR_FILL_CIRCLE = 1041,
    IMG_DRAW_TEXT = 1042,
    IMG_PAINT = 1043,
    IMG_ZOOM_ASK = 1046,
    IMG_RESIZE_ASK = 1047,
    IMG_TRUETYPE_DRAW = 1048,
    IMG_FONT_CHANGE = 1049,
    IMG_COLOUR_PICK = 1052,
    IMG_PATTERN_RGB = 1053,
    IMG_PATTERN_HSV = 1054,
    IMG_PATTERN_YCRCB = 1055,
    IMG_INVERT = 1058,
    IMG_FLIP_HORIZONTAL = 1059,
    IMG_FLIP_VERTICAL = 1060,
    IMG_ROTATE_RIGHT = 1061,
    IMG_ROTATE_LEFT = 1062,
    IMG_SIZE_50 = 1063,
    IMG_SIZE_70 = 1064,
    IMG_SIZE_141 = 1065,
    IMG_SIZE_200 = 1066,
    IMG_PATTERN_YUV = 1067,
    IMG_PATTERN_YIQ = 1068,
    IMG_LINE_LUMI = 1070,
    IMG_PATTERN_GREY = 1071,
};

HMENU build_file_menu(int n);        // the right-button menu of image window n, zoom items checked
HMENU build_processing_menu(int n);  // the Ctrl + right-button menu; its Information submenu follows the depth

void run_image_command(HWND hwnd, int id);  // WM_COMMAND of an image window; unknown ids do nothing

// The command groups run_image_command hands an id to; each answers false for an id not its own.
// n is the window's number (live), hwnd its handle.
bool run_information_command(HWND hwnd, int n, int id);  // pixel readout, profiles, graphs, clipping
bool run_drawing_command(HWND hwnd, int n, int id);      // drawing, text, test patterns, Process

// The first window number from 0 upward at which a 32- or 8-bit window of this name and size
// can be made at (0, 0) and zoom 100; the new window is current. -1 when no number will do.
int open_result_window(const char *name, int width, int height, int bits_per_pixel);

#endif
