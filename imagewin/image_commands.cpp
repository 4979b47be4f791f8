// image_commands.cpp - the Image window's commands: the file and view menu (load, save,
// clipboard, zoom, resize, destroy), the colour and font choosers, and the dispatch of the
// processing menu's commands to their groups.
#include "imagewin/image_commands.h"

#include <commdlg.h>
#include <stdlib.h>

#include "core/core.h"
#include "imagewin/imagewin.h"
#include "imaging/truetype_text.h"

static COLORREF colorref_of(uint32_t colour)
{
    return RGB(colour >> 16 & 0xFF, colour >> 8 & 0xFF, colour & 0xFF);
}

static uint32_t colour_word_of(COLORREF c)
{
    return (uint32_t)GetRValue(c) << 16 | (uint32_t)GetGValue(c) << 8 | GetBValue(c);
}

int open_result_window(const char *name, int width, int height, int bits_per_pixel)
{
    for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++)
        if (create_image_window(n, name, 0, 0, width, height, bits_per_pixel, 100, 1) == 0) return n;
    return -1;
}

static void load_command(HWND hwnd)
{
    if (find_and_select(hwnd) < 0) return;
    char name[KAV_PATH_BYTES];
    if (open_file_dialog(name) != 0) return;
    load_image_file(name, 0, 0);
    invalidate_image(current_image_window);
}

// Save kinds by the save dialog's filter: All Files and BMP save as BMP.
static const int kind_of_filter[] = {KAV_BMP, KAV_BMP, KAV_BMP, KAV_JPEG, KAV_GIF, KAV_PNG, KAV_TIFF};

static void save_as_command(HWND hwnd)
{
    if (find_and_select(hwnd) < 0) return;
    char name[KAV_PATH_BYTES];
    if (save_file_dialog(name) != 0) return;
    ImageWindowEntry *e = live_image_window(current_image_window);
    if (!e) return;
    int filter = save_filter_index;
    int kind = (filter >= 1 && filter <= 6) ? kind_of_filter[filter] : KAV_BMP;
    int quality = jpeg_quality;
    jpeg_quality = 100;
    save_image_file(e->height, e->width, kind, name);
    jpeg_quality = quality;
}

// Reads a number typed into text window 0 after the prompt; text that is no number gives 0.
static long ask_number(const char *prompt, int n)
{
    KAV_OpenTextWindow(0, -1, -1, -1, -1);
    KAV_Printf(prompt, n);
    char line[KAV_LINE_BYTES];
    KAV_InputText(line);
    long v = strtol(line, NULL, 10);
    if (v > 100000000L) v = 100000000L;  // far beyond any size or zoom that can be shown
    if (v < -100000000L) v = -100000000L;
    return v;
}

static void zoom_ask_command(int n)
{
    long zoom = ask_number("[%d] Zoom(%%)=", n);
    set_zoom(n, (int)zoom);
}

static void resize_ask_command(int n)
{
    long width = ask_number("[%d] New x-size(pixel)=", n);
    long height = ask_number("[%d] New y-size(pixel)=", n);
    recreate_image_window(n, (int)width, (int)height);
}

// The chooser starts from the drawing colour; a chosen colour becomes the drawing colour and
// both text colours. Cancel changes nothing.
static void colour_change_command(HWND hwnd)
{
    CHOOSECOLORW cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = hwnd;
    cc.rgbResult = colorref_of(drawing_colour);
    cc.lpCustColors = custom_colours;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&cc)) return;
    uint32_t colour = colour_word_of(cc.rgbResult);
    drawing_colour = colour;
    kav_tttc = colour;
    kav_tc = colour;
}

// The chooser starts from the TrueType font; the old font is replaced only once the new one
// exists, so cancel or a failed creation keeps a usable font.
static void font_change_command(HWND hwnd)
{
    LOGFONTW font;
    current_font_description(&font);
    CHOOSEFONTW cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = hwnd;
    cf.lpLogFont = &font;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_SCRIPTSONLY;
    cf.nFontType = SCREEN_FONTTYPE;
    if (ChooseFontW(&cf)) replace_truetype_font(&font);
}

static void cut_command(int n)
{
    copy_to_clipboard(n);
    clear_image(n);
    invalidate_image(n);
}

// The file and view menu's commands, and the choosers; false for an id of another group.
static bool run_file_command(HWND hwnd, int n, int id)
{
    switch (id) {
    case IMG_LOAD: load_command(hwnd); break;
    case IMG_DESTROY: destroy_image_window(n); break;
    case IMG_ZOOM_50: set_zoom(n, 50); break;
    case IMG_ZOOM_100: set_zoom(n, 100); break;
    case IMG_ZOOM_200: set_zoom(n, 200); break;
    case IMG_SAVE_AS: save_as_command(hwnd); break;
    case IMG_CUT: cut_command(n); break;
    case IMG_COPY: copy_to_clipboard(n); break;
    case IMG_PASTE_PICKED: paste_from_clipboard(n, -1, -1); break;
    case IMG_PASTE_CORNER: paste_from_clipboard(n, 0, 0); break;
    case IMG_ZOOM_ASK: zoom_ask_command(n); break;
    case IMG_RESIZE_ASK: resize_ask_command(n); break;
    case IMG_COLOUR_CHANGE: colour_change_command(hwnd); break;
    case IMG_FONT_CHANGE: font_change_command(hwnd); break;
    default: return false;
    }
    return true;
}

void run_image_command(HWND hwnd, int id)
{
    int n = find_image_window(hwnd);
    if (n < 0) return;
    if (run_file_command(hwnd, n, id)) return;
    if (run_information_command(hwnd, n, id)) return;
    run_drawing_command(hwnd, n, id);
}
