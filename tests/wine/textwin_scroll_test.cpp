// Text windows that scroll a long way: the buffer must hold exactly the last lines however the
// output was cut into prints, a resize must start clean after scrolling, and a quick flood of
// prints must end up on the screen once the program waits, not only in the back buffer.
#include "textwin_helpers.h"

#include <string>

using namespace kavtest;
using namespace twtest;

namespace {

// Line i of the tests: different on every row, so a lost, doubled or misplaced line shows.
std::string line_text(int i) { return "row " + std::to_string(i) + " " + std::string(1 + i % 17, (char)('a' + i % 26)); }

std::wstring wide(const std::string &s) { return std::wstring(s.begin(), s.end()); }

// The last rows lines of the first count, for rendered_lines.
std::vector<std::wstring> last_lines(int count, int rows)
{
    std::vector<std::wstring> lines;
    for (int i = count - rows; i < count; i++) lines.push_back(wide(line_text(i)));
    return lines;
}

// The window's client area as it was painted, read through the window's own DC.
std::vector<uint32_t> painted(HWND hwnd, int width, int height)
{
    PixelCanvas c = make_canvas(width, height);
    HDC dc = GetDC(hwnd);
    BitBlt(c.dc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
    return take_pixels(c);
}

}  // namespace

// Heights that are and are not a whole number of lines; lines printed one per print, in
// blocks, and in pieces that end mid-line, over hundreds of scrolling line feeds.
TEST(TextScroll, TheBufferHoldsExactlyTheLastLinesAfterLongOutput)
{
    const int heights[3] = {203, 240, 31};
    for (int height : heights) {
        close_all();
        on_worker([height] { KAV_OpenTextWindow(6, 0, 0, 300, height); });
        TextWindowEntry e = entry(6);
        ASSERT_EQ(height, e.height);
        int printed = 0;
        on_worker([&] {
            for (; printed < 700; printed++) KAV_Printf("%s\n", line_text(printed).c_str());
            for (int block = 0; block < 5; block++) {
                std::string text;
                for (int i = 0; i < 37; i++) text += line_text(printed++) + "\n";
                KAV_Printf("%s", text.c_str());
            }
            for (int i = 0; i < 90; i++) {
                std::string s = line_text(printed++);
                KAV_Printf("%s", s.substr(0, 3).c_str());
                KAV_Printf("%s\n", s.substr(3).c_str());
            }
        });
        e = entry(6);
        ASSERT_EQ(0, e.cursor_x);
        ASSERT_LT(e.cursor_y + e.char_height - 1, e.height) << "height " << height;
        int rows = e.cursor_y / e.char_height;
        std::vector<uint32_t> px, want;
        on_worker([&] {
            px = back_buffer(6);
            want = rendered_lines(6, last_lines(printed, rows));
        });
        ASSERT_EQ(want.size(), px.size());
        EXPECT_TRUE(want == px) << "height " << height << ": the last " << rows << " lines, whole and in order";
    }

    // A resize after all that scrolling gives a black buffer and output from the top again.
    on_worker([] { SetWindowPos(text_window_handle(6), NULL, 0, 0, 280, 260, SWP_NOMOVE | SWP_NOZORDER); });
    TextWindowEntry e = entry(6);
    std::vector<uint32_t> px, want;
    on_worker([&] {
        KAV_Printf("%s\n%s\n", line_text(0).c_str(), line_text(1).c_str());
        px = back_buffer(6);
        want = rendered_lines(6, last_lines(2, 2));
    });
    EXPECT_EQ(2 * e.char_height, entry(6).cursor_y);
    EXPECT_TRUE(want == px) << "two lines from the top of a clean buffer";
    close_all();
}

// Line input echoes into a buffer that has scrolled: the echo and the line after it land where
// printing put the cursor.
TEST(TextScroll, LineInputEchoesAtTheCursorOfAScrolledBuffer)
{
    close_all();
    on_worker([] {
        KAV_OpenTextWindow(6, 0, 0, 300, 150);
        for (int i = 0; i < 400; i++) KAV_Printf("%s\n", line_text(i).c_str());
        KAV_Printf("%s", line_text(400).c_str());
    });
    HWND hwnd = text_window_handle(6);
    on_worker_async([] {
        char line[KAV_LINE_BYTES];
        KAV_InputText(line);
        KAV_Printf("%s\n", line_text(401).c_str());
    });
    ASSERT_TRUE(wait_until([] { return line_input_window != 0; }));
    for (wchar_t c : std::wstring(L"402\r")) PostMessageW(hwnd, WM_CHAR, c, 0);
    ASSERT_TRUE(wait_worker(10000));

    TextWindowEntry e = entry(6);
    int rows = e.cursor_y / e.char_height;
    std::vector<std::wstring> lines = last_lines(401, rows - 1);
    lines.back() += L"402";  // the echo follows the prompt on its line
    lines.push_back(wide(line_text(401)));
    std::vector<uint32_t> px, want;
    on_worker([&] {
        px = back_buffer(6);
        want = rendered_lines(6, lines);
    });
    EXPECT_TRUE(want == px) << "prompt, echo and the next line in place";
    close_all();
}

// Prints that follow one another closely are shown together a little later; once the program
// waits for messages the window must show the last of them.
TEST(TextScroll, AFloodOfPrintsEndsUpOnTheScreen)
{
    close_all();
    std::vector<uint32_t> px, shown;
    int width = 0, height = 0;
    on_worker([&] {
        KAV_OpenTextWindow(6, 0, 0, 320, 200);
        for (int i = 0; i < 500; i++) KAV_Printf("%s\n", line_text(i).c_str());
        HWND hwnd = text_window_handle(6);
        TextWindowEntry e = entry(6);
        width = e.width;
        height = e.height;
        px = back_buffer(6);
        for (int waits = 0; waits < 200; waits++) {
            KAV_WaitMessage();
            KAV_PumpMessages();
            shown = painted(hwnd, width, height);
            if (shown == px) break;
        }
    });
    ASSERT_EQ((size_t)width * height, px.size());
    EXPECT_TRUE(shown == px) << "the window shows the back buffer";
    close_all();
}
