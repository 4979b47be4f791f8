// Edge snapping through the real window procedures: WM_MOVING of a Text window next to an
// Image window and near the work area's edge, with and without Ctrl held. The tests never
// rebuild the placement list themselves: it is what the windows' own creation and WM_MOVE
// keep up to date.
#include "harness.h"

#include "imagewin/imagewin.h"
#include "textwin/textwin.h"

using namespace kavtest;

static void set_ctrl(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Sends WM_MOVING for a proposed rectangle on the worker thread, which owns the window.
static RECT moving(HWND hwnd, RECT proposed, bool ctrl)
{
    on_worker([&] {
        set_ctrl(ctrl);
        SendMessageW(hwnd, WM_MOVING, WMSZ_LEFT, (LPARAM)&proposed);
        set_ctrl(false);
    });
    return proposed;
}

class Placement : public ::testing::Test {
protected:
    HWND text = NULL;
    RECT image_rect = {};
    void SetUp() override
    {
        on_worker([&] {
            create_image_window(7, "anchor", 100, 100, 200, 150, 32, 100, 1);
            KAV_OpenTextWindow(9, 600, 500, 200, 100);
            text = text_window_handle(9);
            GetWindowRect(image_windows[7].hwnd, &image_rect);
        });
    }
    void TearDown() override
    {
        on_worker([] {
            destroy_image_window(7);
            KAV_CloseTextWindow(9);
        });
    }
    // Moves a window as a drag would (a real WM_MOVE) by dx, dy; its new rectangle.
    RECT move_by(HWND hwnd, int dx, int dy)
    {
        RECT r;
        on_worker([&] {
            GetWindowRect(hwnd, &r);
            SetWindowPos(hwnd, NULL, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            GetWindowRect(hwnd, &r);
        });
        return r;
    }
    RECT beside_image(int gap)
    {
        RECT t;
        GetWindowRect(text, &t);
        int w = t.right - t.left, h = t.bottom - t.top;
        int left = image_rect.right + gap, top = image_rect.top + 40;
        return {left, top, left + w, top + h};
    }
};

TEST_F(Placement, WithoutCtrlAWindowMovesFreely)
{
    RECT p = beside_image(3);
    RECT r = moving(text, p, false);
    EXPECT_TRUE(EqualRect(&p, &r));
}

TEST_F(Placement, WithCtrlEdgesWithinSevenPixelsMeet)
{
    RECT r = moving(text, beside_image(7), true);
    EXPECT_EQ(image_rect.right, r.left);
    RECT p = beside_image(8);
    r = moving(text, p, true);
    EXPECT_EQ(p.left, r.left) << "eight pixels away is too far";
}

TEST_F(Placement, WithCtrlTheWorkAreaEdgeCatchesTheWindow)
{
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT t;
    GetWindowRect(text, &t);
    RECT p = {area.left + 4, 600, area.left + 4 + (t.right - t.left), 600 + (t.bottom - t.top)};
    RECT r = moving(text, p, true);
    EXPECT_EQ(area.left, r.left);
    EXPECT_EQ(p.right - p.left, r.right - r.left);
}

TEST_F(Placement, AMovedImageWindowCatchesWhereItNowIs)
{
    RECT old_rect = image_rect;
    image_rect = move_by(image_windows[7].hwnd, 150, 20);
    ASSERT_EQ(old_rect.left + 150, image_rect.left);
    RECT r = moving(text, beside_image(5), true);
    EXPECT_EQ(image_rect.right, r.left) << "the list follows the Image window's move";

    RECT t;
    GetWindowRect(text, &t);
    int w = t.right - t.left, h = t.bottom - t.top;
    RECT p = {old_rect.right + 3, image_rect.top + 40, old_rect.right + 3 + w, image_rect.top + 40 + h};
    r = moving(text, p, true);
    EXPECT_EQ(p.left, r.left) << "where the Image window was catches nothing";
}

TEST_F(Placement, AMovedWindowNeverSnapsToWhereItWas)
{
    RECT old_rect;
    GetWindowRect(text, &old_rect);
    RECT now = move_by(text, -100, 0);
    int w = now.right - now.left;
    // Its right edge 3 pixels short of its old left edge, level with it.
    RECT p = {old_rect.left - 3 - w, now.top, old_rect.left - 3, now.bottom};
    RECT r = moving(text, p, true);
    EXPECT_TRUE(EqualRect(&p, &r)) << "the list follows the Text window's own move";
}
