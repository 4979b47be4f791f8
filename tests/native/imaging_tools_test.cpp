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

// What the Wine tests cannot reach through clicks: a decided pick takes nothing more, a restart
// forgets the first point, and the figures of the one-point tools.
TEST(ToolSteps, DecidedPicksTakeNothingMoreAndRestartsForgetTheFirstPoint)
{
    ToolRun run = started(TOOL_BOX);
    EXPECT_EQ(FIGURE_NONE, tool_figure(&run).kind) << "nothing shown before the first point";
    EXPECT_EQ(TOOL_SECOND_POINT, tool_click(&run, 20, 15));
    EXPECT_EQ(20, tool_figure(&run).x2) << "a degenerate box at the first point until the mouse moves";
    EXPECT_EQ(TOOL_RESTARTED, tool_cancel(&run));
    EXPECT_EQ(0, run.x1);
    tool_move(&run, 30, 30);
    EXPECT_EQ(FIGURE_NONE, tool_figure(&run).kind) << "moves before a new first point show nothing";
    tool_click(&run, 5, 6);
    EXPECT_EQ(TOOL_COMPLETE, tool_click(&run, 1, 2));
    EXPECT_EQ(FIGURE_NONE, tool_figure(&run).kind);
    EXPECT_EQ(TOOL_GOES_ON, tool_click(&run, 9, 9));
    EXPECT_EQ(TOOL_GOES_ON, tool_cancel(&run));
    EXPECT_EQ(1, run.x1);
    EXPECT_EQ(6, run.y2);

    run = started(TOOL_COLUMN);
    ToolFigure f = tool_figure(&run);
    EXPECT_EQ(7, f.x1) << "starts at the last known mouse column";
    EXPECT_EQ(29, f.y2);
    EXPECT_EQ(0, placement_figure(10, 10, 8, 9).diagonals) << "w = 8: no diagonals";
    EXPECT_EQ(-4, placement_figure(0, 0, 9, 9).x1) << "may reach past the border; the pixels clip";
    EXPECT_EQ(2, circle_radius(1, 2)) << "sqrt(5) + 0.5 = 2.74";
    EXPECT_EQ(110, client_to_image(123, 111)) << "truncated";
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

TEST(ImageKeys, CtrlKeysOutsideTheTableActPlainAndSmallZoomsStillGrow)
{
    int id;
    EXPECT_EQ(KEY_POST_COMMAND, image_key_action('V', true, &id));
    EXPECT_EQ(1014, id);
    EXPECT_EQ(KEY_NOTHING, image_key_action(0x6B, false, &id)) << "keypad + zooms only with Ctrl";
    EXPECT_EQ(KEY_TO_MAIN, image_key_action('S', true, &id));
    EXPECT_EQ(KEY_NOTHING, image_key_action('V', false, &id));
    EXPECT_EQ(111, zoom_step_in(100));
    EXPECT_EQ(2, zoom_step_in(1));
}
