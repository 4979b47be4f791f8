// ui_helpers.cpp - small helpers shared by every window of the library: text conversion,
// menus, window texts, the work area and the pause box.
#include "core/core.h"

int ansi_to_wide(const char *text, wchar_t *out, int units)
{
    if (units <= 0) return 0;
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, out, units);
    if (n == 0) {
        // Too long for the buffer: keep what fits, always terminated.
        n = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
        if (n > units) {
            int len = (int)strlen(text);
            int got = 0;
            while (len > 0 && (got = MultiByteToWideChar(CP_ACP, 0, text, len, out, units - 1)) == 0) len--;
            out[got] = L'\0';
            return got;
        }
        out[0] = L'\0';
        return 0;
    }
    return n - 1;
}

int wide_to_ansi(const wchar_t *text, char *out, int bytes)
{
    if (bytes <= 0) return 0;
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, out, bytes, NULL, NULL);
    if (n == 0) {
        int len = (int)wcslen(text);
        int got = 0;
        while (len > 0 && (got = WideCharToMultiByte(CP_ACP, 0, text, len, out, bytes - 1, NULL, NULL)) == 0) len--;
        out[got] = '\0';
        return got;
    }
    return n - 1;
}

void add_menu_item(HMENU menu, int position, int state, int id, const char *text)
{
    wchar_t wide[KAV_NAME_UNITS];
    ansi_to_wide(text, wide, KAV_NAME_UNITS);
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = (UINT)state;
    item.wID = (UINT)id;
    item.dwTypeData = wide;
    InsertMenuItemW(menu, (UINT)position, TRUE, &item);
}

void add_menu_separator(HMENU menu, int position)
{
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_TYPE;
    item.fType = MFT_SEPARATOR;
    InsertMenuItemW(menu, (UINT)position, TRUE, &item);
}

void add_submenu_item(HMENU menu, int position, HMENU submenu, const char *text)
{
    wchar_t wide[KAV_NAME_UNITS];
    ansi_to_wide(text, wide, KAV_NAME_UNITS);
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_SUBMENU | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.hSubMenu = submenu;
    item.dwTypeData = wide;
    InsertMenuItemW(menu, (UINT)position, TRUE, &item);
}

void get_window_text(HWND hwnd, int max_bytes, char *out)
{
    wchar_t wide[KAV_NAME_UNITS];
    if (GetWindowTextW(hwnd, wide, KAV_NAME_UNITS) == 0) wide[0] = L'\0';
    wide_to_ansi(wide, out, max_bytes);
}

void set_window_text(HWND hwnd, const char *text)
{
    wchar_t wide[KAV_NAME_UNITS];
    ansi_to_wide(text, wide, KAV_NAME_UNITS);
    SetWindowTextW(hwnd, wide);
}

void work_area(RECT *area)
{
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, area, 0)) SetRect(area, 0, 0, 0, 0);
}

bool ctrl_held(void)
{
    return GetKeyState(VK_CONTROL) < 0;
}

// The program declares itself DPI-aware, so the system no longer enlarges its windows on a
// scaled display: lengths laid out for 96 dots per inch are scaled here to the display's own.
int scale_for_display(int pixels)
{
    HDC screen = GetDC(NULL);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(NULL, screen);
    if (dpi <= 96) return pixels;
    return MulDiv(pixels, dpi, 96);
}

void KAV_Pause(const char *text)
{
    wchar_t wide[KAV_NAME_UNITS];
    ansi_to_wide(text, wide, KAV_NAME_UNITS);
    MessageBoxW(NULL, wide, L"Pause", MB_OK);
}
