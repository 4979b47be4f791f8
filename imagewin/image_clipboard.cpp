// image_clipboard.cpp - image windows and the clipboard: copy as CF_DIB, paste a CF_DIB or
// CF_BITMAP, and drawing the bitmap the Main window hands over.
#include "imagewin/imagewin.h"

#include <string.h>

#include "core/core.h"
#include "imagewin/file_rules.h"
#include "imagewin/zoom_fit.h"

// The block is made and filled before the clipboard is opened, so that a copy that cannot be
// made leaves the user's clipboard as it was.
void copy_to_clipboard(int n)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return;
    int bits = e->bits_per_pixel == 32 ? 24 : 8;
    size_t row = (((size_t)e->width * (size_t)bits + 31) / 32) * 4;
    size_t image_size = row * (size_t)e->height;
    size_t header_size = sizeof(BITMAPINFOHEADER) + (bits == 8 ? 256 * sizeof(RGBQUAD) : 0);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, header_size + image_size);
    BITMAPINFO *info = block ? (BITMAPINFO *)GlobalLock(block) : NULL;
    if (!info) {
        if (block) GlobalFree(block);
        KAV_Pause("No enough memory for copy");
        return;
    }
    memset(info, 0, header_size);
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = e->width;
    info->bmiHeader.biHeight = e->height;  // bottom-up
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = (WORD)bits;
    info->bmiHeader.biCompression = BI_RGB;
    if (bits == 8) GetDIBColorTable(e->mem_dc, 0, 256, info->bmiColors);
    int rows = GetDIBits(e->mem_dc, e->bitmap, 0, (UINT)e->height, (BYTE *)info + header_size, info,
                         DIB_RGB_COLORS);
    GlobalUnlock(block);
    if (rows != e->height || !OpenClipboard(e->hwnd)) {
        GlobalFree(block);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_DIB, block)) GlobalFree(block);
    CloseClipboard();
}

// The device-dependent bitmap of a packed DIB, colours copied out; NULL when the block does
// not hold what its header claims.
static HBITMAP bitmap_of_packed_dib(HGLOBAL block, uint32_t colours[256], int *count)
{
    SIZE_T block_size = GlobalSize(block);
    const BYTE *dib = (const BYTE *)GlobalLock(block);
    if (!dib) return NULL;
    HBITMAP bitmap = NULL;
    if (block_size >= sizeof(BITMAPINFOHEADER)) {
        const BITMAPINFOHEADER *h = (const BITMAPINFOHEADER *)dib;
        DibHeaderFields fields = {h->biSize, h->biWidth, h->biHeight, h->biBitCount,
                                  h->biCompression, h->biSizeImage, h->biClrUsed};
        DibLayout layout;
        if (check_packed_dib(fields, block_size, &layout) == 0) {
            HDC screen = GetDC(NULL);
            bitmap = CreateDIBitmap(screen, h, CBM_INIT, dib + layout.bits_offset,
                                    (const BITMAPINFO *)dib, DIB_RGB_COLORS);
            ReleaseDC(NULL, screen);
            if (bitmap) {  // colours only with a bitmap to go with them
                memcpy(colours, dib + layout.table_offset, (size_t)layout.palette_colours * 4);
                *count = layout.palette_colours;
            }
        }
    }
    GlobalUnlock(block);
    return bitmap;
}

HBITMAP read_clipboard_bitmap(uint32_t colours[256], int *count)
{
    *count = 0;
    HBITMAP bitmap = NULL;
    if (IsClipboardFormatAvailable(CF_DIB)) {
        if (!OpenClipboard(NULL)) return NULL;
        HGLOBAL block = GetClipboardData(CF_DIB);
        if (block) bitmap = bitmap_of_packed_dib(block, colours, count);
        CloseClipboard();
        return bitmap;
    }
    if (IsClipboardFormatAvailable(CF_BITMAP)) {
        if (!OpenClipboard(NULL)) return NULL;
        HBITMAP shared = (HBITMAP)GetClipboardData(CF_BITMAP);
        if (shared) bitmap = (HBITMAP)CopyImage(shared, IMAGE_BITMAP, 0, 0, 0);
        CloseClipboard();
    }
    return bitmap;
}

// Copies the whole bitmap into entry e's pixels at (x, y), clipped to the image, and asks for
// a repaint. The bitmap stays the caller's.
static void blit_bitmap(ImageWindowEntry *e, HBITMAP bitmap, int x, int y)
{
    BITMAP info;
    if (!GetObjectW(bitmap, sizeof info, &info)) return;
    HDC source = CreateCompatibleDC(e->mem_dc);
    if (!source) return;
    HGDIOBJ previous = SelectObject(source, bitmap);
    BitBlt(e->mem_dc, x, y, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    InvalidateRect(e->hwnd, NULL, FALSE);
}

// Pastes an 8-bit clipboard DIB into 8-bit window e index for index: its colours become the
// first entries of the window's colour table, so each index keeps its colour, and no colour
// matching can move a pixel to a neighbouring or duplicate entry. False when the clipboard
// holds no such DIB.
static bool paste_indices(ImageWindowEntry *e, int n, int x, int y)
{
    if (!IsClipboardFormatAvailable(CF_DIB) || !OpenClipboard(NULL)) return false;
    bool pasted = false;
    HGLOBAL block = GetClipboardData(CF_DIB);
    const BYTE *dib = block ? (const BYTE *)GlobalLock(block) : NULL;
    SIZE_T block_size = block ? GlobalSize(block) : 0;
    if (dib && block_size >= sizeof(BITMAPINFOHEADER)) {
        const BITMAPINFOHEADER *h = (const BITMAPINFOHEADER *)dib;
        DibHeaderFields fields = {h->biSize, h->biWidth, h->biHeight, h->biBitCount,
                                  h->biCompression, h->biSizeImage, h->biClrUsed};
        DibLayout layout;
        if (h->biBitCount == 8 && h->biCompression == BI_RGB && check_packed_dib(fields, block_size, &layout) == 0) {
            if (layout.palette_colours > 0)
                SetDIBColorTable(e->mem_dc, 0, (UINT)layout.palette_colours, (const RGBQUAD *)(dib + layout.table_offset));
            GdiFlush();
            paste_dib_indices(dib + layout.bits_offset, h->biWidth, h->biHeight, pixels[n].bytes, e->width,
                              e->height, image_row_stride(e->width, 8), x, y);
            InvalidateRect(e->hwnd, NULL, FALSE);
            pasted = true;
        }
    }
    if (dib) GlobalUnlock(block);
    CloseClipboard();
    return pasted;
}

void paste_from_clipboard(int n, int x, int y)
{
    ImageWindowEntry *e = live_image_window(n);
    if (!e) return;
    if (x != -1 && y != -1 && e->bits_per_pixel == 8 && paste_indices(e, n, x, y)) return;
    uint32_t colours[256];
    int count = 0;
    HBITMAP bitmap = read_clipboard_bitmap(colours, &count);
    if (!bitmap) return;
    // Pasting at a point the user picks needs the point-picking tools; until they exist a
    // paste without a position does nothing.
    if (x != -1 && y != -1) {
        if (count > 0 && e->bits_per_pixel == 8) SetDIBColorTable(e->mem_dc, 0, count, (RGBQUAD *)colours);
        blit_bitmap(e, bitmap, x, y);
    }
    DeleteObject(bitmap);
}

void draw_handed_bitmap(HBITMAP bitmap)
{
    if (!bitmap) return;
    ImageWindowEntry *e = live_image_window(current_image_window);
    if (e) blit_bitmap(e, bitmap, 0, 0);
    DeleteObject(bitmap);
}

void KAV_CopyToClipboard(int n) { copy_to_clipboard(n); }
void KAV_PasteFromClipboard(int n, int x, int y) { paste_from_clipboard(n, x, y); }
