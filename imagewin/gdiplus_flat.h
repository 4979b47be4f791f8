// gdiplus_flat.h - the part of GDI+'s flat interface that the library calls, declared here
// with the platform's own types and calling convention, and linked against gdiplus.dll.
#ifndef KAV_GDIPLUS_FLAT_H
#define KAV_GDIPLUS_FLAT_H

#include <windows.h>
#include <objidl.h>

extern "C" {

typedef int GpStatus;  // 0 is success
struct GpImage;        // an image or a bitmap
typedef GpImage GpBitmap;
struct GpGraphics;

struct KAV_GdiplusStartupInput {
    UINT32 GdiplusVersion;          // 1
    void *DebugEventCallback;       // none
    BOOL SuppressBackgroundThread;  // FALSE
    BOOL SuppressExternalCodecs;    // FALSE
};

struct KAV_ImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR *CodecName;
    const WCHAR *DllName;
    const WCHAR *FormatDescription;
    const WCHAR *FilenameExtension;
    const WCHAR *MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE *SigPattern;
    const BYTE *SigMask;
};

struct KAV_EncoderParameter {
    GUID Guid;
    ULONG NumberOfValues;
    ULONG Type;  // 4: Long
    void *Value;
};

struct KAV_EncoderParameters {
    UINT Count;
    KAV_EncoderParameter Parameter[1];
};

struct KAV_ColorPalette {
    UINT Flags;
    UINT Count;
    UINT32 Entries[1];  // ARGB
};

enum {
    KAV_PixelFormat8bppIndexed = 0x00030803,
    KAV_PixelFormat24bppRGB = 0x00021808,
    KAV_PixelFormat32bppRGB = 0x00022009,
};

GpStatus WINAPI GdiplusStartup(ULONG_PTR *token, const KAV_GdiplusStartupInput *input, void *output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
GpStatus WINAPI GdipLoadImageFromFile(const WCHAR *file_name, GpImage **image);
GpStatus WINAPI GdipLoadImageFromStream(IStream *stream, GpImage **image);
GpStatus WINAPI GdipGetImageWidth(GpImage *image, UINT *width);
GpStatus WINAPI GdipGetImageHeight(GpImage *image, UINT *height);
GpStatus WINAPI GdipGetImagePaletteSize(GpImage *image, INT *size);
GpStatus WINAPI GdipGetImagePalette(GpImage *image, KAV_ColorPalette *palette, INT size);
GpStatus WINAPI GdipCreateFromHDC(HDC dc, GpGraphics **graphics);
GpStatus WINAPI GdipDrawImageRectI(GpGraphics *graphics, GpImage *image, INT x, INT y, INT width, INT height);
GpStatus WINAPI GdipDeleteGraphics(GpGraphics *graphics);
GpStatus WINAPI GdipDisposeImage(GpImage *image);
GpStatus WINAPI GdipCreateBitmapFromScan0(INT width, INT height, INT stride, INT format, BYTE *scan0, GpBitmap **bitmap);
GpStatus WINAPI GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, INT format, GpBitmap *source, GpBitmap **copy);
GpStatus WINAPI GdipCreateBitmapFromGdiDib(const BITMAPINFO *info, void *bits, GpBitmap **bitmap);
GpStatus WINAPI GdipGetImageEncodersSize(UINT *count, UINT *size);
GpStatus WINAPI GdipGetImageEncoders(UINT count, UINT size, KAV_ImageCodecInfo *encoders);
GpStatus WINAPI GdipSaveImageToFile(GpImage *image, const WCHAR *file_name, const CLSID *encoder,
                                    const KAV_EncoderParameters *parameters);

}  // extern "C"

#endif
