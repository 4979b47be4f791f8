// The course of the point-picking tools, the figures they show, and where the graphs put
// their samples; the Image window's key table and zoom steps.
#include <gtest/gtest.h>

#include "imagewin/image_keys.h"
#include "imaging/graph_math.h"
#include "imaging/tool_steps.h"
#include "kavlib.h"

static ToolRun started(int kind, int32_t w = 0, int32_t h = 0)
{
    ToolRun run;
    tool_start(&run, kind, 40, 30, w, h, 7, 9);
    return run;
}

TEST(ToolSteps, BoxOrdersItsCornersAndARightClickRestartsThenCancels)
{
    ToolRun run = started(TOOL_BOX);
    EXPECT_EQ(FIGURE_NONE, tool_figure(&run).kind) << "nothing shown before the first point";
    EXPECT_EQ(TOOL_SECOND_POINT, tool_click(&run, 20, 15));
    ToolFigure f = tool_figure(&run);
    EXPECT_EQ(FIGURE_BOX, f.kind);
    EXPECT_EQ(20, f.x2) << "a degenerate box at the first point until the mouse moves";
    tool_move(&run, 5, 4);
    EXPECT_EQ(5, tool_figure(&run).x2);
    EXPECT_EQ(4, tool_figure(&run).y2);
    EXPECT_EQ(TOOL_COMPLETE, tool_click(&run, 3, 2));
    EXPECT_EQ(3, run.x1);
    EXPECT_EQ(2, run.y1);
    EXPECT_EQ(20, run.x2);
    EXPECT_EQ(15, run.y2);
    EXPECT_EQ(FIGURE_NONE, tool_figure(&run).kind) << "a finished pick shows nothing";
    EXPECT_EQ(TOOL_GOES_ON, tool_click(&run, 1, 1)) << "and takes no more clicks";

    run = started(TOOL_BOX);
    tool_click(&run, 10, 10);
    EXPECT_EQ(TOOL_RESTARTED, tool_cancel(&run));
    EXPECT_EQ(FIGURE_NONE, tool_figure(&run).kind);
    EXPECT_EQ(TOOL_CANCELLED, tool_cancel(&run));
}

TEST(ToolSteps, LineKeepsTheClickOrderAndCircleRoundsItsRadius)
{
    ToolRun run = started(TOOL_LINE);
    tool_click(&run, 30, 20);
    tool_click(&run, 2, 3);
    EXPECT_EQ(30, run.x1);
    EXPECT_EQ(20, run.y1);
    EXPECT_EQ(2, run.x2);
    EXPECT_EQ(3, run.y2);

    run = started(TOOL_CIRCLE);
    tool_click(&run, 10, 10);
    EXPECT_EQ(0, tool_figure(&run).r);
    tool_move(&run, 13, 14);
    EXPECT_EQ(5, tool_figure(&run).r);
    EXPECT_EQ(TOOL_COMPLETE, tool_click(&run, 11, 11));
    EXPECT_EQ(1, run.r) << "sqrt(2) + 0.5 = 1.91";
    EXPECT_EQ(5, circle_radius(-3, -4));
    EXPECT_EQ(0, circle_radius(0, 0));
    EXPECT_EQ(2, circle_radius(1, 2)) << "sqrt(5) + 0.5 = 2.74";
}

TEST(ToolSteps, OnePointToolsFollowTheMouseAndCancelAtOnce)
{
    ToolRun run = started(TOOL_ROW);
    ToolFigure f = tool_figure(&run);
    EXPECT_EQ(FIGURE_LINE, f.kind);
    EXPECT_EQ(0, f.x1);
    EXPECT_EQ(39, f.x2);
    EXPECT_EQ(9, f.y1) << "starts at the last known mouse row";
    tool_move(&run, 4, 12);
    EXPECT_EQ(12, tool_figure(&run).y2);
    EXPECT_EQ(TOOL_COMPLETE, tool_click(&run, 6, 13));
    EXPECT_EQ(6, run.x1);
    EXPECT_EQ(13, run.y1);

    run = started(TOOL_COLUMN);
    f = tool_figure(&run);
    EXPECT_EQ(7, f.x1);
    EXPECT_EQ(7, f.x2);
    EXPECT_EQ(29, f.y2);
    EXPECT_EQ(TOOL_CANCELLED, tool_cancel(&run));

    run = started(TOOL_POINT);
    EXPECT_EQ(FIGURE_NONE, tool_figure(&run).kind);
    EXPECT_EQ(TOOL_CANCELLED, tool_cancel(&run));
}

TEST(ToolSteps, PlacementOutlineIsCentredAndHasDiagonalsFromNineByNine)
{
    ToolFigure f = placement_figure(10, 10, 8, 9);
    EXPECT_EQ(6, f.x1);
    EXPECT_EQ(13, f.x2);
    EXPECT_EQ(6, f.y1);
    EXPECT_EQ(14, f.y2);
    EXPECT_EQ(0, f.diagonals) << "w = 8";
    EXPECT_EQ(1, placement_figure(0, 0, 9, 9).diagonals);
    EXPECT_EQ(-4, placement_figure(0, 0, 9, 9).x1) << "may reach past the border; the pixels clip";
    ToolRun run = started(TOOL_PLACEMENT, 8, 9);
    tool_move(&run, 10, 10);
    EXPECT_TRUE(same_figure(f, tool_figure(&run)));
}

TEST(ToolSteps, ClientPositionsScaleWithTheZoom)
{
    EXPECT_EQ(49, client_to_image(99, 200));
    EXPECT_EQ(110, client_to_image(123, 111)) << "truncated";
    EXPECT_EQ(246, client_to_image(123, 50));
}

TEST(GraphMath, ProfileRowsChannelsAndScales)
{
    uint32_t white = 0xFFFFFF, red = 0xFF0000, black = 0;
    for (int flags : {PROFILE_RED, PROFILE_GREEN, PROFILE_BLUE, PROFILE_VALUE, PROFILE_Y})
        EXPECT_EQ(0, profile_row(&white, 0, flags | PROFILE_POLYLINE)) << flags;
    EXPECT_EQ(127, profile_row(&white, 0, PROFILE_HUE)) << "white has hue 0";
    EXPECT_EQ(127, profile_row(&black, 0, PROFILE_RED));
    EXPECT_EQ(127, profile_row(&red, 0, PROFILE_GREEN));
    uint32_t blue = 0x0000FF;
    int32_t scale;
    EXPECT_EQ(240, profile_channel(&blue, 0, PROFILE_HUE, &scale));
    EXPECT_EQ(359, scale);
    EXPECT_EQ(127 - 240 * 127 / 359, profile_row(&blue, 0, PROFILE_HUE));
    EXPECT_EQ(0, profile_row(&red, 0, PROFILE_RED | PROFILE_BLUE)) << "the first set bit decides";
    EXPECT_EQ(to_ycrcb(red).cr + 128, profile_channel(&red, 0, PROFILE_CR, &scale));
    uint8_t bytes[3] = {0, 128, 255};
    EXPECT_EQ(64, profile_row(bytes, 1, PROFILE_BYTES | PROFILE_RED)) << "bytes are read as bytes";
    EXPECT_EQ(0, profile_row(bytes, 2, PROFILE_BYTES));
}

TEST(GraphMath, CrCbPointsOfThePrimaries)
{
    int32_t x, y;
    crcb_point(0xFF0000, &x, &y);
    EXPECT_EQ(86, x);
    EXPECT_EQ(0, y);
    crcb_point(0x0000FF, &x, &y);
    EXPECT_EQ(256, x) << "pure blue lies just outside a 256-wide graph";
    crcb_point(0x808080, &x, &y);
    EXPECT_EQ(128, x);
    EXPECT_EQ(128, y);
}

TEST(ImageKeys, CtrlTablePlainTableAndZoomSteps)
{
    int id;
    EXPECT_EQ(KEY_POST_COMMAND, image_key_action('V', true, &id));
    EXPECT_EQ(1014, id);
    EXPECT_EQ(KEY_POST_COMMAND, image_key_action('R', true, &id));
    EXPECT_EQ(1019, id);
    EXPECT_EQ(KEY_ZOOM_IN, image_key_action(0x6B, true, &id));
    EXPECT_EQ(KEY_ZOOM_100, image_key_action(0x60, true, &id));
    EXPECT_EQ(KEY_NOTHING, image_key_action('0', true, &id)) << "the main row's 0 does nothing";
    EXPECT_EQ(KEY_NOTHING, image_key_action(0x6B, false, &id)) << "keypad + zooms only with Ctrl";
    EXPECT_EQ(KEY_TO_MAIN, image_key_action('S', true, &id)) << "a Ctrl key outside the table acts plain";
    EXPECT_EQ(KEY_TO_MAIN, image_key_action('X', false, &id));
    EXPECT_EQ(KEY_TO_MAIN, image_key_action(0x1B, false, &id));
    EXPECT_EQ(KEY_TOGGLE_STRETCH, image_key_action(0x09, false, &id));
    EXPECT_EQ(KEY_NOTHING, image_key_action('V', false, &id));

    EXPECT_EQ(111, zoom_step_in(100));
    EXPECT_EQ(90, zoom_step_out(100));
    EXPECT_EQ(100, zoom_step_out(111));
    EXPECT_EQ(2, zoom_step_in(1)) << "a small zoom still grows";
}
