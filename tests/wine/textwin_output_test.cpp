// Text windows in a live process: the table, output into the back buffer, wrapping, scrolling,
// resizing and the colour stack, checked by reading the buffer's pixels.
#include "textwin_helpers.h"

#include <atomic>

using namespace kavtest;
using namespace twtest;

TEST(TextTable, OpenSelectCloseAndTheCurrentWindow)
{
    close_all();
    int results[8] = {};
    on_worker([&] {
        results[0] = KAV_OpenTextWindow(1, 10, 10, 200, 100);
        results[1] = KAV_OpenTextWindow(5, 30, 30, 200, 100);
        results[2] = KAV_OpenTextWindow(3, 50, 50, 200, 100);
        results[3] = KAV_OpenTextWindow(1, 0, 0, 50, 50);   // exists: fronted, made current
        results[4] = KAV_OpenTextWindow(256, 0, 0, 50, 50);  // refused, never indexed
        results[5] = KAV_OpenTextWindow(-1, 0, 0, 50, 50);
        results[6] = KAV_SelectTextWindow(300);
        results[7] = KAV_SelectTextWindow(4);
    });
    EXPECT_EQ(0, results[0]);
    EXPECT_EQ(0, results[1]);
    EXPECT_EQ(0, results[2]);
    EXPECT_EQ(1, results[3]);
    EXPECT_EQ(1, results[4]);
    EXPECT_EQ(1, results[5]);
    EXPECT_EQ(1, results[6]);
    EXPECT_EQ(1, results[7]);
    EXPECT_EQ(1, current_text_window.load());
    EXPECT_EQ(200, entry(1).width) << "the second open changed nothing";

    wchar_t caption[64];
    GetWindowTextW(text_window_handle(5), caption, 64);
    EXPECT_STREQ(L"TextWindow 5", caption);
    RECT r;
    GetClientRect(text_window_handle(5), &r);
    EXPECT_EQ(200, r.right);
    EXPECT_EQ(100, r.bottom);
    EXPECT_EQ(5, find_text_window(text_window_handle(5)));
    EXPECT_EQ(-1, find_text_window(main_window));

    on_worker([&] {
        results[0] = KAV_SelectTextWindow(3);
        results[1] = KAV_CloseTextWindow(3);
        results[2] = KAV_CloseTextWindow(3);
        results[3] = KAV_CloseTextWindow(256);
    });
    EXPECT_EQ(0, results[0]);
    EXPECT_EQ(0, results[1]);
    EXPECT_EQ(1, results[2]);
    EXPECT_EQ(1, results[3]);
    EXPECT_EQ(1, current_text_window.load()) << "the lowest live window becomes current";
    EXPECT_EQ(1, text_window_history[0]);
    EXPECT_TRUE(text_window_handle(3) == NULL);

    // Negative sizes give 400 x 300; a negative position lets the system place the window.
    on_worker([] { KAV_OpenTextWindow(7, -1, 40, -1, -1); });
    GetClientRect(text_window_handle(7), &r);
    EXPECT_EQ(400, r.right);
    EXPECT_EQ(300, r.bottom);
    EXPECT_TRUE(IsWindowVisible(text_window_handle(7)));

    on_worker([] { KAV_CloseTextWindow(7); });
    close_all();
    EXPECT_EQ(5, current_text_window.load()) << "closing 1 made 5 current; with none left the number stays";
    on_worker([] { KAV_Printf("nowhere %d\n", 1); });  // ignored without a live window
}

TEST(TextOutput, RunsJoinWrapStrictlyAndScrollByOneLine)
{
    close_all();
    on_worker([] { KAV_OpenTextWindow(2, 20, 20, 100, 100); });
    TextWindowEntry e = entry(2);
    const int cw = e.char_width, ch = e.char_height;
    ASSERT_GT(cw, 0);
    ASSERT_GT(ch, 0);

    // Exactly twenty cells wide, and three lines whose bottoms stay above the edge.
    RECT outer = {0, 0, 20 * cw, 3 * ch + 2};
    AdjustWindowRect(&outer, WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE);
    on_worker([&] {
        SetWindowPos(text_window_handle(2), NULL, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    });
    e = entry(2);
    ASSERT_EQ(20 * cw, e.width);
    ASSERT_EQ(3 * ch + 2, e.height);

    on_worker([] {
        KAV_PushTextColor(0xFF0000, 0);
        KAV_Printf("ab");
        KAV_Printf("c");
    });
    e = entry(2);
    EXPECT_EQ(3 * cw, e.cursor_x);
    EXPECT_EQ(0, e.cursor_y);
    on_worker([] { KAV_Printf("defghijklmnopqrst"); });  // the 20th cell ends exactly on the edge: still fits
    e = entry(2);
    EXPECT_EQ(20 * cw, e.cursor_x);
    EXPECT_EQ(0, e.cursor_y);

    on_worker([] {
        KAV_PopTextColor();
        KAV_PushTextColor(0x00FF00, 0);
        KAV_Printf("f\n");  // wraps to line 1 at x 0
        KAV_PopTextColor();
        KAV_PushTextColor(0x0000FF, 0);
        KAV_Printf("g\n");  // line 2; its line feed would put line 3's bottom past the edge
        KAV_PopTextColor();
    });
    e = entry(2);
    EXPECT_EQ(0, e.cursor_x);
    EXPECT_EQ(2 * ch, e.cursor_y) << "scrolled by exactly one line";

    std::vector<uint32_t> px;
    on_worker([&] { px = back_buffer(2); });
    ASSERT_EQ((size_t)(e.width * e.height), px.size());
    EXPECT_EQ(0, count_colour(px, e.width, 0, 0, e.width, e.height, 0xFF0000)) << "the red line scrolled off";
    EXPECT_GT(count_colour(px, e.width, 0, 0, cw, ch, 0x00FF00), 0) << "green f now on line 0";
    EXPECT_EQ(0, count_other_colours(px, e.width, 0, 0, cw, ch, 0x00FF00, 0)) << "no smoothing: green on black only";
    EXPECT_EQ(0, count_colour(px, e.width, cw, 0, e.width, e.height, 0x00FF00));
    EXPECT_GT(count_colour(px, e.width, 0, ch, cw, 2 * ch, 0x0000FF), 0) << "blue g on line 1";
    EXPECT_EQ(0, count_other_colours(px, e.width, 0, ch, cw, 2 * ch, 0x0000FF, 0));
    EXPECT_EQ(0, count_colour(px, e.width, 0, 2 * ch, e.width, e.height, 0x0000FF) +
                     count_colour(px, e.width, 0, 2 * ch, e.width, e.height, 0xFFFFFF)) << "the uncovered line is black";
    close_all();
}

TEST(TextOutput, ResizeClearsTheBufferAndKeepsTheColours)
{
    close_all();
    on_worker([] {
        KAV_OpenTextWindow(4, 40, 40, 200, 120);
        KAV_PushTextColor(0x00FFFF, 0x800000);
        KAV_Printf("some text\nmore");
    });
    on_worker([] { SetWindowPos(text_window_handle(4), NULL, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER); });
    TextWindowEntry e = entry(4);
    RECT client;
    GetClientRect(text_window_handle(4), &client);
    EXPECT_EQ(client.right, e.width);
    EXPECT_EQ(client.bottom, e.height);
    EXPECT_EQ(0, e.cursor_x);
    EXPECT_EQ(0, e.cursor_y);
    std::vector<uint32_t> px;
    on_worker([&] { px = back_buffer(4); });
    EXPECT_EQ((int)px.size(), count_colour(px, e.width, 0, 0, e.width, e.height, 0)) << "all black";

    on_worker([&] {
        KAV_Printf("x");
        px = back_buffer(4);
    });
    EXPECT_GT(count_colour(px, e.width, 0, 0, e.char_width, e.char_height, 0x800000), 0) << "old colours in force";
    EXPECT_GT(count_colour(px, e.width, 0, 0, e.char_width, e.char_height, 0x00FFFF), 0);
    EXPECT_EQ(0, count_other_colours(px, e.width, 0, 0, e.char_width, e.char_height, 0x00FFFF, 0x800000))
        << "the cell holds exactly the text and back colours";
    close_all();
}

TEST(TextOutput, MinimizingAndRestoringKeepsTheText)
{
    close_all();
    on_worker([] {
        KAV_OpenTextWindow(4, 40, 40, 200, 120);
        KAV_Printf("kept\nhalf");
    });
    TextWindowEntry before = entry(4);
    std::vector<uint32_t> px;
    on_worker([&] {
        ShowWindow(text_window_handle(4), SW_MINIMIZE);
        KAV_PumpMessages();
        ShowWindow(text_window_handle(4), SW_RESTORE);
        KAV_PumpMessages();
        px = back_buffer(4);
    });
    TextWindowEntry after = entry(4);
    EXPECT_EQ(before.cursor_x, after.cursor_x);
    EXPECT_EQ(before.cursor_y, after.cursor_y);
    EXPECT_EQ(200, after.width);
    EXPECT_GT(count_colour(px, after.width, 0, 0, after.width, after.char_height, 0xFFFFFF), 0) << "the first line";
    close_all();
}

TEST(TextOutput, OutputLongerThanTheBufferIsCutNotOverrun)
{
    close_all();
    std::string long_text(6000, 'x');
    std::string cut(4095, 'x');
    TextWindowEntry a, b;
    on_worker([&] {
        KAV_OpenTextWindow(8, 0, 0, 203, 100);
        KAV_Printf("%s", long_text.c_str());
        KAV_OpenTextWindow(9, 0, 0, 203, 100);
        KAV_Printf("%s", cut.c_str());
    });
    a = entry(8);
    b = entry(9);
    EXPECT_EQ(b.cursor_x, a.cursor_x);
    EXPECT_EQ(b.cursor_y, a.cursor_y);
    EXPECT_GT(a.cursor_x, 0);
    close_all();
}

// The test thread stands in for the GUI thread's dialogues: it prints runs of numbered lines
// while the worker resizes the same window, taller and shorter in turn, which clears its
// buffer and puts the cursor home. Afterwards the cursor must fit the buffer and the buffer must
// hold exactly the last lines printed, from the top. A print that ran across a resize unguarded
// would go on with the old size and cursor: a cursor below the bottom, or torn lines.
TEST(TextOutput, PrintsFromTheGuiThreadWhileTheWorkerPaintsAndResizes)
{
    close_all();
    on_worker([] { KAV_OpenTextWindow(0, 0, 0, 300, 200); });
    HWND hwnd = text_window_handle(0);
    int printed = 0;
    for (int round = 0; round < 60; round++) {
        std::atomic<int> started{0};
        const int outer_height = round % 2 ? 240 : 130;
        on_worker_async([hwnd, outer_height, &started] {
            while (!started) Sleep(0);
            SetWindowPos(hwnd, NULL, 0, 0, 320, outer_height, SWP_NOMOVE | SWP_NOZORDER);
            RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        });
        // Prints until the resize has begun, so that one print is mostly under way when it does.
        const int height = entry(0).height;
        started = 1;
        while (entry(0).height == height && !worker_done()) {
            std::string block;
            for (int i = 0; i < 40; i++) block += "line " + std::to_string(printed + i) + "\n";
            KAV_Printf("%s", block.c_str());
            printed += 40;
        }
        ASSERT_TRUE(wait_worker(20000));

        TextWindowEntry e = entry(0);
        ASSERT_EQ(0, e.cursor_x);
        ASSERT_EQ(0, e.cursor_y % e.char_height);
        ASSERT_LE(e.cursor_y + e.char_height, e.height) << "round " << round << ": the cursor fits the buffer";
        int rows = e.cursor_y / e.char_height;
        std::vector<std::wstring> lines;
        for (int i = printed - rows; i < printed; i++) lines.push_back(L"line " + std::to_wstring(i));
        std::vector<uint32_t> px, want;
        on_worker([&] {
            px = back_buffer(0);
            want = rendered_lines(0, lines);
        });
        ASSERT_EQ(want.size(), px.size());
        ASSERT_TRUE(want == px) << "round " << round << ": the buffer holds the last " << rows << " lines whole";
    }
    close_all();
}
