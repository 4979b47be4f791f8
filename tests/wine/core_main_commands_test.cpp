// The Main window's window-making commands, worked with real messages to the real Main
// window while the worker thread idles and serves the window requests.
#include "textwin_helpers.h"

#include <shlobj.h>
#include <string>
#include <vector>


using namespace kavtest;
using namespace twtest;

namespace {

struct MenuLine {
    UINT id, state;
    bool separator;
    std::wstring text;
};

// Ends the run, so that the worker idles and serves window requests.
void idle(void)
{
    main_command(CMD_STOP);
    ASSERT_TRUE(wait_until([] { return run_state.running == 0 && window_request.kind == 0; }));
}

HWND open_menu_window(void)
{
    HWND found = NULL;
    wait_until([&] {
        found = FindWindowW(L"#32768", NULL);
        return found && IsWindowVisible(found);
    }, 3000);
    return found && IsWindowVisible(found) ? found : NULL;
}

// Right-clicks the Main window and reads the popup menu back while it is open, then closes it.
std::vector<MenuLine> right_click_menu(void)
{
    std::vector<MenuLine> lines;
    PostMessageW(main_window, WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
    HWND menu_window = open_menu_window();
    if (!menu_window) return lines;
    HMENU menu = (HMENU)SendMessageW(menu_window, MN_GETHMENU, 0, 0);
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        wchar_t text[64] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 64;
        GetMenuItemInfoW(menu, (UINT)i, TRUE, &info);
        lines.push_back({info.wID, info.fState & MFS_GRAYED, (info.fType & MFT_SEPARATOR) != 0, text});
    }
    PostMessageW(menu_window, WM_KEYDOWN, VK_ESCAPE, 0);
    wait_until([] { HWND w = FindWindowW(L"#32768", NULL); return !w || !IsWindowVisible(w); }, 3000);
    return lines;
}

void expect_menu(const std::vector<MenuLine> &lines, UINT greyed)
{
    static const struct { UINT id; const wchar_t *text; bool always; } expected[12] = {
        {1026, L"Paste\tCtrl+V", false}, {0, NULL, false}, {1001, L"Start", false}, {1003, L"Stop", true},
        {1002, L"E&xit", true}, {0, NULL, false}, {1027, L"Image Window", false}, {1028, L"Text Window", false},
        {1044, L"Input Box", false}, {1051, L"Button Box", false}, {0, NULL, false},
        {1045, L"&Window Info.\tCtrl+W", false}};
    ASSERT_EQ(12u, lines.size());
    for (int i = 0; i < 12; i++) {
        if (!expected[i].text) {
            EXPECT_TRUE(lines[i].separator) << i;
            continue;
        }
        EXPECT_EQ(expected[i].id, lines[i].id) << i;
        EXPECT_EQ(expected[i].text, lines[i].text) << i;
        EXPECT_EQ(expected[i].always ? 0u : greyed, lines[i].state) << i;
    }
}

// Waits until the dialogue in Text window 0 reads a line below the given y; types the answer
// and waits for its Enter. Returns the y of the answered line.
int answer(int above_y, const std::wstring &text)
{
    EXPECT_TRUE(wait_until([&] { return line_input_window == 1 && entry(0).cursor_y > above_y; }));
    int y = entry(0).cursor_y;
    for (wchar_t c : text + L"\r") PostMessageW(text_window_handle(0), WM_CHAR, c, 0);
    EXPECT_TRUE(wait_until([&] { return entry(0).cursor_y > y; }));
    return y;
}

// Posts Text Window after the command under test and waits for the window it opens. A command
// that reads lines cannot be sent; one that has finished reading and does not wait for the
// worker afterwards has finished when the Text Window command after it is handled.
void sync_through_main_window(int expected_text_window)
{
    PostMessageW(main_window, WM_COMMAND, 1028, 0);
    EXPECT_TRUE(wait_until([&] { return text_window_handle(expected_text_window) != NULL; }));
}

int live_images(void)
{
    int count = 0;
    for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) count += image_windows[n].in_use == 1;
    return count;
}

void put_bitmap_on_clipboard(int width, int height, COLORREF colour)
{
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT r = {0, 0, width, height};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
}

}  // namespace

TEST(MainMenu, ItemsAndStatesWhileIdleRunningAndReadingALine)
{
    close_everything();
    on_worker([] { KAV_PumpMessages(); });  // running
    expect_menu(right_click_menu(), MFS_GRAYED);
    idle();
    expect_menu(right_click_menu(), 0);

    // The Input Box dialogue reads a line on the GUI thread: the menu is greyed meanwhile.
    PostMessageW(main_window, WM_COMMAND, 1044, 0);
    ASSERT_TRUE(wait_until([] { return line_input_window == 1; }));
    expect_menu(right_click_menu(), MFS_GRAYED);
    answer(-1, L"zz");  // no number: counts as 0, which the box raises to one item
    ASSERT_TRUE(wait_until([] { return input_box_window != NULL; }));
    EXPECT_EQ(1, input_item_count);

    // While a point-picking tool waits for a click the right button does nothing.
    pick_in_progress = 1;
    PostMessageW(main_window, WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
    sync_through_main_window(1);
    HWND menu_window = FindWindowW(L"#32768", NULL);
    EXPECT_FALSE(menu_window && IsWindowVisible(menu_window));
    pick_in_progress = 0;
    close_everything();
}

TEST(MainDialogues, ImageTextAndButtonBoxCreation)
{
    close_everything();
    idle();
    PostMessageW(main_window, WM_COMMAND, 1027, 0);
    int y = answer(answer(answer(-1, L"64"), L"32"), L"16");
    sync_through_main_window(1);
    EXPECT_EQ(0, live_images()) << "bits 16 create nothing";
    EXPECT_EQ(0, entry(0).cursor_x) << "and print nothing further";
    EXPECT_EQ(y + entry(0).char_height, entry(0).cursor_y);

    PostMessageW(main_window, WM_COMMAND, 1027, 0);
    answer(answer(answer(y, L"64"), L"32"), L"8");
    ASSERT_TRUE(wait_until([] { return live_image_window(0) != NULL; }));
    sync_through_main_window(2);
    ImageWindowEntry *e = live_image_window(0);
    ASSERT_TRUE(e != NULL);
    EXPECT_EQ(8, e->bits_per_pixel);
    EXPECT_EQ(64, e->width);
    EXPECT_EQ(32, e->height);
    EXPECT_STREQ("000", e->name);

    // Text Window takes the lowest free number.
    on_worker([] { KAV_CloseTextWindow(1); });
    idle();
    sync_through_main_window(1);

    PostMessageW(main_window, WM_COMMAND, 1051, 0);
    answer(answer(entry(0).cursor_y - 1, L"3"), L"2");
    ASSERT_TRUE(wait_until([] { return button_box_window != NULL; }));
    EXPECT_EQ(3, button_columns);
    EXPECT_EQ(2, button_rows);
    close_everything();
}

TEST(MainDrop, DroppedImagesOpenInTheNextFreeNumbersWithTheirNames)
{
    close_everything();
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring a = std::wstring(dir) + L"a.png", b = std::wstring(dir) + L"b.png", c = std::wstring(dir) + L"c.txt";
    char a_ansi[MAX_PATH], b_ansi[MAX_PATH];
    wide_to_ansi(a.c_str(), a_ansi, MAX_PATH);
    wide_to_ansi(b.c_str(), b_ansi, MAX_PATH);
    on_worker([&] {
        for (int n = 0; n < 3; n++) KAV_CreateImage(n, "taken", 0, 0, 10, 10, 100);
        KAV_CreateImage(9, "file", 0, 0, 20, 10, 100);
        for (int i = 0; i < 200; i++) pixels[9].words[i] = 0x123456;
        KAV_SaveImage(10, 20, KAV_PNG, a_ansi);
        KAV_ResizeImage(9, 30, 15);
        KAV_SaveImage(15, 30, KAV_PNG, b_ansi);
        destroy_image_window(9);
    });
    HANDLE f = CreateFileW(c.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    WriteFile(f, "no image", 8, &written, NULL);
    CloseHandle(f);
    idle();

    // The drop as the shell builds it: DROPFILES followed by the wide names, ending in "\0\0".
    std::wstring names = a + L'\0' + c + L'\0' + b + L'\0' + L'\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    DROPFILES *drop = (DROPFILES *)GlobalLock(block);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    SendMessageW(main_window, WM_DROPFILES, (WPARAM)block, 0);  // returns when the drop is handled

    ImageWindowEntry *three = live_image_window(3), *four = live_image_window(4);
    ASSERT_TRUE(three && four);
    EXPECT_STREQ("003 a.png", three->name);
    EXPECT_STREQ("004 b.png", four->name);
    EXPECT_EQ(32, three->bits_per_pixel);
    EXPECT_EQ(20, three->width);
    EXPECT_EQ(15, four->height);
    EXPECT_EQ(0x123456u, pixels[3].words[5] & 0xFFFFFF) << "the file was loaded";
    EXPECT_EQ(5, live_images());
    DeleteFileW(a.c_str());
    DeleteFileW(b.c_str());
    DeleteFileW(c.c_str());
    close_everything();
}

TEST(MainPaste, ANewWindowForTheBitmapAndNothingWithoutOne)
{
    close_everything();
    on_worker([] {
        for (int n = 0; n < 3; n++) KAV_CreateImage(n, "taken", 0, 0, 10, 10, 100);
    });
    idle();
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    CloseClipboard();
    SendMessageW(main_window, WM_COMMAND, CMD_PASTE, 0);  // returns when the paste is handled
    EXPECT_EQ(3, live_images()) << "no bitmap: nothing";

    put_bitmap_on_clipboard(GetSystemMetrics(SM_CXSCREEN) * 4, 1, RGB(1, 2, 3));  // no zoom fits it
    SendMessageW(main_window, WM_COMMAND, CMD_PASTE, 0);
    EXPECT_EQ(3, live_images()) << "too large for every number: nothing";

    put_bitmap_on_clipboard(8, 6, RGB(0x12, 0x34, 0x56));
    SendMessageW(main_window, WM_COMMAND, CMD_PASTE, 0);
    ImageWindowEntry *e = live_image_window(3);
    ASSERT_TRUE(e != NULL);
    EXPECT_STREQ("003", e->name);
    EXPECT_EQ(8, e->width);
    EXPECT_EQ(6, e->height);
    EXPECT_EQ(0x123456u, pixels[3].words[8 * 6 - 1] & 0xFFFFFF);
    close_everything();
}
