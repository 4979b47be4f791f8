// Printing that draws only the runs still visible at its end must leave exactly the buffer that
// drawing every run leaves: checked on a pixel model of the buffer over random texts and sizes.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "textwin/text_layout.h"

namespace {

// A buffer of width x height "pixels"; a run paints the code of each unit over its cells, and a
// scroll does what the window's BitBlt and PatBlt do. Counts the runs drawn.
struct Model {
    TextGeometry g;
    std::vector<unsigned> px;
    int runs = 0;
};

void paint_run(void *context, const wchar_t *units, int count, int x, int y)
{
    Model *m = (Model *)context;
    m->runs++;
    for (int i = 0; i < count; i++) {
        int w = char_cells((unsigned)units[i]) * m->g.char_width;
        for (int row = y; row < y + m->g.char_height; row++)
            for (int col = x; col < x + w; col++)
                if (row >= 0 && row < m->g.height && col >= 0 && col < m->g.width)
                    m->px[(size_t)row * m->g.width + col] = (unsigned)units[i];
        x += w;
    }
}

void scroll_model(void *context, const ScrollStep *step)
{
    Model *m = (Model *)context;
    const int w = m->g.width, ch = m->g.char_height;
    for (int row = 0; row < step->copy_height; row++)
        for (int col = 0; col < w; col++)
            if (row + ch < m->g.height) m->px[(size_t)row * w + col] = m->px[(size_t)(row + ch) * w + col];
    for (int row = step->fill_y < 0 ? 0 : step->fill_y; row < m->g.height; row++)
        for (int col = 0; col < w; col++) m->px[(size_t)row * w + col] = 0;
}

std::wstring random_text(std::mt19937 &rng)
{
    static const wchar_t kinds[] = {L'a', L'b', L'\n', L'\n', 0x3042, 0xFF71, L'\r', L'\t', L'z'};
    int length = (int)(rng() % 240);
    std::wstring text;
    for (int i = 0; i < length; i++) text += kinds[rng() % (sizeof kinds / sizeof kinds[0])];
    return text;
}

}  // namespace

TEST(VisiblePrint, LeavesTheSameBufferAsDrawingEveryRun)
{
    // Heights that are and are not whole lines, one line or less of room, a window narrower
    // than a two-cell character.
    const TextGeometry sizes[] = {{80, 80, 8, 16}, {83, 71, 8, 16}, {40, 17, 8, 16}, {40, 9, 8, 16}, {12, 50, 8, 10}};
    std::mt19937 rng(7);
    for (const TextGeometry &g : sizes) {
        Model all{g, std::vector<unsigned>((size_t)g.width * g.height, 0)};
        Model visible{g, std::vector<unsigned>((size_t)g.width * g.height, 0)};
        TextCursor a = {0, 0}, b = {0, 0};
        for (int print = 0; print < 120; print++) {
            std::wstring text = random_text(rng);
            lay_out_print(text.c_str(), (int)text.size(), &a, &g, paint_run, scroll_model, &all);
            lay_out_visible_print(text.c_str(), (int)text.size(), &b, &g, paint_run, scroll_model, &visible);
            ASSERT_EQ(a.x, b.x);
            ASSERT_EQ(a.y, b.y);
            ASSERT_TRUE(all.px == visible.px) << "size " << g.width << " x " << g.height << ", print " << print;
        }
        EXPECT_LT(visible.runs, all.runs) << "runs that scroll away are not drawn";
    }
}

TEST(VisiblePrint, AManyLinePrintDrawsOnlyTheLinesThatStay)
{
    const TextGeometry g = {80, 80, 8, 16};  // four lines of room
    Model m{g, std::vector<unsigned>((size_t)g.width * g.height, 0)};
    std::wstring text;
    for (int i = 0; i < 100; i++) text += L"line\n";
    TextCursor c = {0, 0};
    lay_out_visible_print(text.c_str(), (int)text.size(), &c, &g, paint_run, scroll_model, &m);
    EXPECT_EQ(3, m.runs) << "the three lines above the cursor's empty line";
    EXPECT_EQ(48, c.y);
}

TEST(BackBufferRows, ASpareAreaWithinThePixelLimitAndNoOverflow)
{
    EXPECT_EQ(480 + 480 * KAV_SPARE_SCREENS, back_buffer_rows(640, 480));
    EXPECT_EQ(100 + KAV_SPARE_PIXELS / 100000, back_buffer_rows(100000, 100)) << "a very wide window gets less";
    EXPECT_EQ(0, back_buffer_rows(640, 0));
    EXPECT_EQ(5, back_buffer_rows(0, 5));
    EXPECT_EQ(INT_MAX, back_buffer_rows(1, INT_MAX));
    EXPECT_EQ(INT_MAX - KAV_SPARE_PIXELS + 1, back_buffer_rows(1 << 30, INT_MAX - KAV_SPARE_PIXELS + 1));
    EXPECT_FALSE(view_can_move(INT_MAX - 5, 11, 480, INT_MAX)) << "no overflow past the last row";
    EXPECT_TRUE(view_can_move(469, 11, 480, 960));
    EXPECT_FALSE(view_can_move(470, 11, 480, 960));
}
