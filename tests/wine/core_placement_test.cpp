// Edge snapping through the real window procedures: WM_MOVING of a Text window next to an
// Image window and near the work area's edge, with and without Ctrl held.
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
        rebuild_placement_list();
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
