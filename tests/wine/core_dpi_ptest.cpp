// The converter's picture on the display it is given: the Image window at zoom 100 has a
// 640 x 480 client area and the screen shows each picture pixel as exactly one screen pixel,
// whatever the display's dots per inch. core_dpi_pcheck.sh runs it in a prefix at 96 dpi and
// in one at 144 dpi (150 %), with
//   KAV_DPI    the dots per inch the prefix's display is set to
//   KAV_WORK   Windows path of an empty folder for the data file
//   KAV_SHOTS  Windows path prefix of the screenshots written for a person to look at
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>

#include "process.h"

using namespace kavproc;

namespace {

const int W = 640, H = 480;

// A picture in which every pixel differs from its neighbours, so any stretching, blur or shift
// shows: sample (x + 2y) mod 5, which the starting gain (x 63) shows as grey 0, 63 .. 252.
int sample_at(int x, int y) { return (x + 2 * y) % 5; }
unsigned grey_shown(int x, int y)
{
    unsigned g = (unsigned)(sample_at(x, y) * 63);
    return g << 16 | g << 8 | g;
}

std::wstring write_pattern_file(void)
{
    std::wstring path = path_from_env(L"KAV_WORK") + L"\\pattern.txt";
    FILE *f = _wfopen(path.c_str(), L"wb");
    if (!f) return L"";
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) fprintf(f, "%d %d %d\n", x, y, sample_at(x, y));
    return fclose(f) == 0 ? path : L"";
}

// Pixels of the Image window's client area that differ from the picture; -1 when the client
// area is not 640 x 480.
long mismatches(HWND image, int *first_x, int *first_y)
{
    RECT r = client_rect_on_screen(image);
    if (r.right - r.left != W || r.bottom - r.top != H) return -1;
    std::vector<unsigned> shown = screen_pixels(r);
    if (shown.size() != (size_t)(W * H)) return -1;
    long count = 0;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            if (shown[(size_t)y * W + x] != grey_shown(x, y) && count++ == 0) *first_x = x, *first_y = y;
    return count;
}

RECT window_rect(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return r;
}

}  // namespace

TEST(Display, PictureAtZoom100IsShownOnePixelPerPixel)
{
    SetProcessDPIAware();  // this test measures in screen pixels
    const wchar_t *dpi_text = _wgetenv(L"KAV_DPI");
    const int dpi = dpi_text ? _wtoi(dpi_text) : 0;
    HDC screen = GetDC(NULL);
    ASSERT_EQ(dpi, GetDeviceCaps(screen, LOGPIXELSX)) << "the prefix's display is at the dpi given";
    ReleaseDC(NULL, screen);
    std::wstring data = write_pattern_file();
    ASSERT_FALSE(data.empty());
    const std::wstring shots = path_from_env(L"KAV_SHOTS");

    Program p;
    ASSERT_TRUE(start(p, path_from_env(L"KAV_WORK").c_str()));
    HWND main = wait_window(p, L"kavlib_mw0", NULL, 15000);
    HWND image = wait_window(p, L"kav_iw", NULL, 10000);
    HWND box = wait_window(p, L"kav_bb", NULL, 10000);
    ASSERT_TRUE(main && image && box);
    ASSERT_TRUE(wait_until([&] { return window_text(GetDlgItem(box, 3004)) == L"5"; }, 10000));

    EXPECT_EQ(L"Image(100%)[8bit]", window_text(image));
    RECT client;
    GetClientRect(image, &client);
    EXPECT_EQ(W, client.right) << "client width in screen pixels";
    EXPECT_EQ(H, client.bottom) << "client height in screen pixels";

    // The Main window is laid out from the system metrics the program reads (menu bar, caption,
    // frame): the real ones of this display only when the program declares itself DPI-aware.
    RECT expected = {0, 0, 240, GetSystemMetrics(SM_CYMENU) + 32};
    AdjustWindowRect(&expected, WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, FALSE);
    RECT outer = window_rect(main);
    EXPECT_EQ(expected.right - expected.left, outer.right - outer.left) << "Main window width";
    EXPECT_EQ(expected.bottom - expected.top, outer.bottom - outer.top) << "Main window height";

    // Screenshots of the Button box and the open dialog, for a person to look at.
    save_screenshot(shots + L"box.bmp", window_rect(box));
    PostMessageW(GetDlgItem(box, 3000), BM_CLICK, 0, 0);
    HWND dialog = wait_window(p, L"#32770", L"open file", 10000);
    ASSERT_TRUE(dialog != NULL);
    Sleep(1000);  // let it paint: the picture is only looked at
    save_screenshot(shots + L"open.bmp", window_rect(dialog));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(dialog); }, 10000));

    ASSERT_TRUE(open_through_dialog(p, box, 3000, L"open file", data));
    int x = -1, y = -1;
    long wrong = -1;
    EXPECT_TRUE(wait_until([&] { return (wrong = mismatches(image, &x, &y)) == 0; }, 10000))
        << wrong << " pixels differ, the first at (" << x << ", " << y << ")";
    RECT whole = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    save_screenshot(shots + L"screen.bmp", whole);

    PostMessageW(main, WM_COMMAND, 1002, 0);
    EXPECT_EQ(0, wait_exit(p, 10000));
    stop(p);
}
