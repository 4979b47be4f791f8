// Wrapping, scrolling and the echo cursor of text windows, as pure rules over a geometry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "textwin/text_layout.h"

namespace {

struct Drawn {
    std::wstring units;
    int x, y;
};

struct Recorder {
    std::vector<Drawn> runs;
    std::vector<ScrollStep> scrolls;
};

void record_run(void *context, const wchar_t *units, int count, int x, int y)
{
    ((Recorder *)context)->runs.push_back({std::wstring(units, count), x, y});
}

void record_scroll(void *context, const ScrollStep *step)
{
    ((Recorder *)context)->scrolls.push_back(*step);
}

// 10 cells of 8 x 16 pixels, 4 lines of room (a fifth line's bottom would touch the edge).
const TextGeometry kWindow = {80, 80, 8, 16};

void print(const std::wstring &text, TextCursor *cursor, Recorder *rec, const TextGeometry &g = kWindow)
{
    lay_out_print(text.c_str(), (int)text.size(), cursor, &g, record_run, record_scroll, rec);
}

}  // namespace

TEST(CharCells, AsciiAndHalfWidthKatakanaAreOneCellEverythingElseTwo)
{
    EXPECT_EQ(1, char_cells(L'a'));
    EXPECT_EQ(1, char_cells(0x7F));
    EXPECT_EQ(2, char_cells(0x80));
    EXPECT_EQ(2, char_cells(0xFF60));
    EXPECT_EQ(1, char_cells(0xFF61));
    EXPECT_EQ(1, char_cells(0xFF9F));
    EXPECT_EQ(2, char_cells(0xFFA0));
    EXPECT_EQ(2, char_cells(0x3042));
}

TEST(Print, TwoPrintsJoinOnOneLineAndEachRunIsDrawnWhereItStarted)
{
    TextCursor c = {0, 0};
    Recorder rec;
    print(L"abc", &c, &rec);
    EXPECT_EQ(24, c.x);
    print(L"def\n", &c, &rec);
    ASSERT_EQ(2u, rec.runs.size());
    EXPECT_EQ(L"abc", rec.runs[0].units);
    EXPECT_EQ(0, rec.runs[0].x);
    EXPECT_EQ(L"def", rec.runs[1].units);
    EXPECT_EQ(24, rec.runs[1].x);
    EXPECT_EQ(0, rec.runs[1].y);
    EXPECT_EQ(0, c.x);
    EXPECT_EQ(16, c.y);
    EXPECT_TRUE(rec.scrolls.empty());
}

TEST(Print, FitIsStrictAndLongTextContinuesAtTheLeft)
{
    TextCursor c = {0, 0};
    Recorder rec;
    print(L"0123456789", &c, &rec);  // right edge exactly on the width: still fits
    ASSERT_EQ(1u, rec.runs.size());
    EXPECT_EQ(80, c.x);
    EXPECT_EQ(0, c.y);

    print(L"ab", &c, &rec);  // one pixel more wraps, the run starts the next line
    ASSERT_EQ(2u, rec.runs.size());
    EXPECT_EQ(L"ab", rec.runs[1].units);
    EXPECT_EQ(0, rec.runs[1].x);
    EXPECT_EQ(16, rec.runs[1].y);
    EXPECT_EQ(16, c.x);
}

TEST(Print, TwoCellCharacterThatDoesNotFitMovesWhole)
{
    TextCursor c = {0, 0};
    Recorder rec;
    std::wstring text = L"123456789";
    text += wchar_t(0x3042);
    print(text, &c, &rec);
    ASSERT_EQ(2u, rec.runs.size());
    EXPECT_EQ(L"123456789", rec.runs[0].units);
    EXPECT_EQ(std::wstring(1, wchar_t(0x3042)), rec.runs[1].units);
    EXPECT_EQ(0, rec.runs[1].x);
    EXPECT_EQ(16, rec.runs[1].y);
    EXPECT_EQ(16, c.x);
}

TEST(LineFeed, ScrollsWhenTheNewLineWouldTouchTheBottomEdge)
{
    int y = 48;  // line 4 of kWindow: bottom at 64, clear of 80
    EXPECT_FALSE(line_feed_rule(&y, &kWindow).scrolled);
    EXPECT_EQ(48, y);

    y = 64;  // bottom would be exactly 80
    ScrollStep s = line_feed_rule(&y, &kWindow);
    EXPECT_TRUE(s.scrolled);
    EXPECT_EQ(48, s.copy_height);
    EXPECT_EQ(48, y);
    EXPECT_EQ(48, s.fill_y);
}

TEST(Print, WindowNarrowerThanOneCellPutsEachCharacterOnItsOwnLine)
{
    TextGeometry tiny = {4, 200, 8, 16};
    TextCursor c = {0, 0};
    Recorder rec;
    print(L"abc", &c, &rec, tiny);
    ASSERT_EQ(3u, rec.runs.size());
    EXPECT_EQ(16, rec.runs[0].y) << "even the first character wraps";
    EXPECT_EQ(48, rec.runs[2].y);
}

TEST(Echo, WrapsOneCellEarlierThanPrintAndBackspaceReturnsAcrossTheWrap)
{
    EchoCursor c = {};
    EchoTyped t;
    for (int i = 0; i < 9; i++) echo_type(&c, 1, &kWindow, &t);
    EXPECT_FALSE(t.wrapped) << "nine cells and the cursor cell fill the line";
    EXPECT_EQ(72, c.x);
    echo_type(&c, 1, &kWindow, &t);  // the tenth, which print would still fit, ends the line
    EXPECT_TRUE(t.wrapped);
    EXPECT_EQ(72, t.draw_x);
    EXPECT_EQ(0, c.x);
    EXPECT_EQ(16, c.y);
    EXPECT_EQ(1, c.wraps);
    EXPECT_EQ(72, c.saved_x[1]);

    EchoErased e;
    echo_erase(&c, 1, &kWindow, &e);
    EXPECT_EQ(0, e.blank_x);
    EXPECT_EQ(16, e.blank_y);
    EXPECT_EQ(72, c.x);
    EXPECT_EQ(0, c.y);
    EXPECT_EQ(0, c.wraps);
}

TEST(Echo, TwoCellCharacterMovesWholeAndBackspacePutsTheCursorBack)
{
    EchoCursor c = {};
    c.x = 72;  // one cell left before the edge of 80
    EchoTyped t;
    echo_type(&c, 2, &kWindow, &t);
    EXPECT_TRUE(t.moved);
    EXPECT_EQ(72, t.blank_x);
    EXPECT_EQ(0, t.draw_x);
    EXPECT_EQ(16, t.draw_y);
    EXPECT_EQ(16, c.x);
    EXPECT_EQ(88, c.saved_x[1]) << "its would-be end marks the move";

    EchoErased e;
    echo_erase(&c, 2, &kWindow, &e);
    EXPECT_TRUE(e.wide);
    EXPECT_EQ(0, e.wide_x);
    EXPECT_EQ(16, e.wide_y);
    EXPECT_EQ(72, c.x);
    EXPECT_EQ(0, c.y);
    EXPECT_EQ(0, c.wraps);
}

TEST(Echo, TwoCellCharacterEndingALineIsErasedWhereItStood)
{
    EchoCursor c = {};
    c.x = 64;  // fits whole (64 + 16 <= 80) but leaves no cursor cell
    EchoTyped t;
    echo_type(&c, 2, &kWindow, &t);
    EXPECT_FALSE(t.moved);
    EXPECT_TRUE(t.wrapped);
    EchoErased e;
    echo_erase(&c, 2, &kWindow, &e);
    EXPECT_EQ(64, e.wide_x);
    EXPECT_EQ(0, e.wide_y);
    EXPECT_EQ(64, c.x);
    EXPECT_EQ(0, c.wraps);
}

TEST(Echo, WrapsScrollAtTheBottomAndTheSavedStackStaysBounded)
{
    TextGeometry narrow = {20, 64, 8, 16};  // every character wraps; a two-cell one wraps twice
    EchoCursor c = {};
    EchoTyped t;
    int scrolls = 0;
    for (int i = 0; i < KAV_INPUT_UNITS; i++) {
        c.x = 8;
        echo_type(&c, 2, &narrow, &t);
        scrolls += t.before.scrolled + t.after.scrolled;
    }
    EXPECT_EQ(KAV_ECHO_WRAPS, c.wraps);
    EXPECT_GT(scrolls, 0);
    EXPECT_LT(c.y + 16, 64 + 1);
}

TEST(Echo, BackspaceNeverLeavesTheBufferWhenTheLineHasScrolledOffTheTop)
{
    // Six wraps in a window of four lines: the first two lines scroll off the top.
    EchoCursor c = {};
    EchoTyped t;
    for (int i = 0; i < 60; i++) echo_type(&c, 1, &kWindow, &t);
    EXPECT_EQ(6, c.wraps);
    EXPECT_EQ(48, c.y);
    EchoErased e;
    for (int i = 0; i < 60; i++) {
        echo_erase(&c, 1, &kWindow, &e);
        ASSERT_GE(c.x, 0) << "after " << i + 1 << " backspaces";
        ASSERT_GE(c.y, 0) << "after " << i + 1 << " backspaces";
    }
    EXPECT_EQ(0, c.x);
    EXPECT_EQ(0, c.y);
    EXPECT_EQ(0, c.wraps);

    // A two-cell character erased at the top left (its line was cleared by a resize).
    c = EchoCursor{};
    echo_erase(&c, 2, &kWindow, &e);
    EXPECT_EQ(0, c.x);
    EXPECT_EQ(0, e.wide_x);
}

TEST(Echo, TypingAfterAPrintedLineThatFillsTheWidthStartsTheNextLine)
{
    // A prompt of exactly ten cells leaves the cursor at the right edge, with no room for a
    // cell: the first typed character must move to the next line, not be drawn off the buffer.
    Recorder rec;
    TextCursor cursor = {0, 0};
    print(L"0123456789", &cursor, &rec);
    ASSERT_EQ(80, cursor.x);
    EchoCursor c = {};
    c.x = cursor.x;
    EchoTyped t;
    echo_type(&c, 1, &kWindow, &t);
    EXPECT_EQ(1, t.moved);
    EXPECT_EQ(0, t.draw_x);
    EXPECT_EQ(16, t.draw_y);
    EXPECT_EQ(8, c.x);
    EchoErased e;
    echo_erase(&c, 1, &kWindow, &e);  // back to the end of the prompt
    EXPECT_EQ(80, c.x);
    EXPECT_EQ(0, c.y);
    EXPECT_EQ(0, c.wraps);
}

TEST(Echo, BackspaceAcrossAWrapOfAWiderBufferStaysInsideTheNarrowerOne)
{
    // Typed to the end of a line, then the window narrowed (the buffer cleared, the cursor at
    // the top left): stepping back across the old wrap must not put the cursor past the edge.
    EchoCursor c = {};
    EchoTyped t;
    for (int i = 0; i < 10; i++) echo_type(&c, 1, &kWindow, &t);
    ASSERT_EQ(1, c.wraps);
    const TextGeometry narrow = {40, 80, 8, 16};
    c.x = 0;
    c.y = 0;
    EchoErased e;
    echo_erase(&c, 1, &narrow, &e);
    EXPECT_EQ(32, c.x);
    EXPECT_EQ(0, c.y);
}
