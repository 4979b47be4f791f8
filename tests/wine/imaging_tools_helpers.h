// Helpers of the tool and menu tests: real posted mouse messages, picture snapshots, the
// status line, open popup menus and screenshots.
#ifndef KAV_IMAGING_TOOLS_HELPERS_H
#define KAV_IMAGING_TOOLS_HELPERS_H

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

#include "harness.h"
#include "imagewin/imagewin.h"

namespace tooltest {

inline HWND window_of(int n) { return image_windows[n].hwnd; }

// Posts a mouse message at client position (x, y) of image window n.
inline void client_mouse(int n, UINT msg, int x, int y, WPARAM keys = 0)
{
    PostMessageW(window_of(n), msg, keys, MAKELPARAM(x, y));
}

// Posts a mouse message over image pixel (x, y) of window n (zoom 100 % or more): the first
// client position that the window's zoom maps back to that pixel.
inline void mouse(int n, UINT msg, int x, int y, WPARAM keys = 0)
{
    int zoom = image_windows[n].zoom;
    client_mouse(n, msg, (x * zoom + 99) / 100, (y * zoom + 99) / 100, keys);
}
inline void move_to(int n, int x, int y) { mouse(n, WM_MOUSEMOVE, x, y); }
inline void left_click(int n, int x, int y) { mouse(n, WM_LBUTTONDOWN, x, y, MK_LBUTTON); }
inline void right_click(int n, int x = 1, int y = 1) { mouse(n, WM_RBUTTONDOWN, x, y, MK_RBUTTON); }

// The status line's text without the padding that centres it.
inline std::wstring status(void)
{
    wchar_t text[80];
    GetWindowTextW(GetDlgItem(main_window, STATUS_LINE_ID), text, 80);
    std::wstring s = text;
    size_t a = s.find_first_not_of(L' '), b = s.find_last_not_of(L' ');
    return a == std::wstring::npos ? L"" : s.substr(a, b - a + 1);
}

inline bool wait_status(const wchar_t *text) { return kavtest::wait_until([&] { return status() == text; }); }

inline std::wstring colour_depth_status(void)
{
    return std::to_wstring(display_bit_depth) + L"-bit color";
}

// Every pixel of image window n as stored: 32-bit words, or the 8-bit rows without padding.
inline std::vector<uint32_t> picture(int n)
{
    std::vector<uint32_t> out;
    kavtest::on_worker([&] {
        ImageWindowEntry *e = live_image_window(n);
        if (!e) return;
        GdiFlush();
        int stride = (e->width + 3) & ~3;
        for (int y = 0; y < e->height; y++)
            for (int x = 0; x < e->width; x++)
                out.push_back(e->bits_per_pixel == 32 ? pixels[n].words[y * e->width + x] & 0xFFFFFF
                                                      : pixels[n].bytes[y * stride + x]);
    });
    return out;
}

// A window with a smooth picture in which no two neighbours are equal.
inline void make_window(int n, const char *name, int w, int h, int bits = 32, int zoom = 100, int x = 40, int y = 40)
{
    kavtest::on_worker([&] {
        destroy_image_window(n);
        ASSERT_EQ(0, create_image_window(n, name, x, y, w, h, bits, zoom, 1));
        int stride = (w + 3) & ~3;
        for (int j = 0; j < h; j++)
            for (int i = 0; i < w; i++) {
                if (bits == 32)
                    pixels[n].words[j * w + i] = (uint32_t)(i * 3 & 0xFF) << 16 | (uint32_t)(j * 5 & 0xFF) << 8 | 0x60;
                else
                    pixels[n].bytes[j * stride + i] = (uint8_t)(i * 2 + j * 3 + 1);
            }
    });
}

inline void destroy_all(void)
{
    kavtest::on_worker([] {
        for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) destroy_image_window(n);
    });
}

// Starts fn (a pick) on the worker and waits until the tool waits for the user.
inline bool start_pick(const std::function<void()> &fn)
{
    kavtest::on_worker_async(fn);
    return kavtest::wait_until([] { return pick_in_progress == 1; });
}

// The visible popup menu window of this process, or NULL.
inline HWND open_menu_window(void)
{
    HWND w = NULL;
    while ((w = FindWindowExW(NULL, w, L"#32768", NULL)) != NULL) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w)) return w;
    }
    return NULL;
}

// Saves what the screen shows of a window's client area as a BMP when KAV_SHOTS names a folder.
inline void screenshot(HWND hwnd, const char *name)
{
    const char *folder = getenv("KAV_SHOTS");
    if (!folder) return;
    Sleep(300);  // let the owner paint what it was asked to
    RECT r;
    GetClientRect(hwnd, &r);
    POINT at = {0, 0};
    ClientToScreen(hwnd, &at);
    int w = r.right, h = r.bottom;
    HDC window_dc = GetDC(NULL), dc = CreateCompatibleDC(window_dc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    BitBlt(dc, 0, 0, w, h, window_dc, at.x, at.y, SRCCOPY);
    GdiFlush();
    std::string path = std::string(folder) + "\\" + name + ".bmp";
    FILE *f = fopen(path.c_str(), "wb");
    if (f) {
        BITMAPFILEHEADER fh = {};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + (DWORD)(w * h * 4);
        fwrite(&fh, sizeof fh, 1, f);
        fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
        fwrite(bits, 4, (size_t)w * h, f);
        fclose(f);
    }
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    ReleaseDC(NULL, window_dc);
}

}  // namespace tooltest

#endif
