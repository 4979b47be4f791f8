// The runtime core in a live process: the Main window, the run state and the window request.
#include "flush.h"
#include "harness.h"

#include <string>

#include "textwin/text_table.h"

using namespace kavtest;
using kavflush::flush_posted;

// What the setup routine finds of the drawing state start-up makes, and the values it sets
// itself, which start-up must not overwrite afterwards.
static HFONT font_at_setup;
static uint32_t tttc_at_setup;
static const uint32_t SETUP_TTTC = 0x123456;
static void record_setup_state(void)
{
    font_at_setup = truetype_font;
    tttc_at_setup = kav_tttc;
    kav_tttc = SETUP_TTTC;
    text_cursor = {5, 7};
    text_left_margin = 3;
}
static const int setup_hook_installed = (setup_routine_hook = record_setup_state, 1);

static std::wstring text_of(HWND hwnd)
{
    wchar_t text[256];
    GetWindowTextW(hwnd, text, 256);
    return text;
}

TEST(MainWindow, IsLiveCentredAndRestsOnTheWorkAreaBottom)
{
    ASSERT_TRUE(main_window != NULL);
    wchar_t cls[64];
    GetClassNameW(main_window, cls, 64);
    EXPECT_EQ(std::wstring(L"kavlib_mw0"), cls);
    EXPECT_EQ(std::wstring(L"KAVLIB 7.6 [0]"), text_of(main_window));

    RECT area, r;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(main_window, &r);
    EXPECT_EQ(area.bottom, r.bottom);
    EXPECT_LE(abs((r.left + r.right) - (area.left + area.right)), 1);
    RECT client;
    GetClientRect(main_window, &client);
    EXPECT_EQ(240, client.right);

    HWND status = GetDlgItem(main_window, STATUS_LINE_ID);
    ASSERT_TRUE(status != NULL);
    std::wstring s = text_of(status);
    EXPECT_EQ(12u, s.find(L"32-bit color")) << "centred around column 18";
}

TEST(MainWindow, TheFrameCannotResizeIt)
{
    RECT before, proposed;
    GetWindowRect(main_window, &before);
    proposed = before;
    proposed.right += 50;
    proposed.bottom += 30;
    SendMessageW(main_window, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&proposed);
    EXPECT_TRUE(EqualRect(&before, &proposed));
}

TEST(RunState, StartWhileRunningDoesNothing)
{
    on_worker([] {});  // a run is active
    ASSERT_EQ(1, run_state.running.load());
    main_command(CMD_START);
    ASSERT_TRUE(flush_posted(main_window));
    EXPECT_EQ(0, run_state.start_requested.load());
    EXPECT_EQ(1, run_state.running.load());
}

TEST(RunState, StopEndsTheRunAndWhileIdleOnlySetsTheFlag)
{
    // A window of the worker's, whose answers show that its loop went round.
    HWND worker_window = NULL;
    on_worker([&] {
        KAV_OpenTextWindow(6, 0, 0, 100, 50);
        worker_window = text_window_handle(6);
    });
    main_command(CMD_STOP);
    ASSERT_TRUE(wait_until([] { return run_state.running == 0; }));
    EXPECT_EQ(0, run_state.stop_requested.load()) << "the worker clears it when a run ends";

    main_command(CMD_STOP);  // idle: only the flag
    ASSERT_TRUE(flush_posted(main_window));
    EXPECT_EQ(1, run_state.stop_requested.load());
    // Two pumps of the idle loop: a run the Stop had wrongly begun would be under way.
    ASSERT_TRUE(flush_posted(worker_window));
    ASSERT_TRUE(flush_posted(worker_window));
    EXPECT_EQ(0, run_state.running.load());

    main_command(CMD_START);  // the next Start clears it before the main routine begins
    ASSERT_TRUE(wait_until([] { return run_state.running == 1; }));
    int seen = -1;
    on_worker([&] { seen = run_state.stop_requested; });
    EXPECT_EQ(0, seen);
    on_worker([] { KAV_CloseTextWindow(6); });
}

TEST(RunState, KeysOfTheMainWindowStartAndStop)
{
    on_worker([] {});
    PostMessageW(main_window, WM_KEYDOWN, 'C', 0);
    ASSERT_TRUE(wait_until([] { return run_state.running == 0; }));
    PostMessageW(main_window, WM_KEYDOWN, 'S', 0);
    ASSERT_TRUE(wait_until([] { return run_state.running == 1; }));
}

// Posts from a thread that pumps like the Main window does; requests are served while idle.
TEST(WindowRequest, CreateForNumber300AnswersFourAndIsServedOnlyWhileIdle)
{
    on_worker([] {});
    int answer = -1;
    HANDLE poster = CreateThread(NULL, 0, [](LPVOID p) -> DWORD {
        *(int *)p = post_create_image_window(300, "x", 10, 10, 32);
        return 0;
    }, &answer, 0, NULL);
    ASSERT_TRUE(wait_until([] { return window_request.kind == REQ_CREATE_IMAGE; }));
    // The main routine pumps with the request pending: pumping does not serve it.
    on_worker([] { KAV_PumpMessages(); });
    on_worker([] { KAV_PumpMessages(); });
    EXPECT_EQ(REQ_CREATE_IMAGE, window_request.kind.load()) << "not served while the main routine runs";
    EXPECT_EQ(-1, answer);
    main_command(CMD_STOP);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(poster, 5000));
    CloseHandle(poster);
    EXPECT_EQ(4, answer);
    EXPECT_EQ(0, window_request.kind.load());
    EXPECT_EQ(1, window_request.done.load());
}

// A window with a procedure that posts a second request while the first one waits, as a
// Main window command nested in another's wait does.
static std::atomic<int> inner_answer{-1};
static std::atomic<int> inner_posting{0};
static LRESULT CALLBACK nesting_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg != WM_APP) return DefWindowProcW(hwnd, msg, wparam, lparam);
    inner_posting = 1;
    inner_answer = post_create_image_window(7, "x", 10, 10, 7);  // bits neither 8 nor 32: 3
    return 0;
}

TEST(WindowRequest, APostNestedInAnotherWaitGetsItsOwnAnswer)
{
    inner_posting = 0;
    inner_answer = -1;
    on_worker([] {});
    int outer = -1;
    HANDLE poster = CreateThread(NULL, 0, [](LPVOID p) -> DWORD {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = nesting_proc;
        wc.hInstance = GetModuleHandleW(NULL);
        wc.lpszClassName = L"kav_test_nesting";
        RegisterClassW(&wc);
        HWND w = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance, NULL);
        PostMessageW(w, WM_APP, 0, 0);  // runs inside the outer post's wait
        *(int *)p = post_create_image_window(300, "x", 10, 10, 32);
        DestroyWindow(w);
        return 0;
    }, &outer, 0, NULL);
    ASSERT_TRUE(wait_until([] { return inner_posting == 1; }));
    EXPECT_EQ(REQ_CREATE_IMAGE, window_request.kind.load()) << "the outer post holds the slot";
    main_command(CMD_STOP);  // requests are served once the run has ended
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(poster, 5000));
    CloseHandle(poster);
    EXPECT_EQ(3, inner_answer.load());
    EXPECT_EQ(4, outer);
    EXPECT_EQ(0, window_request.kind.load());
}

TEST(WindowRequest, OpeningAnExistingTextWindowFrontsItAndMakesItCurrent)
{
    on_worker([] {
        KAV_OpenTextWindow(1, 0, 0, 200, 100);
        KAV_OpenTextWindow(2, 220, 0, 200, 100);
    });
    ASSERT_EQ(2, current_text_window.load());
    post_open_text_window(1);
    EXPECT_EQ(1, current_text_window.load());
    EXPECT_EQ(0, window_request.kind.load()) << "nothing is posted";
    on_worker([] {
        KAV_CloseTextWindow(1);
        KAV_CloseTextWindow(2);
    });
}

// Start-up has made the TrueType font and the text drawing state before the worker thread
// runs the setup routine, and leaves what the setup routine set alone.
TEST(Startup, TheDrawingStateIsReadyBeforeTheSetupRoutineRuns)
{
    SendMessageW(main_window, WM_NULL, 0, 0);  // start-up has reached the message loop
    EXPECT_TRUE(font_at_setup != NULL);
    EXPECT_EQ(0xFFFFFFu, tttc_at_setup);
    EXPECT_EQ(SETUP_TTTC, kav_tttc);
    EXPECT_EQ(5, text_cursor.x);
    EXPECT_EQ(7, text_cursor.y);
    EXPECT_EQ(3, text_left_margin);
    kav_tttc = 0xFFFFFF;
    text_cursor = {0, 0};
    text_left_margin = 0;
}

TEST(Clock, CountsMilliseconds)
{
    uint32_t a = KAV_Milliseconds();
    Sleep(100);
    uint32_t d = KAV_Milliseconds() - a;
    EXPECT_GE(d, 90u);
    EXPECT_LE(d, 1000u);
}

TEST(Startup, RecordsTheCurrentDirectoryThreeTimes)
{
    wchar_t here[KAV_PATH_UNITS];
    GetCurrentDirectoryW(KAV_PATH_UNITS, here);
    EXPECT_EQ(std::wstring(here), open_directory_w);
    EXPECT_EQ(std::wstring(here), save_directory_w);
    std::wstring log = log_directory_w;
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(L'\\', log.back());
    EXPECT_NE(L'\\', log[log.size() - 2]) << "exactly one backslash is appended";
    char ansi[KAV_PATH_BYTES];
    wide_to_ansi(here, ansi, KAV_PATH_BYTES);
    EXPECT_STREQ(ansi, open_directory);
}

TEST(Helpers, StatusTextIsCentredAndTheDepthComesBack)
{
    HWND status = GetDlgItem(main_window, STATUS_LINE_ID);
    on_worker([] { set_status_text("Input text"); });
    EXPECT_EQ(13u, text_of(status).find(L"Input text"));
    on_worker([] { show_colour_depth_status(); });
    EXPECT_EQ(12u, text_of(status).find(L"32-bit color"));
}

TEST(Helpers, PauseShowsItsTextAndReturnsWhenClosed)
{
    on_worker_async([] { KAV_Pause("Look at this"); });
    HWND box = NULL;
    ASSERT_TRUE(wait_until([&] { return (box = FindWindowW(L"#32770", L"Pause")) != NULL; }));
    EXPECT_FALSE(worker_done());
    bool found = false;
    EnumChildWindows(box, [](HWND child, LPARAM out) -> BOOL {
        if (text_of(child) == L"Look at this") *(bool *)out = true;
        return TRUE;
    }, (LPARAM)&found);
    EXPECT_TRUE(found);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(wait_worker(5000));
}

TEST(Helpers, ConversionsAreBoundedAndTerminated)
{
    char small[8];
    EXPECT_EQ(7, wide_to_ansi(L"abcdefghijkl", small, 8));
    EXPECT_STREQ("abcdefg", small);
    wchar_t wide[4];
    EXPECT_EQ(3, ansi_to_wide("abcdef", wide, 4));
    EXPECT_EQ(std::wstring(L"abc"), wide);
    EXPECT_EQ(2, ansi_to_wide("ab", wide, 4));
}

TEST(MainWindow, MenuBarHoldsStartStopExit)
{
    HMENU bar = GetMenu(main_window);
    ASSERT_EQ(3, GetMenuItemCount(bar));
    const wchar_t *texts[] = {L"Start(&S)", L"Stop(&C)", L"Exit(&X)"};
    const UINT ids[] = {CMD_START, CMD_STOP, CMD_EXIT};
    for (int i = 0; i < 3; i++) {
        wchar_t text[64];
        GetMenuStringW(bar, i, text, 64, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(texts[i]), text);
        EXPECT_EQ(ids[i], GetMenuItemID(bar, i));
    }
}
