// Geometry rules of the Button box grid and the Input box column.
#include <gtest/gtest.h>

#include "boxes/box_layout.h"

TEST(ButtonGrid, RefusesEmptyOverlargeAndOverflowingGrids)
{
    EXPECT_TRUE(button_grid_valid(16, 16));
    EXPECT_TRUE(button_grid_valid(256, 1));
    EXPECT_FALSE(button_grid_valid(17, 16));
    EXPECT_FALSE(button_grid_valid(0, 5));
    EXPECT_FALSE(button_grid_valid(-1, 3));
    EXPECT_FALSE(button_grid_valid(-16, -16)) << "a positive product of two negatives";
    EXPECT_FALSE(button_grid_valid(65536, 65536)) << "a product that overflows int";
}

TEST(ButtonGrid, SizeFromClientAndPointsOutsideTheGrid)
{
    EXPECT_EQ(98, button_side_from_client(310, 3));
    EXPECT_EQ(0, button_side_from_client(10, 3)) << "too small a box gives width 0";
    EXPECT_EQ(1, button_side_from_client(-50, 1));
    EXPECT_EQ(0, button_under_point(-20, -5, 3, 2, 98, 26));
    EXPECT_EQ(5, button_under_point(5000, 5000, 3, 2, 98, 26));
    EXPECT_EQ(2, button_under_point(9, 0, 3, 2, 0, 0)) << "width-0 buttons: a column every 4 pixels";
}

TEST(InputColumn, LeftBordersResizeLabelsOtherBordersTheFieldsNeverBelowOnePixel)
{
    for (int edge = 0; edge <= 8; edge++) {
        bool left = edge == 1 || edge == 4 || edge == 7;
        int label = 80, edit = 70;
        input_widths_after_size(edge, 200, &label, &edit);
        EXPECT_EQ(left ? 118 : 80, label) << edge;
        EXPECT_EQ(left ? 70 : 108, edit) << edge;
        input_widths_after_size(edge, 20, &label, &edit);
        EXPECT_EQ(1, left ? label : edit) << edge;
    }
}

TEST(InputColumn, PointsOutsideTheItemsNameNoItem)
{
    EXPECT_EQ(2, item_under_point(83, 3));
    EXPECT_EQ(-1, item_under_point(84, 3));
    EXPECT_EQ(-1, item_under_point(-1, 3));
    EXPECT_EQ(30, clamp_item_count(45));
    EXPECT_EQ(1, clamp_item_count(0));
}
