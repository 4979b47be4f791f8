// Zoom fitting, size limits and strides of image windows.
#include <gtest/gtest.h>

#include "imagewin/zoom_fit.h"

static ScreenMetrics full_hd(void)
{
    ScreenMetrics m;
    m.cx_min = 112;
    m.cy_min = 40;
    m.cx_frame = 4;
    m.cy_caption = 23;
    m.cx_screen = 1920;
    m.cy_screen = 1080;
    return m;
}

TEST(SizeLimits, NormalAndLargeWindows)
{
    SizeLimits normal = size_limits_for(1, full_hd());
    EXPECT_EQ(104, normal.min_width);
    EXPECT_EQ(40 - 8 - 23, normal.min_height);
    EXPECT_EQ(1920, normal.max_width);
    EXPECT_EQ(1080 - 23, normal.max_height);
    SizeLimits large = size_limits_for(0, full_hd());
    EXPECT_EQ(1, large.min_width);
    EXPECT_EQ(1, large.min_height);
    EXPECT_EQ(3840, large.max_width);
    EXPECT_EQ(2160, large.max_height);
    ScreenMetrics low = full_hd();
    low.cy_min = 20;  // minimum client height would be negative
    EXPECT_EQ(1, size_limits_for(1, low).min_height);
}

TEST(FitZoom, KeepsAZoomThatFitsAndLowersOneThatDoesNot)
{
    SizeLimits l = size_limits_for(1, full_hd());
    ZoomFit f;
    ASSERT_EQ(0, fit_zoom(640, 480, 100, l, &f));
    EXPECT_EQ(100, f.zoom);
    EXPECT_EQ(640, f.view_width);
    EXPECT_EQ(480, f.view_height);

    // 400 % is lowered to the largest whole percent where 480 * z / 100 <= 1057.
    ASSERT_EQ(0, fit_zoom(640, 480, 400, l, &f));
    EXPECT_EQ(220, f.zoom);
    EXPECT_EQ(1408, f.view_width);
    EXPECT_EQ(1056, f.view_height);

    ASSERT_EQ(0, fit_zoom(640, 480, 50, l, &f));
    EXPECT_EQ(50, f.zoom);
    EXPECT_EQ(320, f.view_width);
    EXPECT_EQ(240, f.view_height);
}

TEST(FitZoom, RaisesTinyImagesToTheMinimumClientSize)
{
    SizeLimits l = size_limits_for(1, full_hd());
    ZoomFit f;
    ASSERT_EQ(0, fit_zoom(1, 1, 100, l, &f));
    EXPECT_EQ(10400, f.zoom);
    EXPECT_EQ(104, f.view_width);
    EXPECT_EQ(104, f.view_height);
    // A zoom of 0 or less behaves as the smallest client size, then is raised the same way.
    ASSERT_EQ(0, fit_zoom(1, 1, 0, l, &f));
    EXPECT_EQ(10400, f.zoom);
    ASSERT_EQ(0, fit_zoom(3, 2, -50, l, &f));
    EXPECT_GE(f.view_width, l.min_width);
    EXPECT_GE(f.view_height, l.min_height);
}

TEST(FitZoom, RefusesWhatCannotBeShown)
{
    ZoomFit f = {7, 7, 7};
    EXPECT_EQ(2, fit_zoom(10000, 1, 100, size_limits_for(1, full_hd()), &f));
    EXPECT_EQ(7, f.zoom) << "nothing stored on failure";
    // The large kind allows one pixel high, up to twice the screen wide.
    ASSERT_EQ(0, fit_zoom(3000, 1, 100, size_limits_for(0, full_hd()), &f));
    EXPECT_EQ(100, f.zoom);
    EXPECT_EQ(3000, f.view_width);
    EXPECT_EQ(1, f.view_height);
    EXPECT_EQ(2, fit_zoom(10000, 1, 100, size_limits_for(0, full_hd()), &f));
    // Extreme sizes and zooms never overflow into a wrong answer.
    EXPECT_EQ(2, fit_zoom(2000000000, 1, 2000000000, size_limits_for(1, full_hd()), &f));
    ASSERT_EQ(0, fit_zoom(640, 480, 2000000000, size_limits_for(1, full_hd()), &f));
    EXPECT_EQ(220, f.zoom);
}

TEST(RowStride, EightBitRowsArePaddedToFourBytes)
{
    EXPECT_EQ(8, image_row_stride(5, 8));
    EXPECT_EQ(4, image_row_stride(4, 8));
    EXPECT_EQ(4, image_row_stride(1, 8));
    EXPECT_EQ(20, image_row_stride(5, 32));
    EXPECT_EQ(4LL * 2000000000, image_row_stride(2000000000, 32));
}
