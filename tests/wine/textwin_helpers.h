// Helpers of the text window tests: open windows and read their back buffers on the worker.
#ifndef KAV_TEXTWIN_TEST_HELPERS_H
#define KAV_TEXTWIN_TEST_HELPERS_H

#include <stdio.h>
#include <string>
#include <vector>

#include "harness.h"
#include "boxes/boxes.h"
#include "imagewin/imagewin.h"
#include "textwin/text_table.h"

namespace twtest {

// Closes every text window (on the worker).
inline void close_all(void)
{
    kavtest::on_worker([] {
        for (int n = 0; n < KAV_MAX_TEXT_WINDOWS; n++) KAV_CloseTextWindow(n);
    });
}

// A copy of an entry's fields, read under the table lock.
inline TextWindowEntry entry(int n)
{
    lock_text_table();
    TextWindowEntry e = text_windows[n];
    unlock_text_table();
    return e;
}

// The back buffer of window n as 0x00RRGGBB words, row 0 first (call on the worker).
inline std::vector<uint32_t> back_buffer(int n)
{
    TextWindowEntry e = entry(n);
    std::vector<uint32_t> out;
    if (!e.in_use) return out;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = e.width;
    bi.bmiHeader.biHeight = -e.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    lock_text_table();
    BitBlt(dc, 0, 0, e.width, e.height, text_windows[n].mem_dc, 0, 0, SRCCOPY);
    unlock_text_table();
    GdiFlush();
    const uint32_t *p = (const uint32_t *)bits;
    out.assign(p, p + (size_t)e.width * e.height);
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    for (uint32_t &w : out) w &= 0xFFFFFF;
    return out;
}

// Pixels of one colour inside the rectangle [x0, x1) x [y0, y1) of a buffer of the given width.
inline int count_colour(const std::vector<uint32_t> &px, int width, int x0, int y0, int x1, int y1, uint32_t colour)
{
    int height = width ? (int)(px.size() / width) : 0;
    int count = 0;
    for (int y = y0 < 0 ? 0 : y0; y < y1 && y < height; y++)
        for (int x = x0 < 0 ? 0 : x0; x < x1 && x < width; x++)
            if (px[(size_t)y * width + x] == colour) count++;
    return count;
}

// Closes every image and text window and both boxes (on the worker).
inline void close_everything(void)
{
    kavtest::on_worker([] {
        for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) destroy_image_window(n);
        for (int n = 0; n < KAV_MAX_TEXT_WINDOWS; n++) KAV_CloseTextWindow(n);
        KAV_CloseInputBox();
        KAV_CloseButtonBox();
    });
}

// The clipboard's CF_TEXT, "<busy>" when it cannot be opened.
inline std::string clipboard_text(void)
{
    std::string text;
    if (!OpenClipboard(NULL)) return "<busy>";
    HANDLE h = GetClipboardData(CF_TEXT);
    const char *p = h ? (const char *)GlobalLock(h) : NULL;
    if (p) text = p;
    if (h) GlobalUnlock(h);
    CloseClipboard();
    return text;
}

// Every byte of a file, empty when it cannot be read.
inline std::string file_bytes(const std::string &name)
{
    std::string bytes;
    FILE *f = fopen(name.c_str(), "rb");
    if (!f) return bytes;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
    fclose(f);
    return bytes;
}

inline std::wstring status_text(void)
{
    wchar_t text[64];
    GetWindowTextW(GetDlgItem(main_window, STATUS_LINE_ID), text, 64);
    return text;
}

}  // namespace twtest

#endif
