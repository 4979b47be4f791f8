// The Button box in a live process: real windows, real messages through the worker's pump.
#include "flush.h"
#include "harness.h"

#include <string>

#include "boxes/boxes.h"

using namespace kavtest;

static int presses_of(int i)
{
    int n = 0;
    on_worker([&] { n = button_presses[i]; });
    return n;
}

static std::wstring text_of(HWND hwnd)
{
    wchar_t text[512];
    if (GetWindowTextW(hwnd, text, 512) == 0) text[0] = L'\0';
    return text;
}

static void open_fresh_box(int columns, int rows)
{
    on_worker([=] {
        KAV_CloseButtonBox();
        button_width = BUTTON_START_WIDTH;
        button_height = BUTTON_START_HEIGHT;
        KAV_OpenButtonBox(650, 236, columns, rows);
    });
}

static RECT client_rect_of_child(HWND child)  // the child's rectangle in its parent's client area
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, GetParent(child), (POINT *)&r, 2);
    return r;
}

TEST(ButtonBox, OpensOnlyGridsOfOneTo256Buttons)
{
    on_worker([] { KAV_CloseButtonBox(); });
    const int bad[][2] = {{17, 16}, {0, 5}, {-1, 3}, {3, 0}};
    for (auto &g : bad) {
        int count = -1;
        HWND box = (HWND)1;
        on_worker([&] {
            KAV_OpenButtonBox(0, 0, g[0], g[1]);
            count = KAV_ButtonCount();
            box = button_box_window;
        });
        EXPECT_EQ(0, count) << g[0] << " x " << g[1];
        EXPECT_TRUE(box == NULL);
    }

    open_fresh_box(16, 16);
    int count = 0;
    HWND last = NULL;
    on_worker([&] {
        count = KAV_ButtonCount();
        last = GetDlgItem(button_box_window, BUTTON_ID_BASE + 255);
    });
    EXPECT_EQ(256, count);
    ASSERT_TRUE(last != NULL);
    EXPECT_EQ(std::wstring(L"255"), text_of(last));

    on_worker([&] {
        KAV_OpenButtonBox(0, 0, 2, 2);  // a box exists: nothing happens
        count = KAV_ButtonCount();
    });
    EXPECT_EQ(256, count);
}

TEST(ButtonBox, DigitKeysOnBothKeyboardsCountEvenWithoutAShownButton)
{
    open_fresh_box(3, 2);
    on_worker([] { button_presses[7] = 0; button_presses[0] = 0; });
    PostMessageW(button_box_window, WM_KEYDOWN, '7', 0);
    PostMessageW(button_box_window, WM_KEYDOWN, VK_NUMPAD7, 0);
    PostMessageW(button_box_window, WM_KEYDOWN, VK_NUMPAD0, 0);
    PostMessageW(button_box_window, WM_KEYDOWN, 'A', 0);  // not a digit: nothing
    EXPECT_TRUE(wait_until([] { return presses_of(7) == 2; }));
    EXPECT_EQ(1, presses_of(0));
}

TEST(ButtonBox, ClicksBetweenPollsAddUpAndGiveTheBoxTheFocus)
{
    open_fresh_box(3, 2);
    on_worker([] { button_presses[4] = 0; });
    HWND b4 = buttons[4];
    PostMessageW(b4, BM_CLICK, 0, 0);
    PostMessageW(b4, BM_CLICK, 0, 0);
    PostMessageW(b4, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(b4, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(wait_until([] { return presses_of(4) == 3; }));
    HWND focus = NULL;
    on_worker([&] { focus = GetFocus(); });
    EXPECT_EQ(button_box_window, focus);

    // The notification a button sends by itself; ids past the grid count nothing.
    PostMessageW(button_box_window, WM_COMMAND, MAKEWPARAM(BUTTON_ID_BASE + 6, BN_CLICKED), 0);
    ASSERT_TRUE(kavflush::flush_posted(button_box_window));
    EXPECT_EQ(0, presses_of(6)) << "an id past the grid counts nothing";
}

TEST(ButtonBox, LabelsTakeLineFeedsAndIgnoreBadIndexes)
{
    open_fresh_box(3, 2);
    on_worker([] {
        KAV_SetButtonBoxTitle(4, "A\nB");
        KAV_SetButtonBoxTitle(6, "never");
        KAV_SetButtonBoxTitle(-1, "never");
    });
    EXPECT_EQ(std::wstring(L"A\nB"), text_of(buttons[4]));
    EXPECT_EQ(std::wstring(L"5"), text_of(buttons[5]));
    on_worker([] { KAV_CloseButtonBox(); KAV_SetButtonBoxTitle(0, "no box"); });
}

TEST(ButtonBox, ResizingRecomputesTheButtons)
{
    open_fresh_box(3, 2);
    PostMessageW(button_box_window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(10, 64));
    EXPECT_TRUE(wait_until([] {
        RECT r = client_rect_of_child(buttons[1]);
        return r.right - r.left == 0;
    }));
    RECT b1 = client_rect_of_child(buttons[1]);
    EXPECT_EQ(8, b1.left) << "column 1 of width-0 buttons";

    on_worker([] { KAV_ResizeButtonBox(400, 100); });
    RECT client;
    GetClientRect(button_box_window, &client);
    EXPECT_EQ(400, client.right);
    EXPECT_EQ(100, client.bottom);
    RECT b5 = client_rect_of_child(buttons[5]);
    EXPECT_EQ((400 - 16) / 3, b5.right - b5.left);
    EXPECT_EQ((100 - 12) / 2, b5.bottom - b5.top);

}

TEST(ButtonBox, CloseCommandsForgetTheBoxButKeepTheCounts)
{
    open_fresh_box(3, 2);
    on_worker([] { button_presses[2] = 5; });
    HWND box = button_box_window;
    PostMessageW(box, WM_COMMAND, 1050, 0);  // "&Destroy\tCtrl+Q"
    EXPECT_TRUE(wait_until([=] { return button_box_window == NULL && !IsWindow(box); }));
    EXPECT_EQ(5, presses_of(2));
    int count = -1;
    on_worker([&] { count = KAV_ButtonCount(); });
    EXPECT_EQ(0, count);
    open_fresh_box(3, 2);
    EXPECT_EQ(0, presses_of(2)) << "a new box clears the counters of its buttons";
}

TEST(ButtonBox, StopKeyIsHandedToTheMainWindow)
{
    open_fresh_box(3, 2);
    ASSERT_EQ(1, run_state.running.load());
    PostMessageW(button_box_window, WM_KEYDOWN, 'C', 0);
    EXPECT_TRUE(wait_until([] { return run_state.running == 0; }));
}

TEST(ButtonBox, CtrlQClosesTheBoxAndCtrlDigitsCountNothing)
{
    open_fresh_box(3, 2);
    HWND box = button_box_window;
    on_worker([=] {
        button_presses[3] = 0;
        BYTE keys[256];
        GetKeyboardState(keys);
        BYTE saved = keys[VK_CONTROL];
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        SendMessageW(box, WM_KEYDOWN, '3', 0);
        SendMessageW(box, WM_KEYDOWN, 'Q', 0);
        keys[VK_CONTROL] = saved;
        SetKeyboardState(keys);
    });
    EXPECT_TRUE(wait_until([=] { return button_box_window == NULL && !IsWindow(box); }));
    EXPECT_EQ(0, presses_of(3));
}
