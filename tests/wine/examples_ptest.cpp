// The example programs, started as their own processes and worked from outside.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "process.h"

using namespace kavproc;

namespace {

// Outer top-left corner of a window relative to the work area.
POINT work_area_position(HWND hwnd)
{
    RECT r, area;
    GetWindowRect(hwnd, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return POINT{r.left - area.left, r.top - area.top};
}

COLORREF client_pixel(HWND hwnd, int x, int y)
{
    RECT r = client_rect_on_screen(hwnd);
    HDC screen = GetDC(NULL);
    COLORREF c = GetPixel(screen, r.left + x, r.top + y);
    ReleaseDC(NULL, screen);
    return c;
}

std::string clipboard_text(void)
{
    std::string text;
    if (!OpenClipboard(NULL)) return text;
    HANDLE h = GetClipboardData(CF_TEXT);
    const char *p = h ? (const char *)GlobalLock(h) : NULL;
    if (p) text = p;
    if (h) GlobalUnlock(h);
    CloseClipboard();
    return text;
}

// The pasted layout source in examples/layout/layout.cpp: its tab-indented lines from the
// generator's first comment to KAV_SetForeground, with the generator's CR LF line ends.
std::string pasted_layout_source(void)
{
    std::wstring path = std::wstring(source_dir()) + L"\\examples\\layout\\layout.cpp";
    std::ifstream file(path.c_str());
    std::string line, source;
    bool inside = false;
    while (std::getline(file, line)) {
        if (line.find("\t// KAVLIB --- Automatic Source Generator") == 0) inside = true;
        if (inside) source += line + "\r\n";
        if (inside && line == "\tKAV_SetForeground(KAVMAINWINDOW);") break;
    }
    return source;
}

}  // namespace

TEST(Examples, ConsoleReadsALineThenDraws)
{
    Program p;
    ASSERT_TRUE(start(p, NULL, L"" KAV_CONSOLE_EXAMPLE_WIN));
    HWND main = wait_window(p, L"kavlib_mw0", NULL, 15000);
    HWND text = wait_window(p, L"kav_twi", L"TextWindow 0", 15000);
    HWND image = wait_window(p, L"kav_iw", L"drawing(200%)", 15000);
    ASSERT_TRUE(main && text && image);
    HWND status = GetDlgItem(main, 2001);
    ASSERT_TRUE(wait_until([&] { return window_text(status).find(L"Input text") != std::wstring::npos; }, 10000));
    EXPECT_EQ(RGB(0, 0, 0), client_pixel(image, 21, 21)) << "nothing drawn before the line";
    for (wchar_t c : std::wstring(L"Ada\r")) PostMessageW(text, WM_CHAR, c, 0);
    EXPECT_TRUE(wait_until([&] { return client_pixel(image, 21, 21) == RGB(255, 0, 0); }, 10000)) << "the diagonal";
    EXPECT_EQ(RGB(255, 255, 255), client_pixel(image, 0, 64)) << "the frame";
    PostMessageW(main, WM_COMMAND, 1002, 0);
    EXPECT_EQ(0, wait_exit(p, 10000));
    stop(p);
}

TEST(Examples, LayoutProgramMakesThePastedLayout)
{
    Program p;
    ASSERT_TRUE(start(p, NULL, L"" KAV_LAYOUT_EXAMPLE_WIN));
    HWND main = wait_window(p, L"kavlib_mw0", NULL, 15000);
    HWND image = wait_window(p, L"kav_iw", L"picture(200%)", 15000);
    HWND text = wait_window(p, L"kav_twi", L"TextWindow 0", 15000);
    HWND inputs = wait_window(p, L"kav_ib", NULL, 15000);
    HWND buttons = wait_window(p, L"kav_bb", NULL, 15000);
    ASSERT_TRUE(main && image && text && inputs && buttons);
    POINT at = work_area_position(image);
    EXPECT_EQ(0, at.x);
    EXPECT_EQ(0, at.y);
    at = work_area_position(text);
    EXPECT_EQ(330, at.x);
    at = work_area_position(buttons);
    EXPECT_EQ(280, at.y);
    RECT client;
    GetClientRect(buttons, &client);
    EXPECT_EQ(200, client.right);
    EXPECT_EQ(40, client.bottom);
    EXPECT_EQ(L"quit\nrun", window_text(GetDlgItem(buttons, 3001)));

    // Window Info in the program gives back the very source its setup was pasted from.
    DWORD sequence = GetClipboardSequenceNumber();
    PostMessageW(text, WM_COMMAND, 1045, 0);
    EXPECT_TRUE(wait_until([&] { return GetClipboardSequenceNumber() != sequence && !clipboard_text().empty(); }, 10000));
    std::string pasted = pasted_layout_source();
    EXPECT_GT(pasted.size(), 200u);
    EXPECT_EQ(pasted, clipboard_text());
    PostMessageW(main, WM_COMMAND, 1002, 0);
    EXPECT_EQ(0, wait_exit(p, 10000));
    stop(p);
}
