// image_files.cpp - loading and saving the current image window through GDI+, reading a
// rectangle of its pixels, its colour table, and the open and save dialogs.
#include "imagewin/imagewin.h"

#include <stdlib.h>
#include <string.h>

#include "core/core.h"
#include "imagewin/file_rules.h"
#include "imagewin/file_stream.h"
#include "imagewin/gdiplus_flat.h"
#include "imagewin/indexed_picture.h"
#include "imagewin/metafile_check.h"
#include "imagewin/zoom_fit.h"

//------------------------------------------------------------------------------------------------
// File globals (worker thread)
//------------------------------------------------------------------------------------------------
int jpeg_quality = 100;       // worker thread: 0..100, handed to the JPEG encoder
int open_filter_index = 2;    // worker thread: BMP at start
int save_filter_index = 2;    // worker thread: BMP at start

#define MAX_SAVE_SIDE 65535  // longest side of a saved picture; keeps every size computation in range

static const GUID ENCODER_QUALITY = {0x1d5be4b5, 0xfa4a, 0x452d,
                                     {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};

//------------------------------------------------------------------------------------------------
// Colour table and rectangles
//------------------------------------------------------------------------------------------------
int set_colour_table(const uint32_t *colours, int count)
{
    ImageWindowEntry *e = live_image_window(current_image_window);
    if (!e) return 1;
    if (e->bits_per_pixel != 8) return 2;
    if (count > KAV_PALETTE_MAX) count = KAV_PALETTE_MAX;
    if (count > 0 && colours) SetDIBColorTable(e->mem_dc, 0, count, (const RGBQUAD *)colours);
    InvalidateRect(e->hwnd, NULL, FALSE);
    return 0;
}

int get_colour_table(uint32_t colours[256])
{
    ImageWindowEntry *e = live_image_window(current_image_window);
    if (!e) return 1;
    if (e->bits_per_pixel != 8) return 2;
    GetDIBColorTable(e->mem_dc, 0, 256, (RGBQUAD *)colours);
    return 0;
}

void read_rect(void *buffer, int x0, int y0, int w, int h)
{
    ImageWindowEntry *e = live_image_window(current_image_window);
    if (!e || !buffer || w <= 0 || h <= 0) return;
    int n = current_image_window;
    int64_t stride = image_row_stride(e->width, e->bits_per_pixel);
    for (int j = 0; j < h; j++) {
        int64_t y = (int64_t)y0 + j;
        for (int i = 0; i < w; i++) {
            int64_t x = (int64_t)x0 + i;
            bool inside = x >= 0 && x < e->width && y >= 0 && y < e->height;
            int64_t at = (int64_t)j * w + i;
            if (e->bits_per_pixel == 32)
                ((uint32_t *)buffer)[at] = inside ? pixels[n].words[y * e->width + x] : 0;
            else
                ((uint8_t *)buffer)[at] = inside ? pixels[n].bytes[y * stride + x] : 0;
        }
    }
}

//------------------------------------------------------------------------------------------------
// Loading
//------------------------------------------------------------------------------------------------
// A file name as UTF-16 (KAV_PATH_UNITS). 0 done; 1 it does not fit whole, since a cut name
// would load or overwrite some other file.
static int path_to_wide(const char *file_name, wchar_t out[KAV_PATH_UNITS])
{
    if (!file_name) file_name = "";
    int needed = MultiByteToWideChar(CP_ACP, 0, file_name, -1, NULL, 0);
    if (needed <= 0 || needed > KAV_PATH_UNITS) return 1;
    ansi_to_wide(file_name, out, KAV_PATH_UNITS);
    return 0;
}

// Gives an 8-bit window the palette of the file image: entry i of the file becomes entry i.
static void take_file_palette(GpImage *image)
{
    INT size = 0;
    if (GdipGetImagePaletteSize(image, &size) != 0) return;
    int count = palette_entry_count(size);
    if (count == 0) return;
    KAV_ColorPalette *palette = (KAV_ColorPalette *)calloc(1, (size_t)size);
    if (!palette) return;
    if (GdipGetImagePalette(image, palette, size) == 0) {
        uint32_t colours[KAV_PALETTE_MAX];  // 256 entries; count is at most that
        if ((int)palette->Count < count) count = (int)palette->Count;
        for (int i = 0; i < count; i++) colours[i] = palette->Entries[i] & 0xFFFFFFu;
        set_colour_table(colours, count);
    }
    free(palette);
}

int load_image_file(const char *file_name, int x, int y)
{
    ImageWindowEntry *e = live_image_window(current_image_window);
    if (!e) return 2;
    wchar_t wide[KAV_PATH_UNITS];
    if (path_to_wide(file_name, wide) != 0) return 1;
    IStream *stream = open_file_stream(wide);
    if (!stream) return 1;
    uint64_t size = 0;
    const uint8_t *bytes = file_stream_bytes(stream, &size);
    // A metafile is walked record by record first: the player trusts what the records claim.
    if (check_before_decoding(bytes, size) != 0) {
        close_file_stream(stream);
        return 1;
    }
    GpImage *image = NULL;
    UINT width = 0, height = 0;
    if (GdipLoadImageFromStream(stream, &image) != 0) image = NULL;
    if (image) {
        GdipGetImageWidth(image, &width);
        GdipGetImageHeight(image, &height);
    }
    if (width == 0 || height == 0) {
        if (image) GdipDisposeImage(image);
        close_file_stream(stream);
        return 1;
    }
    RGBQUAD kept[256];  // the 8-bit window's colour table, put back when the drawing fails
    bool eight = e->bits_per_pixel == 8 && GetDIBColorTable(e->mem_dc, 0, 256, kept) == 256;
    if (eight) take_file_palette(image);
    GpGraphics *graphics = NULL;
    GpStatus drawn = GdipCreateFromHDC(e->mem_dc, &graphics);
    if (drawn == 0) {
        drawn = GdipDrawImageRectI(graphics, image, x, y, (INT)width, (INT)height);
        GdipDeleteGraphics(graphics);
    }
    GdipDisposeImage(image);
    close_file_stream(stream);  // after the image, which may read the stream until it is disposed
    if (drawn == 0) return 0;
    if (eight) SetDIBColorTable(e->mem_dc, 0, 256, kept);
    return 1;  // a picture that could not be drawn was not loaded
}

//------------------------------------------------------------------------------------------------
// Saving
//------------------------------------------------------------------------------------------------
// CLSID of the first installed encoder with exactly this MIME type. 0 found; 1 none.
static int find_encoder(const wchar_t *mime, CLSID *clsid)
{
    memset(clsid, 0, sizeof *clsid);
    UINT count = 0, size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != 0 || count == 0 || size == 0) return 1;
    KAV_ImageCodecInfo *encoders = (KAV_ImageCodecInfo *)malloc(size);
    if (!encoders) return 1;
    int result = 1;
    if (GdipGetImageEncoders(count, size, encoders) == 0) {
        for (UINT i = 0; i < count; i++) {
            if (encoders[i].MimeType && wcscmp(encoders[i].MimeType, mime) == 0) {
                *clsid = encoders[i].Clsid;
                result = 0;
                break;
            }
        }
    }
    free(encoders);
    return result;
}

// An 8-bit bitmap over a DIB section filled from w x h packed indices, with the given colour
// table; the section is handed back for the caller to delete after the save.
static GpBitmap *indexed_bitmap(int w, int h, const uint8_t *indices, const uint32_t colours[256],
                                HBITMAP *section)
{
    BITMAPINFO *info = new_bitmap_info(w, h, 8, colours);
    if (!info) return NULL;
    info->bmiHeader.biXPelsPerMeter = 2834;  // 72 dots per inch
    info->bmiHeader.biYPelsPerMeter = 2834;
    void *bits = NULL;
    *section = CreateDIBSection(NULL, info, DIB_RGB_COLORS, &bits, NULL, 0);
    GpBitmap *bitmap = NULL;
    if (*section && bits) {
        int64_t stride = image_row_stride(w, 8);
        for (int j = 0; j < h; j++)
            memcpy((uint8_t *)bits + j * stride, indices + (int64_t)j * w, (size_t)w);
        if (GdipCreateBitmapFromGdiDib(info, bits, &bitmap) != 0) bitmap = NULL;
    }
    free(info);
    return bitmap;
}

// Bitmap to save, from the current window's top-left w x h rectangle. For GIF a 32-bit
// window is handed over indexed, since the encoder may drop true-colour pictures silently.
static GpBitmap *bitmap_to_save(const ImageWindowEntry *e, int w, int h, int kind, HBITMAP *section)
{
    *section = NULL;
    GpBitmap *bitmap = NULL;
    size_t count = (size_t)w * (size_t)h;
    if (e->bits_per_pixel == 8) {
        uint8_t *indices = (uint8_t *)malloc(count);
        if (!indices) return NULL;
        uint32_t colours[256];
        get_colour_table(colours);
        read_rect(indices, 0, 0, w, h);
        bitmap = indexed_bitmap(w, h, indices, colours, section);
        free(indices);
        return bitmap;
    }
    uint32_t *words = (uint32_t *)malloc(count * 4);
    if (!words) return NULL;
    read_rect(words, 0, 0, w, h);
    if (kind == KAV_GIF) {
        uint8_t *indices = (uint8_t *)malloc(count);
        uint32_t palette[256];
        if (indices && index_true_colour(words, w, h, indices, w, palette) > 0)
            bitmap = indexed_bitmap(w, h, indices, palette, section);
        free(indices);
        free(words);
        return bitmap;
    }
    GpBitmap *wrapper = NULL;
    if (GdipCreateBitmapFromScan0(w, h, 4 * w, KAV_PixelFormat32bppRGB, (BYTE *)words, &wrapper) == 0) {
        if (GdipCloneBitmapAreaI(0, 0, w, h, KAV_PixelFormat24bppRGB, wrapper, &bitmap) != 0)
            bitmap = NULL;
        GdipDisposeImage(wrapper);
    }
    free(words);
    return bitmap;
}

int save_image_file(int height, int width, int kind, const char *file_name)
{
    ImageWindowEntry *e = live_image_window(current_image_window);
    if (!e) return 3;
    if (width <= 0 || height <= 0) return 2;
    if (width > MAX_SAVE_SIDE || height > MAX_SAVE_SIDE) return 1;
    const wchar_t *mime = save_kind_mime(kind);
    if (!mime) return 1;
    wchar_t name[KAV_PATH_UNITS], full[KAV_PATH_UNITS];
    if (path_to_wide(file_name, name) != 0) return 1;
    if (name_with_extension(name, kind, full, KAV_PATH_UNITS) != 0) return 1;
    CLSID clsid;
    if (find_encoder(mime, &clsid) != 0) return 1;
    HBITMAP section = NULL;
    GpBitmap *bitmap = bitmap_to_save(e, width, height, kind, &section);
    if (!bitmap) {
        if (section) DeleteObject(section);
        return 1;
    }
    LONG quality = jpeg_quality;
    KAV_EncoderParameters parameters;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = ENCODER_QUALITY;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Type = 4;  // Long
    parameters.Parameter[0].Value = &quality;
    GpStatus status = GdipSaveImageToFile(bitmap, full, &clsid, kind == KAV_JPEG ? &parameters : NULL);
    GdipDisposeImage(bitmap);
    if (section) DeleteObject(section);
    return status == 0 ? 0 : 1;
}

//------------------------------------------------------------------------------------------------
// Dialogs
//------------------------------------------------------------------------------------------------
#define FILTER_UNITS 512  // a double-NUL-terminated filter list

// Filter pairs (description, pattern); the save dialog uses the first six.
static const wchar_t *const FILTERS[][2] = {
    {L"All Files (*.*)", L"*.*"},
    {L"BMP (*.BMP;*.RLE;*.DIB)", L"*.BMP;*.RLE;*.DIB"},
    {L"JPEG (*.JPG;*.JPEG;*.JPE)", L"*.JPG;*.JPEG;*.JPE"},
    {L"CompuServe GIF (*.GIF)", L"*.GIF"},
    {L"PNG (*.PNG)", L"*.PNG"},
    {L"TIFF (*.TIF;*.TIFF)", L"*.TIF;*.TIFF"},
    {L"WMF (*.WMF)", L"*.WMF"},
    {L"EMF (*.EMF)", L"*.EMF"},
    {L"ICO (*.ICO)", L"*.ICO"},
};
#define OPEN_FILTERS 9
#define SAVE_FILTERS 6

// Joins the first count pairs as "d\0p\0...\0\0" into out (FILTER_UNITS).
static void build_filter_list(int count, wchar_t out[FILTER_UNITS])
{
    int at = 0;
    for (int i = 0; i < count; i++)
        for (int k = 0; k < 2; k++) {
            size_t length = wcslen(FILTERS[i][k]);
            if (at + (int)length + 2 > FILTER_UNITS) break;
            memcpy(out + at, FILTERS[i][k], (length + 1) * sizeof(wchar_t));
            at += (int)length + 1;
        }
    out[at] = L'\0';
}

// Keeps the folder of a chosen file (its full path cut before the file part).
static void remember_folder(const wchar_t *chosen, wchar_t folder_w[KAV_PATH_UNITS],
                            char folder[KAV_PATH_BYTES])
{
    wchar_t full[KAV_PATH_UNITS];
    wchar_t *file_part = NULL;
    DWORD length = GetFullPathNameW(chosen, KAV_PATH_UNITS, full, &file_part);
    if (length == 0 || length >= KAV_PATH_UNITS) return;
    if (file_part) *file_part = L'\0';
    memcpy(folder_w, full, sizeof full);
    wide_to_ansi(folder_w, folder, KAV_PATH_BYTES);
}

// One file dialog; 0 chosen (ANSI name out), 1 cancelled.
static int run_file_dialog(bool save, char name[KAV_PATH_BYTES])
{
    wchar_t filters[FILTER_UNITS];
    build_filter_list(save ? SAVE_FILTERS : OPEN_FILTERS, filters);
    int *index = save ? &save_filter_index : &open_filter_index;
    int filter_count = save ? SAVE_FILTERS : OPEN_FILTERS;
    if (*index < 1 || *index > filter_count) *index = 1;
    wchar_t file[KAV_PATH_UNITS];  // 260 units
    wcsncpy(file, save ? L"noname" : FILTERS[*index - 1][1], KAV_PATH_UNITS - 1);
    file[KAV_PATH_UNITS - 1] = L'\0';

    OPENFILENAMEW ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = NULL;
    ofn.lpstrFilter = filters;
    ofn.nFilterIndex = (DWORD)*index;
    ofn.lpstrFile = file;
    ofn.nMaxFile = KAV_PATH_UNITS;
    ofn.lpstrInitialDir = save ? save_directory_w : open_directory_w;
    ofn.lpstrTitle = save ? L"Save as" : L"Load image file";
    ofn.Flags = save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST
                     : OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) return 1;
    wide_to_ansi(file, name, KAV_PATH_BYTES);
    *index = (int)ofn.nFilterIndex;
    if (save)
        remember_folder(file, save_directory_w, save_directory);
    else
        remember_folder(file, open_directory_w, open_directory);
    return 0;
}

int open_file_dialog(char name[KAV_PATH_BYTES]) { return run_file_dialog(false, name); }
int save_file_dialog(char name[KAV_PATH_BYTES]) { return run_file_dialog(true, name); }

//------------------------------------------------------------------------------------------------
// Programming interface
//------------------------------------------------------------------------------------------------
int KAV_LoadImage(const char *file_name, int x, int y) { return load_image_file(file_name, x, y); }
int KAV_SaveImage(int height, int width, int kind, const char *file_name)
{
    return save_image_file(height, width, kind, file_name);
}
int KAV_OpenFileDialog(char name[KAV_PATH_BYTES]) { return open_file_dialog(name); }
int KAV_SaveFileDialog(char name[KAV_PATH_BYTES]) { return save_file_dialog(name); }
void KAV_ReadRect(void *buffer, int x, int y, int width, int height) { read_rect(buffer, x, y, width, height); }
int KAV_SetColorTable(const uint32_t *colors, int count) { return set_colour_table(colors, count); }
int KAV_GetColorTable(uint32_t colors[256]) { return get_colour_table(colors); }
