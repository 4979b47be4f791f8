// The clipboard with real image windows: copy as CF_DIB, paste back, and DIBs that lie about
// their size placed on the clipboard by the test.
#include "harness.h"

#include <string.h>
#include <string>
#include <vector>

#include "imagewin/imagewin.h"

using namespace kavtest;

static void destroy_all(void)
{
    on_worker([] {
        for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) destroy_image_window(n);
    });
}

// The whole block of one clipboard format; empty when there is none.
static std::vector<uint8_t> clipboard_block(UINT format)
{
    std::vector<uint8_t> bytes;
    if (!OpenClipboard(NULL)) return bytes;
    HGLOBAL block = GetClipboardData(format);
    const uint8_t *p = block ? (const uint8_t *)GlobalLock(block) : NULL;
    if (p) {
        bytes.assign(p, p + GlobalSize(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return bytes;
}

// Header fields of the CF_DIB on the clipboard; false when there is none.
static bool clipboard_header(BITMAPINFOHEADER *out, SIZE_T *size)
{
    std::vector<uint8_t> dib = clipboard_block(CF_DIB);
    if (dib.size() < sizeof *out) return false;
    memcpy(out, dib.data(), sizeof *out);
    *size = dib.size();
    return true;
}

TEST(Clipboard, ThirtyTwoBitRoundTrip)
{
    int r = -1;
    std::vector<uint32_t> got(30 * 20);
    on_worker([&] {
        r = KAV_CreateImage(1, "src", 0, 0, 30, 20, 100);
        for (int i = 0; i < 30 * 20; i++) pixels[1].words[i] = (uint32_t)(i * 97531) & 0xFFFFFF;
        KAV_CopyToClipboard(1);
    });
    ASSERT_EQ(0, r);
    BITMAPINFOHEADER h;
    SIZE_T size = 0;
    ASSERT_TRUE(clipboard_header(&h, &size));
    EXPECT_EQ(24, h.biBitCount);
    EXPECT_EQ(30, h.biWidth);
    EXPECT_EQ(20, h.biHeight);
    EXPECT_GE(size, 40u + 92u * 20);  // rows of 90 bytes padded to 92

    on_worker([&] {
        KAV_CreateImage(2, "dst", 0, 0, 40, 30, 100);
        KAV_PasteFromClipboard(2, 5, 3);
        for (int y = 0; y < 20; y++)
            for (int x = 0; x < 30; x++) got[y * 30 + x] = pixels[2].words[(y + 3) * 40 + x + 5];
        KAV_PasteFromClipboard(2, -1, -1);  // waits for a picked point: nothing yet
    });
    int wrong = 0;
    for (int i = 0; i < 30 * 20; i++)
        if ((got[i] & 0xFFFFFF) != ((uint32_t)(i * 97531) & 0xFFFFFF)) wrong++;
    EXPECT_EQ(0, wrong);
    destroy_all();
}

TEST(Clipboard, EightBitRoundTripCarriesTheColourTable)
{
    int r = -1;
    uint32_t table[256];
    for (int i = 0; i < 256; i++) table[i] = (uint32_t)(255 - i) << 16 | (uint32_t)i << 8 | 0x40;
    table[181] = table[0];  // two entries of one colour: only the index tells them apart
    std::vector<uint8_t> got(8 * 4), got_same(8 * 4);
    uint32_t pasted_table[256] = {};
    on_worker([&] {
        r = KAV_CreateImage8(1, "src8", 0, 0, 5, 4, 100);
        KAV_SetColorTable(table, 256);
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 5; x++) pixels[1].bytes[y * 8 + x] = (uint8_t)(x * 40 + y * 7);
        KAV_CopyToClipboard(1);
        KAV_CreateImage8(2, "dst8", 0, 0, 5, 4, 100);
        KAV_PasteFromClipboard(2, 0, 0);
        KAV_GetColorTable(pasted_table);
        for (int i = 0; i < 32; i++) got[i] = pixels[2].bytes[i];
        KAV_ClearImage(1);
        KAV_PasteFromClipboard(1, 0, 0);
        for (int i = 0; i < 32; i++) got_same[i] = pixels[1].bytes[i];
    });
    ASSERT_EQ(0, r);
    BITMAPINFOHEADER h;
    SIZE_T size = 0;
    ASSERT_TRUE(clipboard_header(&h, &size));
    EXPECT_EQ(8, h.biBitCount);
    EXPECT_GE(size, 40u + 1024 + 8 * 4);
    EXPECT_EQ(0, memcmp(table, pasted_table, sizeof table));
    // Pasted at (0, 0) with the same colour table, every pixel keeps its index exactly.
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 5; x++) {
            EXPECT_EQ(x * 40 + y * 7, got[y * 8 + x]) << x << "," << y;
            EXPECT_EQ(x * 40 + y * 7, got_same[y * 8 + x]) << x << "," << y << " on the window copied";
        }
    destroy_all();
}

// Puts a packed DIB on the clipboard: a 40-byte header claiming what the test says, followed
// by only `payload` bytes.
static void put_dib(LONG width, LONG height, WORD bits, DWORD colours_used, size_t payload, BYTE fill)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + payload);
    BYTE *p = (BYTE *)GlobalLock(block);
    memset(p, fill, sizeof(BITMAPINFOHEADER) + payload);
    BITMAPINFOHEADER *h = (BITMAPINFOHEADER *)p;
    memset(h, 0, sizeof *h);
    h->biSize = sizeof *h;
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = bits;
    h->biCompression = BI_RGB;
    h->biClrUsed = colours_used;
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    SetClipboardData(CF_DIB, block);
    CloseClipboard();
}

TEST(Clipboard, HostileDibsAreRefusedWithoutOverrun)
{
    int r = -1;
    on_worker([&] { r = KAV_CreateImage8(1, "target", 0, 0, 16, 16, 100); });
    ASSERT_EQ(0, r);
    struct Case { LONG w, h; WORD bits; DWORD used; size_t payload; } cases[] = {
        {4, 4, 8, 100000, 1024 + 16},        // far more colours than the block holds
        {4, 4, 8, 0xFFFFFFFF, 64},           // a colour count that wraps
        {4000, 4000, 24, 0, 100},            // pixel rows beyond the block
        {4, 4, 8, 0, 1023},                  // the colour table itself is cut short
        {0x7FFFFFFF, 0x7FFFFFFF, 32, 0, 64}, // sizes that overflow
    };
    for (const Case &c : cases) {
        put_dib(c.w, c.h, c.bits, c.used, c.payload, 0x77);
        HBITMAP bitmap = (HBITMAP)1;
        int count = -1;
        uint32_t colours[256 + 4];
        colours[256] = 0xDEADBEEF;
        on_worker([&] {
            bitmap = read_clipboard_bitmap(colours, &count);
            KAV_PasteFromClipboard(1, 0, 0);
        });
        EXPECT_TRUE(bitmap == NULL) << c.w << " " << c.used;
        EXPECT_EQ(0, count);
        EXPECT_EQ(0xDEADBEEFu, colours[256]);
    }
    // More than 256 colours claimed and actually present: only 256 are taken.
    put_dib(4, 1, 8, 300, 1200 + 4, 0x11);
    HBITMAP bitmap = NULL;
    int count = -1;
    uint32_t colours[256 + 4];
    colours[256] = 0xDEADBEEF;
    on_worker([&] { bitmap = read_clipboard_bitmap(colours, &count); });
    EXPECT_TRUE(bitmap != NULL);
    EXPECT_EQ(256, count);
    EXPECT_EQ(0x11111111u, colours[255]);
    EXPECT_EQ(0xDEADBEEFu, colours[256]);
    if (bitmap) DeleteObject(bitmap);
    destroy_all();
}

TEST(Clipboard, AHandedBitmapLandsAtTheTopLeftAndIsDeleted)
{
    int r = -1;
    uint32_t got[3] = {};
    HBITMAP bitmap = NULL;
    on_worker([&] {
        r = KAV_CreateImage(3, "handed", 0, 0, 8, 8, 100);
        HDC screen = GetDC(NULL);
        bitmap = CreateCompatibleBitmap(screen, 3, 2);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, 3, 2};
        HBRUSH brush = CreateSolidBrush(RGB(0x10, 0x80, 0xF0));
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(NULL, screen);
        draw_handed_bitmap(bitmap);
        got[0] = pixels[3].words[0] & 0xFFFFFF;
        got[1] = pixels[3].words[1 * 8 + 2] & 0xFFFFFF;
        got[2] = pixels[3].words[2 * 8 + 3] & 0xFFFFFF;
    });
    ASSERT_EQ(0, r);
    EXPECT_EQ(0x1080F0u, got[0]);
    EXPECT_EQ(0x1080F0u, got[1]);
    EXPECT_EQ(0u, got[2]) << "nothing beyond the bitmap";
    EXPECT_EQ(0u, (unsigned)GetObjectType(bitmap)) << "the handed bitmap is deleted";
    destroy_all();
}

// Puts a text on the clipboard, as the user's own content.
static void put_text(const wchar_t *text)
{
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(block), text, bytes);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

static std::wstring clipboard_text(void)
{
    std::vector<uint8_t> bytes = clipboard_block(CF_UNICODETEXT);
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    if (!bytes.empty()) memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
    return text.c_str();  // up to the terminator
}

TEST(Clipboard, ACopyThatCannotBeMadeKeepsTheUsersClipboard)
{
    int r = -1;
    on_worker([&] { r = KAV_CreateImage(4, "copy", 0, 0, 30, 20, 100); });
    ASSERT_EQ(0, r);
    ImageWindowEntry *e = &image_windows[4];

    // The pixels cannot be read: nothing is handed over, nothing is shown.
    put_text(L"the user's text");
    HBITMAP bitmap = e->bitmap;
    on_worker([&] {
        e->bitmap = NULL;
        KAV_CopyToClipboard(4);
        e->bitmap = bitmap;
    });
    EXPECT_EQ(L"the user's text", clipboard_text());

    // A picture too big for memory: the message is shown and the clipboard stays as it was.
    int width = e->width, height = e->height;
    on_worker_async([&] {
        e->width = e->height = 0x7FFFFFFF;
        KAV_CopyToClipboard(4);
        e->width = width;
        e->height = height;
    });
    HWND message = NULL;
    EXPECT_TRUE(wait_until([&] { return (message = FindWindowW(L"#32770", L"Pause")) != NULL; }));
    wchar_t text[64] = L"";
    if (message) {
        GetDlgItemTextW(message, 0xFFFF, text, 64);  // the static text of a message box
        PostMessageW(message, WM_COMMAND, IDOK, 0);
    }
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(std::wstring(L"No enough memory for copy"), text);
    EXPECT_EQ(L"the user's text", clipboard_text());
    destroy_all();
}
