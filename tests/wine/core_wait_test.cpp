// Waiting in the library: a wait sleeps until something may have changed, every change of a
// flag that a waiting loop reads ends it on whichever thread the loop runs, and a line input
// left alone still blinks its cursor.
#include "textwin_helpers.h"

#include <atomic>
#include <vector>

using namespace kavtest;
using namespace twtest;

// The worker waits in a loop for a second with nothing happening, then the test changes the
// flag it reads: the loop must end at once, having woken only a few times meanwhile (a wait
// with a time limit of some milliseconds would have returned a hundred times).
TEST(Wait, SleepsUntilAFlagChangesAndThenEndsAtOnce)
{
    static std::atomic<int> done{0};
    static std::atomic<int> returns{0};
    done = 0;
    returns = 0;
    on_worker_async([] {
        while (!done) {
            KAV_PumpMessages();
            if (done) break;
            KAV_WaitMessage();
            returns++;
        }
    });
    Sleep(1000);
    EXPECT_FALSE(worker_done());
    done = 1;
    wake_waiters();
    ASSERT_TRUE(wait_worker(2000)) << "the change ended the wait";
    EXPECT_LE(returns.load(), 10) << "woken without a cause";
}

// More threads wait than have wake-up events of their own; each ends once the flag it waits
// for changes, the ones without an event too, and none waits for ever.
TEST(Wait, EveryWaitingThreadEndsWhenItsFlagChanges)
{
    static std::atomic<int> go{0};
    static std::atomic<int> waiting{0};
    go = 0;
    waiting = 0;
    const int THREADS = 24;  // more than the library has events for
    std::vector<HANDLE> threads;
    for (int i = 0; i < THREADS; i++) {
        threads.push_back(CreateThread(NULL, 0, [](LPVOID) -> DWORD {
            waiting++;
            while (!go) KAV_WaitMessage();
            return 0;
        }, NULL, 0, NULL));
    }
    ASSERT_TRUE(wait_until([&] { return waiting == THREADS; }));
    Sleep(100);
    go = 1;
    wake_waiters();
    for (HANDLE t : threads) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 3000)) << "a waiting thread did not end";
        CloseHandle(t);
    }
}

// Nothing but time passes while a line input reads, yet its cursor cell keeps changing between
// "_" and blank: the input's sleep ends when the cursor is due.
TEST(Wait, ALineInputLeftAloneBlinksItsCursor)
{
    static char line[KAV_LINE_BYTES];
    on_worker([] { KAV_OpenTextWindow(0, 0, 0, 200, 100); });
    on_worker_async([] { KAV_InputText(line); });
    ASSERT_TRUE(wait_until([] { return line_input_window != 0; }));
    TextWindowEntry e = entry(0);
    int changes = 0;
    uint64_t last = 0;
    for (int i = 0; i < 60; i++) {  // 1.5 s: the cursor changes every 200 ms
        std::vector<uint32_t> px = back_buffer(0);
        uint64_t sum = 0;
        for (int y = e.cursor_y; y < e.cursor_y + e.char_height && y < e.height; y++)
            for (int x = e.cursor_x; x < e.cursor_x + e.char_width && x < e.width; x++) sum += px[(size_t)y * e.width + x];
        if (i > 0 && sum != last) changes++;
        last = sum;
        Sleep(25);
    }
    EXPECT_GE(changes, 3) << "the cursor blinks while nothing else happens";
    PostMessageW(e.hwnd, WM_CHAR, '\r', 0);
    ASSERT_TRUE(wait_worker(2000));
    close_all();
}
