// image_table.cpp - the image window table: creation with zoom fitting, destruction,
// painting, zoom, stretch mode, title, re-creation, clearing and the current window.
#include "imagewin/imagewin.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "core/core.h"
#include "imagewin/zoom_fit.h"

//------------------------------------------------------------------------------------------------
// Image window globals (worker thread; start-up resets them before the worker exists)
//------------------------------------------------------------------------------------------------
ImageWindowEntry image_windows[KAV_MAX_IMAGE_WINDOWS];  // worker thread
KAV_PixelMemory pixels[KAV_MAX_IMAGE_WINDOWS];          // worker thread; stale for free entries
int current_image_window = 0;                           // worker thread
int image_window_history[KAV_IMAGE_HISTORY];            // worker thread; most recent first
COLORREF custom_colours[16];                            // worker thread (colour chooser)

static const DWORD IMAGE_STYLE = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

ImageWindowEntry *live_image_window(int n)
{
    if (n < 0 || n >= KAV_MAX_IMAGE_WINDOWS) return NULL;
    if (image_windows[n].in_use != 1) return NULL;
    return &image_windows[n];
}

void reset_image_windows(void)
{
    memset(image_windows, 0, sizeof image_windows);
    memset(image_window_history, 0, sizeof image_window_history);
    memset(custom_colours, 0, sizeof custom_colours);
    current_image_window = 0;
}

static SizeLimits current_size_limits(int size_limit)
{
    ScreenMetrics m;
    m.cx_min = GetSystemMetrics(SM_CXMIN);
    m.cy_min = GetSystemMetrics(SM_CYMIN);
    m.cx_frame = GetSystemMetrics(SM_CXFRAME);
    m.cy_caption = GetSystemMetrics(SM_CYCAPTION);
    m.cx_screen = GetSystemMetrics(SM_CXSCREEN);
    m.cy_screen = GetSystemMetrics(SM_CYSCREEN);
    return size_limits_for(size_limit, m);
}

// Formats the title of entry e into title (KAV_TITLE_BYTES); a long name is cut.
static void format_title(const ImageWindowEntry *e, bool halftone, char title[KAV_TITLE_BYTES])
{
    const char *format = e->bits_per_pixel == 8 ? "%s(%d%%)[8bit]" : "%s(%d%%)";
    int used = snprintf(title, KAV_TITLE_BYTES, format, e->name ? e->name : "", e->zoom);
    if (used < 0) used = 0;
    if (used > KAV_TITLE_BYTES - 1) used = KAV_TITLE_BYTES - 1;
    if (halftone && used < KAV_TITLE_BYTES - 1) {
        title[used] = '*';
        title[used + 1] = '\0';
    }
}

void refresh_title(int n)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return;
    char title[KAV_TITLE_BYTES];
    format_title(e, GetStretchBltMode(e->mem_dc) == HALFTONE, title);
    set_window_text(e->hwnd, title);
}

// Applies one stretch mode with brush origin (0, 0) to a DC.
static void apply_stretch_mode(HDC dc, int mode)
{
    SetStretchBltMode(dc, mode);
    SetBrushOrgEx(dc, 0, 0, NULL);
}

// Releases what a (partly) made entry holds, in reverse order of acquisition.
static void release_entry(ImageWindowEntry *e)
{
    if (e->mem_dc && e->old_bitmap) SelectObject(e->mem_dc, e->old_bitmap);
    if (e->bitmap) DeleteObject(e->bitmap);
    if (e->mem_dc) DeleteDC(e->mem_dc);
    if (e->window_dc) ReleaseDC(e->hwnd, e->window_dc);
    free(e->name);
    if (e->hwnd) DestroyWindow(e->hwnd);
    memset(e, 0, sizeof *e);
}

BITMAPINFO *new_bitmap_info(int width, int height, int bits_per_pixel, const uint32_t *colours)
{
    size_t size = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
    BITMAPINFO *info = (BITMAPINFO *)calloc(1, size);
    if (!info) return NULL;
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = -height;  // top-down
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = (WORD)bits_per_pixel;
    info->bmiHeader.biCompression = BI_RGB;
    for (int i = 0; i < 256; i++) {
        if (colours) {
            memcpy(&info->bmiColors[i], &colours[i], sizeof(RGBQUAD));
        } else {
            info->bmiColors[i].rgbRed = info->bmiColors[i].rgbGreen = info->bmiColors[i].rgbBlue = (BYTE)i;
            info->bmiColors[i].rgbReserved = 0;
        }
    }
    return info;
}

// The DIB section with the grey colour table; pixel memory address into *bits.
static HBITMAP make_dib_section(int width, int height, int bits_per_pixel, void **bits)
{
    BITMAPINFO *info = new_bitmap_info(width, height, bits_per_pixel, NULL);
    if (!info) return NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, info, DIB_RGB_COLORS, bits, NULL, 0);
    free(info);
    return bitmap;
}

// Builds a whole window into e, which is not yet in the table: the window at the given screen
// position (CW_USEDEFAULT allowed), its DCs and its black DIB section, whose pixel memory goes
// to *bits. 0 done; 3 something could not be made, and e then holds nothing.
static int build_entry(ImageWindowEntry *e, void **bits, const char *name, int screen_x, int screen_y,
                       int width, int height, int bits_per_pixel, const ZoomFit &fit, int size_limit)
{
    memset(e, 0, sizeof *e);
    e->bits_per_pixel = bits_per_pixel;
    e->size_limit = size_limit;
    e->width = width;
    e->height = height;
    e->zoom = fit.zoom;
    e->view_width = fit.view_width;
    e->view_height = fit.view_height;

    RECT outer = {0, 0, fit.view_width, fit.view_height};
    AdjustWindowRect(&outer, IMAGE_STYLE, FALSE);
    if (!name) name = "";
    size_t length = strlen(name);
    e->name = (char *)malloc(length + 1);
    if (!e->name) return 3;
    memcpy(e->name, name, length + 1);

    char title[KAV_TITLE_BYTES];
    wchar_t title_w[KAV_NAME_UNITS];
    format_title(e, false, title);
    ansi_to_wide(title, title_w, KAV_NAME_UNITS);
    e->hwnd = CreateWindowExW(0, L"kav_iw", title_w, IMAGE_STYLE, screen_x, screen_y,
                              outer.right - outer.left, outer.bottom - outer.top, main_window, NULL,
                              module_instance, NULL);
    if (!e->hwnd) {
        release_entry(e);
        return 3;
    }
    e->window_dc = GetDC(e->hwnd);
    apply_stretch_mode(e->window_dc, COLORONCOLOR);
    e->mem_dc = CreateCompatibleDC(e->window_dc);
    apply_stretch_mode(e->mem_dc, COLORONCOLOR);
    *bits = NULL;
    e->bitmap = make_dib_section(width, height, bits_per_pixel, bits);
    if (!e->bitmap || !*bits) {
        release_entry(e);
        return 3;
    }
    e->old_bitmap = (HBITMAP)SelectObject(e->mem_dc, e->bitmap);
    memset(*bits, 0, (size_t)image_row_stride(width, bits_per_pixel) * (size_t)height);
    return 0;
}

// Puts a built entry into the table as window n and makes it live and current.
static void commit_entry(int n, const ImageWindowEntry &built, void *bits)
{
    ImageWindowEntry *e = &image_windows[n];
    *e = built;
    pixels[n].words = (uint32_t *)bits;
    pixels[n].bytes = (uint8_t *)bits;
    e->in_use = 1;
    UpdateWindow(e->hwnd);
    SetForegroundWindow(e->hwnd);
    DragAcceptFiles(e->hwnd, TRUE);
    rebuild_placement_list();
    select_current_window(n);
}

// The size checks of creation: 0 with the fitted zoom in *fit; 3 bad bits; 2 the zoom cannot be
// met. Sizes below 1 are raised to 1.
static int check_creation(int *width, int *height, int bits_per_pixel, int zoom, int size_limit, ZoomFit *fit)
{
    if (bits_per_pixel != 8 && bits_per_pixel != 32) return 3;
    if (*width < 1) *width = 1;
    if (*height < 1) *height = 1;
    if (fit_zoom(*width, *height, zoom, current_size_limits(size_limit), fit) != 0) return 2;
    return 0;
}

int create_image_window(int n, const char *name, int x, int y, int width, int height,
                        int bits_per_pixel, int zoom, int size_limit)
{
    if (n < 0 || n >= KAV_MAX_IMAGE_WINDOWS) return 4;
    if (image_windows[n].in_use == 1) return 1;
    ZoomFit fit;
    int checked = check_creation(&width, &height, bits_per_pixel, zoom, size_limit, &fit);
    if (checked != 0) return checked;
    // -1 in either coordinate lets the system place the window: a lone CW_USEDEFAULT x would
    // make the system read y as a show command, and a lone one in y is no position at all.
    int screen_x = CW_USEDEFAULT, screen_y = CW_USEDEFAULT;
    if (x != -1 && y != -1) {
        RECT area;
        work_area(&area);
        screen_x = x + area.left;
        screen_y = y + area.top;
    }
    ImageWindowEntry built;
    void *bits = NULL;
    int result = build_entry(&built, &bits, name, screen_x, screen_y, width, height, bits_per_pixel, fit,
                             size_limit);
    if (result != 0) return result;
    commit_entry(n, built, bits);
    return 0;
}

int destroy_image_window(int n)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return 1;
    e->in_use = 0;
    release_entry(e);
    return 0;
}

int paint_image_window(int n)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return 1;
    if (e->zoom == 100)
        BitBlt(e->window_dc, 0, 0, e->width, e->height, e->mem_dc, 0, 0, SRCCOPY);
    else
        StretchBlt(e->window_dc, 0, 0, e->view_width, e->view_height, e->mem_dc, 0, 0, e->width,
                   e->height, SRCCOPY);
    return 0;
}

void invalidate_image(int n)
{
    ImageWindowEntry *e = live_image_window(n);
    if (e) InvalidateRect(e->hwnd, NULL, FALSE);
}

int set_zoom(int n, int zoom)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return 1;
    e->in_use = 0;
    ZoomFit fit;
    if (fit_zoom(e->width, e->height, zoom, current_size_limits(e->size_limit), &fit) != 0) {
        e->in_use = 1;
        return 2;
    }
    e->zoom = fit.zoom;
    RECT outer;
    GetWindowRect(e->hwnd, &outer);
    int outer_width = outer.right - outer.left + fit.view_width - e->view_width;
    int outer_height = outer.bottom - outer.top + fit.view_height - e->view_height;
    e->view_width = fit.view_width;
    e->view_height = fit.view_height;
    SetWindowPos(e->hwnd, NULL, 0, 0, outer_width, outer_height,
                 SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOMOVE);
    e->in_use = 1;
    InvalidateRect(e->hwnd, NULL, FALSE);
    refresh_title(n);
    rebuild_placement_list();
    return 0;
}

int set_stretch_mode(int n, int mode)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return 1;
    if (mode == COLORONCOLOR || mode == HALFTONE) {
        apply_stretch_mode(e->window_dc, mode);
        apply_stretch_mode(e->mem_dc, mode);
    }
    InvalidateRect(e->hwnd, NULL, FALSE);
    refresh_title(n);
    return 0;
}

int get_stretch_mode(int n)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return 0;
    return GetStretchBltMode(e->window_dc);
}

int recreate_image_window(int n, int width, int height)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return 1;
    ZoomFit fit;
    int checked = check_creation(&width, &height, e->bits_per_pixel, e->zoom, 1, &fit);
    if (checked != 0) return checked;
    char name[256];  // the kept name, at most 255 characters
    snprintf(name, sizeof name, "%s", e->name ? e->name : "");
    int bits_per_pixel = e->bits_per_pixel;
    int mode = GetStretchBltMode(e->window_dc);
    RECT outer;
    GetWindowRect(e->hwnd, &outer);
    RGBQUAD table[256];  // the 8-bit window's colour table
    if (bits_per_pixel == 8) GetDIBColorTable(e->mem_dc, 0, 256, table);

    // The new window is made in full before the old one goes, so a failure leaves it as it was.
    ImageWindowEntry built;
    void *bits = NULL;
    int result = build_entry(&built, &bits, name, outer.left, outer.top, width, height, bits_per_pixel, fit, 1);
    if (result != 0) return result;
    destroy_image_window(n);
    commit_entry(n, built, bits);
    if (bits_per_pixel == 8) SetDIBColorTable(image_windows[n].mem_dc, 0, 256, table);
    set_stretch_mode(n, mode);
    return 0;
}

void clear_image(int n)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return;
    size_t stride = (size_t)image_row_stride(e->width, e->bits_per_pixel);
    memset(pixels[n].bytes, 0, stride * (size_t)e->height);
}

int select_current_window(int n)
{
    if (!live_image_window(n)) return 1;
    memmove(&image_window_history[1], &image_window_history[0],
            (KAV_IMAGE_HISTORY - 1) * sizeof image_window_history[0]);
    image_window_history[0] = current_image_window;
    current_image_window = n;
    return 0;
}

int restore_previous_window(void)
{
    int previous = image_window_history[0];
    if (!live_image_window(previous)) return 1;
    current_image_window = previous;
    memmove(&image_window_history[0], &image_window_history[1],
            (KAV_IMAGE_HISTORY - 1) * sizeof image_window_history[0]);
    return 0;
}

int find_image_window(HWND hwnd)
{
    for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++)
        if (image_windows[n].in_use == 1 && image_windows[n].hwnd == hwnd) return n;
    return -1;
}

int find_and_select(HWND hwnd)
{
    int n = find_image_window(hwnd);
    if (n >= 0) select_current_window(n);
    return n;
}

//------------------------------------------------------------------------------------------------
// Programming interface
//------------------------------------------------------------------------------------------------
int KAV_CreateImage(int n, const char *name, int x, int y, int width, int height, int zoom)
{
    return create_image_window(n, name, x, y, width, height, 32, zoom, 1);
}

int KAV_CreateImage8(int n, const char *name, int x, int y, int width, int height, int zoom)
{
    return create_image_window(n, name, x, y, width, height, 8, zoom, 1);
}

int KAV_CreateImageFL(int n, const char *name, int x, int y, int width, int height, int zoom)
{
    return create_image_window(n, name, x, y, width, height, 32, zoom, 0);
}

int KAV_CreateImage8FL(int n, const char *name, int x, int y, int width, int height, int zoom)
{
    return create_image_window(n, name, x, y, width, height, 8, zoom, 0);
}

int KAV_DestroyImage(int n) { return destroy_image_window(n); }
int KAV_IsImageWindow(int n) { return live_image_window(n) ? 1 : 0; }

void KAV_InvalidateImages(void)
{
    for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) invalidate_image(n);
}

int KAV_PaintImage(int n) { return paint_image_window(n); }
int KAV_SetZoom(int n, int zoom) { return set_zoom(n, zoom); }
int KAV_SetStretchMode(int n, int mode) { return set_stretch_mode(n, mode); }
int KAV_GetStretchMode(int n) { return get_stretch_mode(n); }
int KAV_ResizeImage(int n, int width, int height) { return recreate_image_window(n, width, height); }
void KAV_ClearImage(int n) { clear_image(n); }
int KAV_SelectImage(int n) { return select_current_window(n); }
int KAV_RestoreImage(void) { return restore_previous_window(); }
int KAV_CurrentImage(void) { return current_image_window; }
