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

// A 32-bit top-down DIB section of the given size, selected into a memory DC of its own.
struct PixelCanvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old_bitmap;
    const uint32_t *bits;
    int width, height;
};

inline PixelCanvas make_canvas(int width, int height)
{
    PixelCanvas c = {NULL, NULL, NULL, NULL, width, height};
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    c.dc = CreateCompatibleDC(NULL);
    c.bitmap = CreateDIBSection(c.dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    c.old_bitmap = SelectObject(c.dc, c.bitmap);
    c.bits = (const uint32_t *)bits;
    return c;
}

// The canvas's pixels as 0x00RRGGBB words, row 0 first; frees the canvas.
inline std::vector<uint32_t> take_pixels(PixelCanvas &c)
{
    GdiFlush();
    std::vector<uint32_t> out(c.bits, c.bits + (size_t)c.width * c.height);
    SelectObject(c.dc, c.old_bitmap);
    DeleteObject(c.bitmap);
    DeleteDC(c.dc);
    for (uint32_t &w : out) w &= 0xFFFFFF;
    return out;
}

// The back buffer of window n as 0x00RRGGBB words, row 0 first (call on the worker).
inline std::vector<uint32_t> back_buffer(int n)
{
    TextWindowEntry e = entry(n);
    if (!e.in_use) return {};
    PixelCanvas c = make_canvas(e.width, e.height);
    lock_text_table();
    BitBlt(c.dc, 0, 0, e.width, e.height, text_windows[n].mem_dc, 0, 0, SRCCOPY);
    unlock_text_table();
    return take_pixels(c);
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

// Pixels inside the rectangle that are neither colour a nor colour b: 0 when a text cell is
// drawn crisply in exactly its text and back colours.
inline int count_other_colours(const std::vector<uint32_t> &px, int width, int x0, int y0, int x1, int y1,
                               uint32_t a, uint32_t b)
{
    int area = (x1 - x0) * (y1 - y0);
    return area - count_colour(px, width, x0, y0, x1, y1, a) - count_colour(px, width, x0, y0, x1, y1, b);
}

// What window n's back buffer should hold after the lines (white on black, one per row from
// the top): drawn with the window's own font into a black buffer of its size (call on the worker).
inline std::vector<uint32_t> rendered_lines(int n, const std::vector<std::wstring> &lines)
{
    TextWindowEntry e = entry(n);
    if (!e.in_use) return {};
    PixelCanvas c = make_canvas(e.width, e.height);
    lock_text_table();
    HGDIOBJ old_font = SelectObject(c.dc, GetCurrentObject(text_windows[n].mem_dc, OBJ_FONT));
    unlock_text_table();
    PatBlt(c.dc, 0, 0, e.width, e.height, BLACKNESS);
    SetTextColor(c.dc, RGB(255, 255, 255));
    SetBkColor(c.dc, RGB(0, 0, 0));
    SetBkMode(c.dc, OPAQUE);
    for (size_t i = 0; i < lines.size(); i++)
        TextOutW(c.dc, 0, (int)i * e.char_height, lines[i].c_str(), (int)lines[i].size());
    SelectObject(c.dc, old_font);
    return take_pixels(c);
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
