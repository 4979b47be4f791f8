#include <gtest/gtest.h>

#include "core/edge_snap.h"

static const KAV_Rect kArea = {0, 0, 1280, 1000};

static KAV_PlacementList list_with(std::initializer_list<KAV_Rect> windows)
{
    static KAV_PlacementList list;
    placement_begin(&list, kArea);
    for (const KAV_Rect &w : windows) placement_append(&list, w);
    return list;
}

static KAV_Rect snapped(const KAV_PlacementList &list, KAV_Rect current, KAV_Rect proposed)
{
    snap_rectangle(&list, current, &proposed);
    return proposed;
}

TEST(EdgeSnap, LeftEdgeMeetsARightEdgeWithinSevenPixelsOnly)
{
    KAV_PlacementList list = list_with({{100, 100, 400, 400}});
    KAV_Rect moving = {600, 600, 800, 700};
    KAV_Rect r = snapped(list, moving, {407, 150, 607, 250});
    EXPECT_EQ(400, r.left);
    EXPECT_EQ(600, r.right) << "the size is kept";
    EXPECT_EQ(150, r.top) << "tops 50 apart are not aligned";
    r = snapped(list, moving, {408, 150, 608, 250});
    EXPECT_EQ(408, r.left);
}

TEST(EdgeSnap, SideBySideThenTopsAlignWhenTheRangesOverlapped)
{
    KAV_PlacementList list = list_with({{100, 100, 400, 400}});
    KAV_Rect r = snapped(list, {0, 0, 1, 1}, {397, 105, 597, 205});
    EXPECT_EQ(400, r.left);
    EXPECT_EQ(100, r.top);
    EXPECT_EQ(200, r.bottom);
    r = snapped(list, {0, 0, 1, 1}, {403, 105, 603, 205});  // touching only after the snap
    EXPECT_EQ(400, r.left);
    EXPECT_EQ(105, r.top);
}

TEST(EdgeSnap, WorkAreaWallsCatchTheEdges)
{
    KAV_PlacementList list = list_with({});
    KAV_Rect r = snapped(list, {0, 0, 1, 1}, {5, 300, 205, 400});
    EXPECT_EQ(0, r.left);
    r = snapped(list, {0, 0, 1, 1}, {500, 994, 700, 1004});
    EXPECT_EQ(1000, r.bottom) << "the bottom edge onto the work area's bottom";
}

TEST(EdgeSnap, StackedWindowsAlignTheirLefts)
{
    KAV_PlacementList list = list_with({{100, 100, 400, 400}});
    KAV_Rect r = snapped(list, {0, 0, 1, 1}, {104, 397, 304, 497});
    EXPECT_EQ(400, r.top);
    EXPECT_EQ(100, r.left);
}

TEST(EdgeSnap, NeverSnapsToItsOwnRecordedRectangle)
{
    KAV_Rect self = {300, 300, 500, 500};
    KAV_PlacementList list = list_with({self});
    KAV_Rect r = snapped(list, self, {303, 303, 503, 503});
    EXPECT_EQ(303, r.left);
    EXPECT_EQ(303, r.top);
}

TEST(EdgeSnap, AFullListDropsFurtherWindows)
{
    static KAV_PlacementList list;
    placement_begin(&list, kArea);
    for (int i = 0; i < 2 * KAV_PLACEMENT_ENTRIES; i++) placement_append(&list, {i, i, i + 1, i + 1});
    EXPECT_EQ(KAV_PLACEMENT_ENTRIES, list.count);
}
