// The point-picking tools driven by real posted mouse messages through the Image window
// procedure: results, prompts, rubber bands that leave the picture as it was, cancels, Stop,
// and a tool window closed in the middle of a pick.
#include "imaging_tools_helpers.h"

#include "imaging/tools.h"

using namespace kavtest;
using namespace tooltest;

class Tools : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (pick_in_progress) PostMessageW(main_window, WM_COMMAND, CMD_STOP, 0);
        wait_worker(5000);
        destroy_all();
    }
};

TEST_F(Tools, BoxShowsItsRubberBandAndReturnsOrderedCorners)
{
    make_window(1, "box", 60, 40);
    std::vector<uint32_t> before = picture(1);
    int r = -1;
    int32_t x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    ASSERT_TRUE(start_pick([&] { r = pick_box(1, &x1, &y1, &x2, &y2); }));
    EXPECT_TRUE(wait_status(L"Click the first point"));
    EXPECT_EQ(1, current_image_window) << "the pick makes its window current";
    left_click(1, 40, 30);
    EXPECT_TRUE(wait_status(L"Click the second point"));
    move_to(1, 10, 5);
    // The outline from (10, 5) to (40, 30) is inverted, nothing inside it.
    ASSERT_TRUE(wait_until([&] { return pixels[1].words[5 * 60 + 25] == (before[5 * 60 + 25] ^ 0xFFFFFF); }));
    EXPECT_EQ(before[5 * 60 + 9], pixels[1].words[5 * 60 + 9] & 0xFFFFFF);
    EXPECT_EQ(before[30 * 60 + 10] ^ 0xFFFFFF, pixels[1].words[30 * 60 + 10] & 0xFFFFFF);
    EXPECT_EQ(before[20 * 60 + 40] ^ 0xFFFFFF, pixels[1].words[20 * 60 + 40] & 0xFFFFFF);
    EXPECT_EQ(before[20 * 60 + 25], pixels[1].words[20 * 60 + 25] & 0xFFFFFF);
    screenshot(window_of(1), "rubber_box");
    left_click(1, 10, 5);
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(0, r);
    EXPECT_EQ(10, x1);
    EXPECT_EQ(5, y1);
    EXPECT_EQ(40, x2);
    EXPECT_EQ(30, y2);
    EXPECT_EQ(0, pick_in_progress.load());
    EXPECT_EQ(-1, tool_capture.tool_window);
    EXPECT_EQ(colour_depth_status(), status());
    EXPECT_TRUE(before == picture(1)) << "the rubber band is gone";
}

TEST_F(Tools, RightClickAfterTheFirstPointRestartsAndASecondCancels)
{
    make_window(1, "line", 50, 50, 8);
    std::vector<uint32_t> before = picture(1);
    int r = -1;
    int32_t x1, y1, x2, y2;
    ASSERT_TRUE(start_pick([&] { r = pick_line(1, &x1, &y1, &x2, &y2); }));
    left_click(1, 5, 5);
    EXPECT_TRUE(wait_status(L"Click the second point"));
    move_to(1, 30, 12);
    right_click(1);
    EXPECT_TRUE(wait_status(L"Click the first point"));
    EXPECT_FALSE(worker_done());
    mouse(1, WM_MBUTTONDOWN, 2, 2, MK_MBUTTON);  // the middle button cancels too
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(1, r);
    EXPECT_TRUE(before == picture(1));
    EXPECT_EQ(colour_depth_status(), status());
}

TEST_F(Tools, CircleRadiusIsRoundedAndPositionsFollowTheZoom)
{
    make_window(1, "circle", 100, 100, 32, 200);
    ASSERT_EQ(200, image_windows[1].zoom);
    std::vector<uint32_t> before = picture(1);
    int r = -1;
    int32_t cx, cy, radius = -1;
    ASSERT_TRUE(start_pick([&] { r = pick_circle(1, &cx, &cy, &radius); }));
    client_mouse(1, WM_LBUTTONDOWN, 40, 41);  // image (20, 20) at 200 %
    EXPECT_TRUE(wait_status(L"Click the second point"));
    client_mouse(1, WM_MOUSEMOVE, 60, 60);
    client_mouse(1, WM_LBUTTONDOWN, 47, 49);  // 3 right, 4 down
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(0, r);
    EXPECT_EQ(20, cx);
    EXPECT_EQ(20, cy);
    EXPECT_EQ(5, radius);
    ASSERT_TRUE(start_pick([&] { r = pick_circle(1, &cx, &cy, &radius); }));
    left_click(1, 20, 20);
    EXPECT_TRUE(wait_status(L"Click the second point"));
    left_click(1, 21, 21);
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(1, radius);
    EXPECT_TRUE(before == picture(1));
}

TEST_F(Tools, ClicksAndKeysOnAnotherWindowDuringAPickChangeNothing)
{
    make_window(1, "waits", 30, 30);
    make_window(2, "other", 30, 30, 32, 100, 200, 40);
    int r = -1;
    int32_t x = -1, y = -1;
    ASSERT_TRUE(start_pick([&] { r = pick_point(1, &x, &y); }));
    EXPECT_TRUE(wait_status(L"Click a point"));
    right_click(2);
    mouse(2, WM_MBUTTONDOWN, 3, 3, MK_MBUTTON);
    left_click(2, 7, 7);
    PostMessageW(window_of(2), WM_KEYDOWN, VK_TAB, 0);
    left_click(1, 3, 4);
    ASSERT_TRUE(wait_worker(5000)) << "a menu opened on the other window would hold the pick";
    EXPECT_EQ(NULL, open_menu_window());
    EXPECT_EQ(0, r) << "the other window's clicks cancel nothing";
    EXPECT_EQ(3, x);
    EXPECT_EQ(4, y);
    EXPECT_EQ(COLORONCOLOR, get_stretch_mode(2)) << "keys are refused during a pick";
}

TEST_F(Tools, StopEndsAPickAsCancelledAndErasesTheRubberBand)
{
    make_window(1, "stop", 40, 30);
    std::vector<uint32_t> before = picture(1);
    int r = -1;
    int32_t x = -1, y = -1;
    ASSERT_TRUE(start_pick([&] { r = pick_row(1, &x, &y); }));
    move_to(1, 5, 12);
    ASSERT_TRUE(wait_until([&] { return (pixels[1].words[12 * 40 + 39] & 0xFFFFFF) == (before[12 * 40 + 39] ^ 0xFFFFFF); }));
    main_command(CMD_STOP);
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(1, r);
    EXPECT_TRUE(before == picture(1));
    EXPECT_EQ(0, pick_in_progress.load());
}

TEST_F(Tools, ClosingTheToolWindowEndsThePickCleanly)
{
    make_window(1, "closed", 40, 30);
    int r = -1;
    int32_t x1, y1, x2, y2;
    ASSERT_TRUE(start_pick([&] { r = pick_box(1, &x1, &y1, &x2, &y2); }));
    left_click(1, 5, 5);
    EXPECT_TRUE(wait_status(L"Click the second point"));
    move_to(1, 20, 20);
    PostMessageW(window_of(1), WM_CLOSE, 0, 0);
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(1, r);
    EXPECT_EQ(0, pick_in_progress.load());
    EXPECT_EQ(-1, tool_capture.tool_window);
    EXPECT_EQ(colour_depth_status(), status());
    EXPECT_FALSE(KAV_IsImageWindow(1));
}

TEST_F(Tools, PlacementFollowsTheMouseAndABadWindowAnswersTwo)
{
    make_window(1, "place", 40, 40);
    std::vector<uint32_t> before = picture(1);
    int r = -1;
    int32_t x = -1, y = -1;
    ASSERT_TRUE(start_pick([&] { r = pick_placement(1, 9, 9, &x, &y); }));
    move_to(1, 20, 20);
    // The 9 x 9 outline centred on (20, 20) with its diagonals: (16, 16) and (24, 24) on the box,
    // (17, 17) on a diagonal, (18, 17) on neither.
    ASSERT_TRUE(wait_until([&] { return (pixels[1].words[16 * 40 + 16] & 0xFFFFFF) == (before[16 * 40 + 16] ^ 0xFFFFFF); }));
    EXPECT_EQ(before[24 * 40 + 24] ^ 0xFFFFFF, pixels[1].words[24 * 40 + 24] & 0xFFFFFF);
    EXPECT_EQ(before[17 * 40 + 17] ^ 0xFFFFFF, pixels[1].words[17 * 40 + 17] & 0xFFFFFF);
    EXPECT_EQ(before[17 * 40 + 18], pixels[1].words[17 * 40 + 18] & 0xFFFFFF);
    left_click(1, 21, 22);
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(0, r);
    EXPECT_EQ(21, x);
    EXPECT_EQ(22, y);
    EXPECT_TRUE(before == picture(1));

    std::wstring shown = status();
    on_worker([&] { r = pick_point(77, &x, &y); });
    EXPECT_EQ(2, r);
    EXPECT_EQ(shown, status()) << "a bad window leaves the status line alone";
}
