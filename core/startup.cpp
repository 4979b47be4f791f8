// startup.cpp - the life of the process on the GUI thread: the instance limit, GDI+, the
// directories, the window classes, the Main window and the GUI message loop.
#include "core/core.h"

#include <stdio.h>
#include <wchar.h>

#include "boxes/boxes.h"
#include "core/resources.h"
#include "imagewin/gdiplus_flat.h"
#include "imagewin/imagewin.h"
#include "textwin/textwin.h"

//------------------------------------------------------------------------------------------------
// Process globals: written here by the GUI thread during start-up, read by both threads later.
//------------------------------------------------------------------------------------------------
int instance_number;
HINSTANCE module_instance;
HWND main_window;
HMENU main_menu_bar;
double millisecond_factor = 1.0;
int main_x, main_rest_y;
wchar_t open_directory_w[KAV_PATH_UNITS];
char open_directory[KAV_PATH_BYTES];
wchar_t save_directory_w[KAV_PATH_UNITS];
char save_directory[KAV_PATH_BYTES];
wchar_t log_directory_w[KAV_PATH_UNITS];
char log_directory[KAV_PATH_BYTES];
HDC main_window_dc;
HFONT truetype_font;
int font_cell_width = 8;
int font_cell_height = 16;

static ULONG_PTR gdiplus_token;  // GUI thread: from GdiplusStartup to GdiplusShutdown

#define MAIN_CLASS_UNITS 11  // "kavlib_mw9" and its terminator
#define MAIN_CLIENT_WIDTH 240
#define MAIN_DROP_HEIGHT 55  // the Main window starts this far above its resting place

static void format_main_class(wchar_t name[MAIN_CLASS_UNITS], int number)
{
    swprintf(name, MAIN_CLASS_UNITS, L"kavlib_mw%d", number);
}

// The first of 0..9 for which no Main window exists, or -1 when all ten are taken.
static int take_instance_number(void)
{
    wchar_t name[MAIN_CLASS_UNITS];
    for (int i = 0; i < 10; i++) {
        format_main_class(name, i);
        if (!FindWindowW(name, NULL)) return i;
    }
    return -1;
}

static void read_directory(wchar_t *wide, char *ansi, bool with_backslash)
{
    DWORD len = GetCurrentDirectoryW(KAV_PATH_UNITS, wide);
    if (len == 0 || len >= KAV_PATH_UNITS) wide[0] = L'\0';
    len = (DWORD)wcslen(wide);
    if (with_backslash && (len == 0 || wide[len - 1] != L'\\') && len + 1 < KAV_PATH_UNITS) {
        wide[len] = L'\\';
        wide[len + 1] = L'\0';
    }
    wide_to_ansi(wide, ansi, KAV_PATH_BYTES);
}

// The program's icon at the size the system draws for the metrics given, from the executable's
// resources; shared (never destroyed). NULL when the executable carries no icon.
static HICON program_icon(int width_metric, int height_metric)
{
    return (HICON)LoadImageW(module_instance, MAKEINTRESOURCEW(KAV_ICON_ID), IMAGE_ICON,
                             GetSystemMetrics(width_metric), GetSystemMetrics(height_metric), LR_SHARED);
}

static bool register_class(const wchar_t *name, WNDPROC proc, UINT style, HBRUSH background)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = module_instance;
    wc.hIcon = program_icon(SM_CXICON, SM_CYICON);
    wc.hIconSm = program_icon(SM_CXSMICON, SM_CYSMICON);
    wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

static bool register_classes(const wchar_t *main_class)
{
    HBRUSH face = (HBRUSH)(COLOR_BTNFACE + 1);
    HBRUSH black = (HBRUSH)GetStockObject(BLACK_BRUSH);
    return register_class(main_class, main_window_proc, CS_CLASSDC, face) &&
           register_class(L"kav_iw", image_window_proc, CS_OWNDC, black) &&
           register_class(L"kav_twi", text_window_proc, CS_OWNDC, black) &&
           register_class(L"kav_ib", input_box_proc, CS_OWNDC | CS_DBLCLKS, face) &&
           register_class(L"kav_bb", button_box_proc, CS_OWNDC | CS_DBLCLKS, face);
}

static HMENU make_menu_bar(void)
{
    HMENU menu = CreateMenu();
    add_menu_item(menu, 0, 0, CMD_START, "Start(&S)");
    add_menu_item(menu, 1, 0, CMD_STOP, "Stop(&C)");
    add_menu_item(menu, 2, 0, CMD_EXIT, "Exit(&X)");
    return menu;
}

// Creates the Main window centred on the work area, 55 pixels above the place where its drop
// animation (inside WM_CREATE) brings it to rest on the work area's bottom edge.
static HWND create_main_window(const wchar_t *main_class)
{
    RECT area;
    work_area(&area);
    main_menu_bar = make_menu_bar();
    const DWORD style = WS_VISIBLE | WS_CAPTION | WS_THICKFRAME;
    RECT frame = {0, 0, scale_for_display(MAIN_CLIENT_WIDTH),
                  GetSystemMetrics(SM_CYMENU) + scale_for_display(32)};
    AdjustWindowRect(&frame, style, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x = (area.left + area.right) / 2 - width / 2;
    main_rest_y = area.bottom - height;
    main_x = x;
    wchar_t title[32];
    swprintf(title, 32, L"KAVLIB " KAV_WIDE(KAV_VERSION) L" [%d]", instance_number);
    return CreateWindowExW(0, main_class, title, style, x, main_rest_y - MAIN_DROP_HEIGHT, width, height,
                           NULL, main_menu_bar, module_instance, NULL);
}

// The TrueType font of text drawn into images, made before the worker thread starts so that
// the setup routine can draw with it.
static void create_truetype_font(void)
{
    truetype_font = CreateFontW(font_cell_height, font_cell_width, 0, 0, 0, FALSE, FALSE, FALSE,
                                DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, 0, 0, 0,
                                L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF");
}

// Where and in what colour text drawn into images starts; set before the worker thread exists,
// so the setup routine's own choices are never overwritten.
static void reset_image_text_state(void)
{
    kav_tttc = 0xFFFFFF;
    text_cursor.x = 0;
    text_cursor.y = 0;
    text_left_margin = 0;
}

int kav_win_main(HINSTANCE instance)
{
    instance_number = take_instance_number();
    if (instance_number < 0) {
        MessageBoxW(NULL, L"Over instance limit!", L"KAVLIB", MB_OK);
        return 1;
    }

    KAV_GdiplusStartupInput input = {1, NULL, FALSE, FALSE};
    GdiplusStartup(&gdiplus_token, &input, NULL);

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    millisecond_factor = 1000.0 / (double)frequency.QuadPart;
    module_instance = instance;

    reset_image_windows();
    reset_text_windows();
    read_directory(open_directory_w, open_directory, false);
    read_directory(save_directory_w, save_directory, false);
    read_directory(log_directory_w, log_directory, true);

    wchar_t main_class[MAIN_CLASS_UNITS];
    format_main_class(main_class, instance_number);
    if (!register_classes(main_class)) return 1;
    create_truetype_font();
    reset_image_text_state();

    // WM_CREATE plays the drop animation and starts the worker thread inside this call.
    HWND hwnd = create_main_window(main_class);
    if (!hwnd) return 1;

    UpdateWindow(hwnd);
    main_window_dc = GetDC(hwnd);

    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    DeleteObject(truetype_font);
    release_text_font();
    DestroyMenu(main_menu_bar);
    GdiplusShutdown(gdiplus_token);
    return 0;
}
