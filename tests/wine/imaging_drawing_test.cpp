// Drawing on real image windows: the primitives on the current window (and on a free one)
// and TrueType text through GDI on the memory DC.
#include "imaging_helpers.h"

#include <string>

using namespace kavtest;
using namespace imgtest;

TEST(Drawing, PrimitivesReachTheCurrentWindowAndSkipAFreeOne)
{
    destroy_all();
    uint32_t line_end = 0, box_inside = 0, painted = 0, outside = 0;
    bool free_untouched = false;
    int long_text_rows = 0;
    on_worker([&] {
        KAV_CreateImage8(3, "draw", 0, 0, 30, 20, 100);
        draw_line(0x123456, 0, 0, 29, 19);
        line_end = pixel_of(3, 29, 19);
        drawing_colour = 0xABCDEF;
        fill_box(5, 5, 8, 8);
        box_inside = pixel_of(3, 6, 7);
        draw_box(0, 10, 29, 19);  // splits the picture; paint the lower left part
        drawing_colour = 0x000077;
        paint(1, 18);
        painted = pixel_of(3, 1, 11);
        outside = pixel_of(3, 1, 2);
        std::vector<uint32_t> before = picture_of(3);
        KAV_CreateImage(4, "gone", 0, 0, 10, 10, 100);
        KAV_DestroyImage(4);  // the current window is now free
        draw_line(1, 0, 0, 9, 9);
        fill_circle(5, 5, 4);
        paint(2, 2);
        draw_string("free");
        free_untouched = before == picture_of(3);
        // With no window every character wraps: the baseline counts the characters drawn.
        text_cursor = {0, 0};
        draw_printf("%s", std::string(5000, 'x').c_str());
        long_text_rows = text_cursor.y / 16;
    });
    EXPECT_EQ(0x56u, line_end);
    EXPECT_EQ(0xEFu, box_inside);
    EXPECT_EQ(0x77u, painted);
    EXPECT_EQ(0u, outside);
    EXPECT_TRUE(free_untouched);
    EXPECT_EQ(4095, long_text_rows) << "text beyond the format buffer is cut";
    destroy_all();
}

TEST(TrueTypeText, NewlinesLeadBytesAndTheFontCell)
{
    destroy_all();
    PointSet second_line, alone, ab, ab_lead;
    KAV_Point after_ab = {}, after_lead = {}, at_bottom = {};
    LOGFONTW styled = {}, plain = {};
    int result = -1;
    on_worker([&] {
        KAV_CreateImage(5, "text", 0, 0, 200, 80, 100);
        KAV_CreateImage(6, "alone", 0, 0, 200, 80, 100);
        result = create_font(16, 16);
        kav_tttc = 0xFFFFFF;
        KAV_SelectImage(5);
        text_left_margin = 10;
        text_cursor = {30, 30};
        draw_truetype_text("AB\nC");
        second_line = lit_pixels(5, 31);  // A and B stand on rows 15..30
        KAV_SelectImage(6);
        text_cursor = {10, 46};
        draw_truetype_char('C');
        alone = lit_pixels(6, 0);

        KAV_SelectImage(5);
        KAV_ClearImage(5);
        text_cursor = {30, 30};
        draw_truetype_text("AB");
        after_ab = text_cursor;
        ab = lit_pixels(5, 0);
        KAV_ClearImage(5);
        text_cursor = {30, 30};
        draw_truetype_text("AB\x82");  // a lone lead byte ends the walk
        after_lead = text_cursor;
        ab_lead = lit_pixels(5, 0);

        text_cursor = {0, INT32_MAX - 4};
        draw_truetype_char('\n');  // far down the page a newline stays at the last row
        at_bottom = text_cursor;

        draw_truetype_text("\x03\x01");  // bold, italic: the font is replaced
        GetObjectW(truetype_font, sizeof styled, &styled);
        draw_truetype_text("\x04\x02");
        GetObjectW(truetype_font, sizeof plain, &plain);
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ(8, font_cell_width);
    ASSERT_FALSE(alone.empty()) << "the character was drawn";
    EXPECT_EQ(alone, second_line) << "C at the left margin one cell lower";
    EXPECT_GT(after_ab.x, 30 + 8);
    ASSERT_FALSE(ab.empty());
    EXPECT_EQ(ab, ab_lead);
    EXPECT_EQ(after_ab.x, after_lead.x);
    EXPECT_EQ(after_ab.y, after_lead.y);
    EXPECT_EQ(INT32_MAX, at_bottom.y);
    EXPECT_EQ(FW_BOLD, styled.lfWeight);
    EXPECT_TRUE(styled.lfItalic);
    EXPECT_EQ(FW_NORMAL, plain.lfWeight);
    EXPECT_FALSE(plain.lfItalic);
    EXPECT_EQ(16, plain.lfHeight) << "the size made by create_font stays";
    destroy_all();
}
