// Image windows in a live process: creation, title, zoom, stretch mode, re-creation, the
// current window and its history, closing and the frame, and pixel access on real windows.
#include "harness.h"

#include <string>

#include "imagewin/imagewin.h"

using namespace kavtest;

static std::wstring title_of(int n)
{
    wchar_t text[300] = L"";
    GetWindowTextW(image_windows[n].hwnd, text, 300);
    return text;
}

static SIZE client_size(int n)
{
    RECT r;
    GetClientRect(image_windows[n].hwnd, &r);
    return SIZE{r.right, r.bottom};
}

static void destroy_all(void)
{
    on_worker([] {
        for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) destroy_image_window(n);
    });
}

TEST(ImageCreate, FitsTheRealScreenAndShowsNameAndZoom)
{
    destroy_all();
    int r1 = -1, r2 = -1, r3 = -1, r4 = -1, r5 = -1, r6 = -1;
    on_worker([&] {
        r1 = KAV_CreateImage8(3, "image", 10, 20, 640, 480, 100);
        r2 = KAV_CreateImage(3, "again", 0, 0, 10, 10, 100);
        r3 = create_image_window(256, "x", 0, 0, 10, 10, 32, 100, 1);
        r4 = create_image_window(-1, "x", 0, 0, 10, 10, 32, 100, 1);
        r5 = KAV_CreateImage(4, "flat", 0, 0, 10000, 1, 100);
        r6 = create_image_window(5, "bits", 0, 0, 10, 10, 16, 100, 1);
    });
    EXPECT_EQ(0, r1);
    EXPECT_EQ(1, r2) << "number in use";
    EXPECT_EQ(4, r3);
    EXPECT_EQ(4, r4);
    EXPECT_EQ(2, r5);
    EXPECT_EQ(3, r6);
    EXPECT_FALSE(KAV_IsImageWindow(4) || KAV_IsImageWindow(5));
    ASSERT_TRUE(KAV_IsImageWindow(3));
    EXPECT_EQ(L"image(100%)[8bit]", title_of(3));
    SIZE s = client_size(3);
    EXPECT_EQ(640, s.cx);
    EXPECT_EQ(480, s.cy);
    EXPECT_EQ(3, KAV_CurrentImage());
    RECT area, outer;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(image_windows[3].hwnd, &outer);
    EXPECT_EQ(area.left + 10, outer.left);
    EXPECT_EQ(area.top + 20, outer.top);
    wchar_t cls[32];
    GetClassNameW(image_windows[3].hwnd, cls, 32);
    EXPECT_EQ(std::wstring(L"kav_iw"), cls);
    EXPECT_EQ(main_window, GetWindow(image_windows[3].hwnd, GW_OWNER));

    // At 400 % the zoom is lowered until the window fits the screen. On the test display
    // (1280 x 1024) the width is what limits it: 640 x 200 % = 1280.
    ASSERT_EQ(1280, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(1024, GetSystemMetrics(SM_CYSCREEN));
    int r = -1;
    on_worker([&] { r = KAV_CreateImage(6, "big", -1, -1, 640, 480, 400); });
    ASSERT_EQ(0, r);
    EXPECT_EQ(200, image_windows[6].zoom);
    EXPECT_EQ(L"big(200%)", title_of(6));
    s = client_size(6);
    EXPECT_EQ(1280, s.cx);
    EXPECT_EQ(960, s.cy);

    // A tiny image is raised to the minimum client size; zero sizes become one pixel.
    on_worker([&] { r = KAV_CreateImage(7, "dot", 0, 0, 0, -3, 100); });
    ASSERT_EQ(0, r);
    EXPECT_EQ(1, image_windows[7].width);
    EXPECT_EQ(1, image_windows[7].height);
    EXPECT_EQ(image_windows[7].zoom / 100, image_windows[7].view_width);
    EXPECT_GE(image_windows[7].view_width, GetSystemMetrics(SM_CXMIN) - 2 * GetSystemMetrics(SM_CXFRAME));
    destroy_all();
}

TEST(ImageCreate, ALongNameIsCutInTheTitleButKept)
{
    std::string name(600, 'n');
    int r = -1;
    on_worker([&] { r = KAV_CreateImage(9, name.c_str(), 0, 0, 50, 50, 100); });
    ASSERT_EQ(0, r);
    EXPECT_EQ(name, std::string(image_windows[9].name));
    EXPECT_EQ(255u, title_of(9).size());
    on_worker([&] { r = KAV_ResizeImage(9, 60, 40); });
    EXPECT_EQ(0, r);
    EXPECT_EQ(std::string(255, 'n'), std::string(image_windows[9].name));
    destroy_all();
}

TEST(ImageZoom, ZoomStretchModeAndRecreation)
{
    int r = -1;
    on_worker([&] {
        r = KAV_CreateImage8(2, "z", 30, 40, 101, 60, 100);
        uint32_t table[256];
        for (int i = 0; i < 256; i++) table[i] = 0x010203u * (uint32_t)(255 - i) & 0xFFFFFF;
        KAV_SetColorTable(table, 256);
    });
    ASSERT_EQ(0, r);
    RECT before;
    GetWindowRect(image_windows[2].hwnd, &before);
    on_worker([&] { r = KAV_SetZoom(2, 200); });
    EXPECT_EQ(0, r);
    EXPECT_EQ(L"z(200%)[8bit]", title_of(2));
    SIZE s = client_size(2);
    EXPECT_EQ(202, s.cx);
    EXPECT_EQ(120, s.cy);
    RECT after;
    GetWindowRect(image_windows[2].hwnd, &after);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    on_worker([&] { r = KAV_SetZoom(2, 100000); });
    EXPECT_EQ(0, r) << "lowered to what fits";
    int fitted = image_windows[2].zoom;
    on_worker([&] { r = set_zoom(77, 100); });
    EXPECT_EQ(1, r);

    on_worker([&] { r = KAV_SetStretchMode(2, HALFTONE); });
    EXPECT_EQ(L"z(" + std::to_wstring(fitted) + L"%)[8bit]*", title_of(2));
    EXPECT_EQ(HALFTONE, KAV_GetStretchMode(2));
    on_worker([&] { KAV_SetStretchMode(2, 7); });
    EXPECT_EQ(HALFTONE, KAV_GetStretchMode(2)) << "other modes change nothing";

    // Re-creation: new size, black image, same place, zoom, mode and colour table.
    on_worker([&] {
        pixels[2].bytes[0] = 9;
        KAV_SetZoom(2, 150);
    });
    GetWindowRect(image_windows[2].hwnd, &before);
    uint32_t table[256] = {};
    on_worker([&] {
        r = KAV_ResizeImage(2, 133, 88);
        KAV_GetColorTable(table);
    });
    ASSERT_EQ(0, r);
    EXPECT_EQ(133, image_windows[2].width);
    EXPECT_EQ(88, image_windows[2].height);
    EXPECT_EQ(0, pixels[2].bytes[0]);
    GetWindowRect(image_windows[2].hwnd, &after);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(HALFTONE, KAV_GetStretchMode(2));
    EXPECT_EQ(L"z(150%)[8bit]*", title_of(2));
    EXPECT_EQ(0x010203u * 255 & 0xFFFFFF, table[0]);
    EXPECT_EQ(0u, table[255]);
    on_worker([&] { KAV_SetStretchMode(2, COLORONCOLOR); });
    EXPECT_EQ(L"z(150%)[8bit]", title_of(2));
    EXPECT_EQ(0, KAV_GetStretchMode(200));
    destroy_all();
}

TEST(ImageSelect, HistoryRestoreAndFind)
{
    on_worker([] {
        KAV_CreateImage(1, "a", 0, 0, 20, 20, 100);
        KAV_CreateImage(3, "b", 0, 0, 20, 20, 100);
    });
    ASSERT_EQ(3, KAV_CurrentImage());
    int r = -1;
    on_worker([&] { r = KAV_RestoreImage(); });
    EXPECT_EQ(0, r);
    EXPECT_EQ(1, KAV_CurrentImage());
    on_worker([&] { r = KAV_SelectImage(3); });
    EXPECT_EQ(0, r);
    on_worker([&] { r = KAV_SelectImage(300); });
    EXPECT_EQ(1, r);
    EXPECT_EQ(3, KAV_CurrentImage());
    on_worker([&] {
        KAV_DestroyImage(1);
        r = KAV_RestoreImage();
    });
    EXPECT_EQ(1, r) << "the previous window is gone";
    EXPECT_EQ(3, KAV_CurrentImage());
    on_worker([&] { r = KAV_DestroyImage(1); });
    EXPECT_EQ(1, r);

    EXPECT_EQ(3, find_image_window(image_windows[3].hwnd));
    EXPECT_EQ(-1, find_image_window(main_window));
    on_worker([&] { r = find_and_select(main_window); });
    EXPECT_EQ(-1, r);
    EXPECT_EQ(3, KAV_CurrentImage());
    destroy_all();
}

TEST(ImageWindowProc, FrameKeepsItsSizeAndCloseDestroys)
{
    int r = -1;
    on_worker([&] { r = KAV_CreateImage(8, "p", 0, 0, 64, 48, 100); });
    ASSERT_EQ(0, r);
    HWND hwnd = image_windows[8].hwnd;
    RECT current, proposed;
    GetWindowRect(hwnd, &current);
    proposed = current;
    proposed.right += 40;
    on_worker([&] { SendMessageW(hwnd, WM_SIZING, WMSZ_RIGHT, (LPARAM)&proposed); });
    EXPECT_TRUE(EqualRect(&current, &proposed));
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(hwnd); }));
    EXPECT_FALSE(KAV_IsImageWindow(8));
    EXPECT_EQ(8, KAV_CurrentImage()) << "closing leaves the current window as it was";
}

TEST(ImagePaint, PixelsReachTheScreenAtEveryZoom)
{
    int r = -1;
    on_worker([&] {
        r = KAV_CreateImage(10, "paint", 0, 0, 40, 30, 100);
        for (int i = 0; i < 40 * 30; i++) pixels[10].words[i] = 0x00FF8000;
        KAV_InvalidateImages();
    });
    ASSERT_EQ(0, r);
    for (int zoom : {100, 300}) {
        on_worker([&] {
            KAV_SetZoom(10, zoom);
            KAV_PumpMessages();
            KAV_PaintImage(10);
        });
        HDC screen = GetDC(NULL);
        POINT p = {image_windows[10].view_width - 2, image_windows[10].view_height - 2};
        ClientToScreen(image_windows[10].hwnd, &p);
        COLORREF c = GetPixel(screen, p.x, p.y);
        ReleaseDC(NULL, screen);
        EXPECT_EQ(RGB(0xFF, 0x80, 0), c) << "zoom " << zoom;
    }
    destroy_all();
}

TEST(Pixels, PlotGetAndInvertOnRealWindows)
{
    int32_t got[8] = {};
    KAV_Point pen = {};
    on_worker([&] {
        KAV_CreateImage8(11, "eight", 0, 0, 5, 3, 100);
        plot(4, 2, 0x123456);
        got[0] = get_pixel(4, 2);
        got[1] = pixels[11].bytes[2 * 8 + 4];
        xor_pixel(4, 2);
        got[2] = get_pixel(4, 2);
        got[3] = get_pixel_checked(-1, 0);
        got[4] = get_pixel(-1, 0);
        plot(-5, 7, 0xFFFFFF);
        pen = pen_position;
        KAV_CreateImage(12, "true", 0, 0, 6, 4, 100);
        put_pixel(5, 3, 0x00102030);
        xor_plot(5, 3);
        got[5] = get_pixel(5, 3);
        got[6] = (int32_t)pixels[12].words[5 + 3 * 6];
        got[7] = get_pixel_checked(6, 0);
    });
    EXPECT_EQ(0x56, got[0]);
    EXPECT_EQ(0x56, got[1]);
    EXPECT_EQ(0xA9, got[2]);
    EXPECT_EQ(-1, got[3]);
    EXPECT_EQ(0, got[4]);
    EXPECT_EQ(-5, pen.x);
    EXPECT_EQ(7, pen.y);
    EXPECT_EQ(0x00EFDFCF, got[5]);
    EXPECT_EQ(0x00EFDFCF, got[6]);
    EXPECT_EQ(-1, got[7]);
    destroy_all();
}

TEST(ImageCreate, LargeAndTinyFlWindowsGetTheirWholeClientArea)
{
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    int r1 = -1, r2 = -1;
    on_worker([&] {
        r1 = KAV_CreateImageFL(13, "large", 0, 0, cx + cx / 2, cy + cy / 2, 100);
        r2 = KAV_CreateImage8FL(14, "tiny", 0, 0, 1, 1, 100);
    });
    ASSERT_EQ(0, r1);
    ASSERT_EQ(0, r2);
    EXPECT_EQ(100, image_windows[13].zoom);
    SIZE s = client_size(13);
    EXPECT_EQ(cx + cx / 2, s.cx);
    EXPECT_EQ(cy + cy / 2, s.cy);
    s = client_size(14);
    EXPECT_EQ(1, s.cx);
    EXPECT_EQ(1, s.cy);
    destroy_all();
}

TEST(ImageCreate, MinusOneInEitherCoordinateLetsTheSystemPlaceAVisibleWindow)
{
    int r[3] = {-1, -1, -1};
    on_worker([&] {
        r[0] = KAV_CreateImage(15, "x only", -1, 50, 40, 30, 100);
        r[1] = KAV_CreateImage(16, "y only", 50, -1, 40, 30, 100);
        r[2] = KAV_CreateImage(17, "both", -1, -1, 40, 30, 100);
    });
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    for (int i = 0; i < 3; i++) {
        int n = 15 + i;
        ASSERT_EQ(0, r[i]) << n;
        HWND hwnd = image_windows[n].hwnd;
        EXPECT_TRUE(IsWindowVisible(hwnd)) << n;
        RECT outer;
        GetWindowRect(hwnd, &outer);
        POINT corner = {outer.left, outer.top};
        EXPECT_TRUE(PtInRect(&screen, corner)) << n << ": at " << outer.left << "," << outer.top;
    }
    destroy_all();
}

TEST(ImageZoom, ARecreationThatCannotBeShownLeavesTheWindowAsItWas)
{
    int r = -1;
    on_worker([&] {
        r = KAV_CreateImage(1, "keep", 20, 30, 64, 48, 200);
        pixels[1].words[5] = 0x00ABCDEF;
    });
    ASSERT_EQ(0, r);
    HWND hwnd = image_windows[1].hwnd;
    RECT before;
    GetWindowRect(hwnd, &before);
    uint32_t pixel = 0;
    on_worker([&] {
        r = KAV_ResizeImage(1, 10000, 1);
        pixel = KAV_IsImageWindow(1) ? pixels[1].words[5] : 0;
    });
    EXPECT_EQ(2, r);
    ASSERT_TRUE(KAV_IsImageWindow(1));
    EXPECT_EQ(hwnd, image_windows[1].hwnd);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(0x00ABCDEFu, pixel) << "the picture is kept";
    EXPECT_EQ(64, image_windows[1].width);
    EXPECT_EQ(48, image_windows[1].height);
    EXPECT_EQ(200, image_windows[1].zoom);
    RECT after;
    GetWindowRect(hwnd, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    on_worker([&] { r = recreate_image_window(1, 32, 16); });
    EXPECT_EQ(0, r) << "a size that fits is still taken";
    EXPECT_EQ(32, image_windows[1].width);
    destroy_all();
}
