// Geometry of the Button box grid and the Input box column.
#include <gtest/gtest.h>

#include "boxes/box_layout.h"

TEST(ButtonGrid, AcceptsUpTo256ButtonsAndRefusesEmptyOrOverflowingGrids)
{
    EXPECT_TRUE(button_grid_valid(16, 16));
    EXPECT_TRUE(button_grid_valid(1, 256));
    EXPECT_TRUE(button_grid_valid(256, 1));
    EXPECT_FALSE(button_grid_valid(17, 16));
    EXPECT_FALSE(button_grid_valid(0, 5));
    EXPECT_FALSE(button_grid_valid(-1, 3));
    EXPECT_FALSE(button_grid_valid(3, -1));
    EXPECT_FALSE(button_grid_valid(-16, -16)) << "a positive product of two negatives";
    EXPECT_FALSE(button_grid_valid(65536, 65536)) << "a product that overflows int";
}

TEST(ButtonGrid, PlacesButtonsRowByRowWithFourPixelGaps)
{
    int w, h;
    button_box_client_size(3, 2, 98, 26, &w, &h);
    EXPECT_EQ(310, w);
    EXPECT_EQ(64, h);
    int x, y;
    button_position(4, 3, 98, 26, &x, &y);  // row 1, column 1
    EXPECT_EQ(106, x);
    EXPECT_EQ(34, y);
    button_position(0, 3, 0, 0, &x, &y);
    EXPECT_EQ(4, x);
    EXPECT_EQ(4, y);
}

TEST(ButtonGrid, ButtonSizeFollowsTheClientSizeDownToZero)
{
    EXPECT_EQ(98, button_side_from_client(310, 3));
    EXPECT_EQ(26, button_side_from_client(64, 2));
    EXPECT_EQ(0, button_side_from_client(10, 3)) << "too small a box gives width 0";
    EXPECT_EQ(1, button_side_from_client(0, 1)) << "never less than 1 pixel before dividing";
    EXPECT_EQ(1, button_side_from_client(-50, 1));
}

TEST(ButtonGrid, PointsOutsideTheGridNameTheNearestButton)
{
    EXPECT_EQ(4, button_under_point(105, 33, 3, 2, 98, 26));
    EXPECT_EQ(0, button_under_point(-20, -5, 3, 2, 98, 26));
    EXPECT_EQ(5, button_under_point(5000, 5000, 3, 2, 98, 26));
    EXPECT_EQ(2, button_under_point(9, 0, 3, 2, 0, 0)) << "buttons of width 0: every 4 pixels a column";
}

TEST(InputColumn, ClampsTheItemCountTo1Through30)
{
    EXPECT_EQ(1, clamp_item_count(0));
    EXPECT_EQ(1, clamp_item_count(-7));
    EXPECT_EQ(30, clamp_item_count(45));
    EXPECT_EQ(30, clamp_item_count(30));
    EXPECT_EQ(12, clamp_item_count(12));
}

TEST(InputColumn, LaysOutRowsOf28Pixels)
{
    int w, h;
    input_box_client_size(3, 80, 70, &w, &h);
    EXPECT_EQ(162, w);
    EXPECT_EQ(86, h);
    EXPECT_EQ(60, item_row_top(2));
    EXPECT_EQ(88, edit_left(80));
}

TEST(InputColumn, LeftBordersResizeLabelsOtherBordersTheFieldsNeverBelowOnePixel)
{
    const int left_edges[] = {1, 4, 7};       // left, top-left, bottom-left
    const int other_edges[] = {0, 2, 3, 5, 6, 8};
    for (int edge : left_edges) {
        int label = 80, edit = 70;
        input_widths_after_size(edge, 200, &label, &edit);
        EXPECT_EQ(118, label) << edge;
        EXPECT_EQ(70, edit) << edge;
        input_widths_after_size(edge, 20, &label, &edit);
        EXPECT_EQ(1, label) << edge;
    }
    for (int edge : other_edges) {
        int label = 80, edit = 70;
        input_widths_after_size(edge, 200, &label, &edit);
        EXPECT_EQ(80, label) << edge;
        EXPECT_EQ(108, edit) << edge;
        input_widths_after_size(edge, 50, &label, &edit);
        EXPECT_EQ(1, edit) << edge;
    }
}

TEST(InputColumn, PointsBelowTheLastItemOrAboveTheFirstNameNoItem)
{
    EXPECT_EQ(0, item_under_point(0, 3));
    EXPECT_EQ(2, item_under_point(83, 3));
    EXPECT_EQ(-1, item_under_point(84, 3));
    EXPECT_EQ(-1, item_under_point(-1, 3));
}
