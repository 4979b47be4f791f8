// converter.cpp - the image-data converter: the setup routine opens the picture, the text window
// for messages and a 3 x 2 Button box; the main routine serves the buttons until Stop.
#include <windows.h>
#include <commdlg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "app/imagedata.h"
#include "core/core.h"
#include "imagewin/imagewin.h"

// Buttons of the box, numbered row by row.
enum {
    BUTTON_OPEN = 0,
    BUTTON_GIF = 1,
    BUTTON_BMP = 2,
    BUTTON_UP = 3,
    BUTTON_GAIN = 4,  // shows the gain; its presses are never read
    BUTTON_DOWN = 5,
};

#define START_GAIN 5
#define GAIN_LABEL_BYTES 64  // the gain formatted "%d", terminator included

//------------------------------------------------------------------------------------------------
// Open dialog buffers, kept for the whole process so the dialog offers the last file again
// (worker thread)
//------------------------------------------------------------------------------------------------
static wchar_t dialog_file_name[KAV_PATH_UNITS];   // KAV_PATH_UNITS units: the chosen path
static wchar_t dialog_file_title[KAV_PATH_UNITS];  // KAV_PATH_UNITS units: its last component

//------------------------------------------------------------------------------------------------
// State of one run of the main routine, made afresh at every Start (worker thread)
//------------------------------------------------------------------------------------------------
static uint16_t *sample_grid;                // IMAGE_DATA_SAMPLES samples, row-major; NULL between runs
static int gain;                             // 0..IMAGE_DATA_MAX_GAIN
static bool loaded;                          // a file was read in this run; saving needs it
static char gain_label[GAIN_LABEL_BYTES];    // label of the gain button
static char data_path[KAV_PATH_BYTES];       // ANSI path of the last file read in this run

// Messages of the program go to Text window 0 while it exists.
static void say(const char *format, const char *text)
{
    KAV_SelectTextWindow(0);
    KAV_Printf(format, text);
}

static void make_picture_window(void)
{
    create_image_window(0, "Image", 0, 0, IMAGE_DATA_WIDTH, IMAGE_DATA_HEIGHT, 8, 100, 1);
}

// The pixel bytes of Image window 0 when it is a 640 x 480 window of 8 bits, whose rows are then
// exactly 640 bytes long; NULL otherwise. A window 0 that the user closed is made again, so the
// picture shows; a window 0 of another size or depth is left alone.
static uint8_t *picture_bytes(void)
{
    if (!live_image_window(0)) make_picture_window();
    ImageWindowEntry *entry = live_image_window(0);
    if (!entry) return NULL;
    if (entry->bits_per_pixel != 8 || entry->width != IMAGE_DATA_WIDTH || entry->height != IMAGE_DATA_HEIGHT)
        return NULL;
    return pixels[0].bytes;
}

// Renders the grid with the current gain into Image window 0 and has every image window repaint.
static void show_picture(void)
{
    uint8_t *bytes = picture_bytes();
    if (!bytes) {
        say("%s\n", live_image_window(0) ? "Image window 0 is not 640 x 480 at 8 bits: the picture is not shown"
                                         : "Image window 0 cannot be made: the picture is not shown");
        return;
    }
    render_grid(sample_grid, gain, bytes);
    KAV_InvalidateImages();
}

static void show_gain_label(void)
{
    snprintf(gain_label, sizeof gain_label, "%d", gain);
    if (KAV_ButtonCount() > BUTTON_GAIN) KAV_SetButtonBoxTitle(BUTTON_GAIN, gain_label);
}

// Takes the presses of button i: true when it was pressed at least once since the last look.
static bool take_presses(int i)
{
    if (KAV_ButtonCount() <= i) return false;
    int presses = button_presses[i];
    button_presses[i] = 0;
    return presses > 0;
}

// The chosen path in the ANSI code page; false when it does not fit or has characters that the
// code page cannot hold (a save under a mangled name would land elsewhere).
static bool path_to_ansi(const wchar_t *path, char out[KAV_PATH_BYTES])
{
    BOOL lossy = FALSE;
    // A UTF-8 code page holds every character and refuses the lossiness query.
    bool utf8 = GetACP() == CP_UTF8;
    int n = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, path, -1, out, KAV_PATH_BYTES, NULL,
                                utf8 ? NULL : &lossy);
    if (n == 0 || lossy) {
        out[0] = '\0';
        return false;
    }
    return true;
}

static int choose_data_file(void)
{
    OPENFILENAMEW dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFilter = L"imagedata(imagedata*)\0imagedata*\0All files(*.*)\0*.*\0";
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = dialog_file_name;
    dialog.nMaxFile = KAV_PATH_UNITS;
    dialog.lpstrFileTitle = dialog_file_title;
    dialog.nMaxFileTitle = KAV_PATH_UNITS;
    dialog.Flags = OFN_FILEMUSTEXIST;
    dialog.lpstrTitle = L"open file";
    dialog.lpstrDefExt = L"";
    return GetOpenFileNameW(&dialog) ? 0 : 1;
}

// "open": reads a chosen file into the grid and shows it. A file that cannot be read leaves the
// grid, the picture and the data path as they were.
static void open_data_file(void)
{
    if (choose_data_file() != 0) {
        say("%s", "error\n");
        return;
    }
    char path[KAV_PATH_BYTES];  // KAV_PATH_BYTES bytes: the chosen path in ANSI
    if (!path_to_ansi(dialog_file_name, path)) {
        say("%s\n", "cannot use the file: its path is too long or has characters the system code page lacks");
        return;
    }
    say("%s\n", path);
    FILE *file = _wfopen(dialog_file_name, L"rb");
    if (!file) {
        say("cannot open %s\n", path);
        return;
    }
    memset(sample_grid, 0, IMAGE_DATA_SAMPLES * sizeof *sample_grid);
    read_image_data_file(file, sample_grid);
    fclose(file);
    memcpy(data_path, path, sizeof data_path);
    loaded = true;
    show_picture();
}

// "GIF" and "BMP": the current image window saved next to the data file, the kind's extension
// appended to its name even when the name already ends with it, so the data file is never
// written over.
static void save_picture(int kind)
{
    if (!loaded) return;
    char picture[KAV_PATH_BYTES];  // KAV_PATH_BYTES bytes: the data path and the extension
    if (picture_path(data_path, kind == KAV_GIF ? ".gif" : ".bmp", picture, sizeof picture) != 0) {
        say("%s\n", "cannot save: the data file's name is too long for the picture's");
        return;
    }
    KAV_SaveImage(IMAGE_DATA_HEIGHT, IMAGE_DATA_WIDTH, kind, picture);
}

static void change_gain(int step)
{
    int next = gain + step;
    if (next < 0 || next > IMAGE_DATA_MAX_GAIN) return;
    gain = next;
    show_picture();
    show_gain_label();
}

// One look at every button; each action runs once however many presses were counted.
static void serve_buttons(void)
{
    if (take_presses(BUTTON_OPEN)) open_data_file();
    if (take_presses(BUTTON_GIF)) save_picture(KAV_GIF);
    if (take_presses(BUTTON_BMP)) save_picture(KAV_BMP);
    if (take_presses(BUTTON_UP)) change_gain(+1);
    if (take_presses(BUTTON_DOWN)) change_gain(-1);
}

void KAV_Setup(void)
{
    static const struct { int index; const char *label; } labels[] = {
        {BUTTON_OPEN, "open"}, {BUTTON_GIF, "GIF"}, {BUTTON_BMP, "BMP"}, {BUTTON_UP, "UP"}, {BUTTON_DOWN, "DOWN"},
    };
    if (!KAV_IsImageWindow(0)) make_picture_window();
    KAV_OpenTextWindow(0, 650, 0, 200, 200);
    KAV_OpenButtonBox(650, 236, 3, 2);
    for (const auto &button : labels)
        if (KAV_ButtonCount() > button.index) KAV_SetButtonBoxTitle(button.index, button.label);
    run_state.start_requested = 1;
}

void KAV_Main(void)
{
    sample_grid = (uint16_t *)calloc(IMAGE_DATA_SAMPLES, sizeof *sample_grid);
    if (!sample_grid) {
        say("%s\n", "not enough memory for the sample grid");
        return;
    }
    gain = START_GAIN;
    loaded = false;
    data_path[0] = '\0';
    // Clicks made while no run was active are not carried into this one.
    for (int i = BUTTON_OPEN; i <= BUTTON_DOWN; i++)
        if (KAV_ButtonCount() > i) button_presses[i] = 0;
    show_gain_label();
    while (!run_state.stop_requested) {
        KAV_PumpMessages();
        if (run_state.stop_requested) break;
        serve_buttons();
        KAV_WaitMessage();
    }
    free(sample_grid);
    sample_grid = NULL;
}
