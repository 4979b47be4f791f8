// image_menus.cpp - the Image window's two popup menus, built afresh each time they open:
// the file and view menu (right button) and the processing and drawing menu (Ctrl + right
// button, or the middle button).
#include "imagewin/image_commands.h"

#include "core/core.h"
#include "imagewin/imagewin.h"

// One item of a menu table: a label and its id, or a separator (id 0, label NULL).
struct MenuEntry {
    const char *label;
    int id;
};

#define SEPARATOR {NULL, 0}

// Fills menu from a table, by position.
static void add_entries(HMENU menu, const MenuEntry *entries, int count)
{
    for (int i = 0; i < count; i++) {
        if (entries[i].label)
            add_menu_item(menu, i, MFS_ENABLED, entries[i].id, entries[i].label);
        else
            add_menu_separator(menu, i);
    }
}

#define ENTRIES(table) table, (int)(sizeof table / sizeof table[0])

HMENU build_file_menu(int n)
{
    ImageWindowEntry *e = live_image_window(n);
    int zoom = e ? e->zoom : 0;
    HMENU menu = CreatePopupMenu();
    if (!menu) return NULL;
    add_menu_item(menu, 0, MFS_ENABLED, IMG_CUT, "Cut\tCtrl+X");
    add_menu_item(menu, 1, MFS_ENABLED, IMG_COPY, "Copy\tCtrl+C");
    add_menu_item(menu, 2, MFS_ENABLED, IMG_PASTE_PICKED, "Paste\tCtrl+V");
    add_menu_separator(menu, 3);
    add_menu_item(menu, 4, MFS_ENABLED, IMG_LOAD, "&Load image file");
    add_menu_item(menu, 5, MFS_ENABLED, IMG_SAVE_AS, "&Save as");
    add_menu_separator(menu, 6);
    add_menu_item(menu, 7, zoom == 50 ? MFS_CHECKED : MFS_UNCHECKED, IMG_ZOOM_50, "Zoom: 50%");
    add_menu_item(menu, 8, zoom == 100 ? MFS_CHECKED : MFS_UNCHECKED, IMG_ZOOM_100, "Zoom:100%\tCtrl+0");
    add_menu_item(menu, 9, zoom == 200 ? MFS_CHECKED : MFS_UNCHECKED, IMG_ZOOM_200, "Zoom:200%");
    add_menu_item(menu, 10, MFS_ENABLED, IMG_ZOOM_ASK, "&Zoom...");
    add_menu_separator(menu, 11);
    add_menu_item(menu, 12, MFS_ENABLED, IMG_RESIZE_ASK, "&Resize...");
    add_menu_item(menu, 13, MFS_ENABLED, IMG_DESTROY, "&Destroy\tCtrl+Q");
    return menu;
}

static const MenuEntry process_entries[] = {
    {"Invert", IMG_INVERT}, SEPARATOR,
    {"R. Rotate", IMG_ROTATE_RIGHT}, {"L. Rotate", IMG_ROTATE_LEFT}, SEPARATOR,
    {"Horz. Flip", IMG_FLIP_HORIZONTAL}, {"Vert. Flip", IMG_FLIP_VERTICAL}, SEPARATOR,
    {"Size 50.0%", IMG_SIZE_50}, {"Size 70.7%", IMG_SIZE_70}, {"Size 141.4%", IMG_SIZE_141},
    {"Size 200.0%", IMG_SIZE_200},
};
static const MenuEntry information_entries[] = {
    {"Pixel", IMG_PIXEL}, {"Line(RGB)", IMG_LINE_RGB}, {"Line(HSV)", IMG_LINE_HSV},
    {"Line(YCrCb)", IMG_LINE_YCRCB}, {"Line(CrCb)", IMG_LINE_CRCB}, SEPARATOR,
    {"Area(CrCb)", IMG_AREA_CRCB},
};
static const MenuEntry information_8bit_entries[] = {
    {"Pixel", IMG_PIXEL}, {"Line(Lumi)", IMG_LINE_LUMI},
};
static const MenuEntry pattern_entries[] = {
    {"RGB", IMG_PATTERN_RGB}, {"HSV", IMG_PATTERN_HSV}, {"YCrCb", IMG_PATTERN_YCRCB},
    {"Yuv", IMG_PATTERN_YUV}, {"YIQ", IMG_PATTERN_YIQ}, {"Grey", IMG_PATTERN_GREY},
};
static const MenuEntry colour_entries[] = {{"Change", IMG_COLOUR_CHANGE}, {"Pick", IMG_COLOUR_PICK}};
static const MenuEntry line_entries[] = {
    {"Normal", IMG_DRAW_LINE}, {"Horz.", IMG_DRAW_ROW}, {"Vert.", IMG_DRAW_COLUMN},
};
static const MenuEntry box_entries[] = {
    {"Normal", IMG_DRAW_BOX}, {"Fill", IMG_FILL_BOX}, {"Fill XOR", IMG_XOR_FILL_BOX},
};
static const MenuEntry circle_entries[] = {
    {"Normal", IMG_DRAW_CIRCLE}, {"Fill", IMG_FILL_CIRCLE}, {"Fill XOR", IMG_XOR_FILL_CIRCLE},
};
static const MenuEntry truetype_entries[] = {{"Draw", IMG_TRUETYPE_DRAW}, {"Font Change", IMG_FONT_CHANGE}};

// A submenu filled from a table, added at position of menu.
static void add_submenu(HMENU menu, int position, const char *label, const MenuEntry *entries, int count)
{
    HMENU submenu = CreatePopupMenu();
    if (!submenu) return;
    add_entries(submenu, entries, count);
    add_submenu_item(menu, position, submenu, label);
}

HMENU build_processing_menu(int n)
{
    ImageWindowEntry *e = live_image_window(n);
    bool eight_bit = e && e->bits_per_pixel == 8;
    HMENU menu = CreatePopupMenu();
    if (!menu) return NULL;
    add_submenu(menu, 0, "Process...", ENTRIES(process_entries));
    add_menu_separator(menu, 1);
    if (eight_bit)
        add_submenu(menu, 2, "Information...", ENTRIES(information_8bit_entries));
    else
        add_submenu(menu, 2, "Information...", ENTRIES(information_entries));
    add_menu_separator(menu, 3);
    add_submenu(menu, 4, "Test Pattern...", ENTRIES(pattern_entries));
    add_menu_separator(menu, 5);
    add_menu_item(menu, 6, MFS_ENABLED, IMG_CLIPPING, "Clipping\tCtrl+R");
    add_menu_separator(menu, 7);
    add_submenu(menu, 8, "Color...", ENTRIES(colour_entries));
    add_submenu(menu, 9, "Draw Line...", ENTRIES(line_entries));
    add_submenu(menu, 10, "Draw Box...", ENTRIES(box_entries));
    add_submenu(menu, 11, "Draw Circle...", ENTRIES(circle_entries));
    add_submenu(menu, 12, "TrueType...", ENTRIES(truetype_entries));
    add_menu_item(menu, 13, MFS_ENABLED, IMG_DRAW_TEXT, "Draw Text");
    add_menu_item(menu, 14, MFS_ENABLED, IMG_PAINT, "Paint");
    return menu;
}
