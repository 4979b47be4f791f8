// Start-up and Exit of the real program, worked from outside as a separate process.
#include <gtest/gtest.h>

#include "process.h"

using namespace kavproc;

// Stand-in Main windows of other instances, made by this test process.
struct FakeInstances {
    HWND windows[10] = {};
    explicit FakeInstances(std::initializer_list<int> numbers)
    {
        for (int i : numbers) {
            wchar_t cls[16];
            wsprintfW(cls, L"kavlib_mw%d", i);
            WNDCLASSW wc = {};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(NULL);
            wc.lpszClassName = cls;
            RegisterClassW(&wc);
            windows[i] = CreateWindowW(cls, L"fake", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
        }
    }
    ~FakeInstances()
    {
        for (HWND w : windows)
            if (w) DestroyWindow(w);
    }
};

TEST(Startup, TakesTheFirstFreeInstanceNumber)
{
    FakeInstances fakes({0, 2});
    Program p;
    ASSERT_TRUE(start(p));
    HWND main = wait_window(p, L"kavlib_mw1", NULL, 15000);
    EXPECT_TRUE(main != NULL);
    if (main) {
        EXPECT_TRUE(wait_until([&] { return window_text(GetDlgItem(main, 2001)).find(L"bit color") != std::wstring::npos; }, 5000));
        PostMessageW(main, WM_COMMAND, 1002, 0);
    }
    EXPECT_EQ(0, wait_exit(p, 10000));
    stop(p);
}

TEST(Startup, RefusesAnEleventhInstance)
{
    FakeInstances fakes({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    Program p;
    ASSERT_TRUE(start(p));
    HWND box = wait_window(p, L"#32770", L"KAVLIB", 15000);
    ASSERT_TRUE(box != NULL) << "the message box appears";
    HWND text = NULL;
    EnumChildWindows(box, [](HWND child, LPARAM out) -> BOOL {
        if (window_text(child) == L"Over instance limit!") {
            *(HWND *)out = child;
            return FALSE;
        }
        return TRUE;
    }, (LPARAM)&text);
    EXPECT_TRUE(text != NULL) << "it says why";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(1, wait_exit(p, 10000));
    stop(p);
}

// Milliseconds from Exit (Esc on the Main window) to the end of the process, or -1 when it
// did not end within 10 s; code gets its exit code.
static int time_exit(Program &p, HWND main, int &code)
{
    DWORD t = GetTickCount();
    PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
    code = wait_exit(p, 10000);
    return code == -1 ? -1 : (int)(GetTickCount() - t);
}

TEST(Exit, DoesNotWaitForAWorkerThatSetsTheStatusLine)
{
    Program p;
    ASSERT_TRUE(start(p, NULL, status_exe()));
    HWND main = wait_window(p, L"kavlib_mw0", NULL, 15000);
    ASSERT_TRUE(main != NULL);
    // The Main window can be found before its creation has made the status line, so the
    // control is looked up again on every poll until it exists and shows the run's text.
    HWND status = NULL;
    bool begun = wait_until([&] {
        if (!status) status = GetDlgItem(main, 2001);
        return status && window_text(status).find(L"Input text") != std::wstring::npos;
    }, 15000);
    std::wstring status_text = window_text(status), title = window_text(main);
    ASSERT_TRUE(begun) << "status line: " << std::string(status_text.begin(), status_text.end())
                       << ", main window: " << std::string(title.begin(), title.end());
    int code = -1;
    int took = time_exit(p, main, code);
    EXPECT_EQ(0, code);
    EXPECT_LT(took, 1900);  // a wait for the worker would take the full 2000 ms
    stop(p);
}

TEST(Exit, EndsPromptlyWhenTheMainRoutineStops)
{
    Program p;
    ASSERT_TRUE(start(p));
    HWND main = wait_window(p, L"kavlib_mw0", NULL, 15000);
    ASSERT_TRUE(main != NULL);
    Sleep(1500);
    DWORD t = GetTickCount();
    PostMessageW(main, WM_COMMAND, 1002, 0);
    EXPECT_EQ(0, wait_exit(p, 10000));
    EXPECT_LE(GetTickCount() - t, 1500u);
    stop(p);
}

// The worker is ended wherever it stands, inside the heap, GDI or a library lock; whatever it
// held must not hold up the end of the process. Last in this file: a process killed that way
// is the one most likely to disturb the programs started after it.
TEST(Exit, EndsAProgramWhoseMainRoutineIgnoresStopEveryTime)
{
    for (int round = 0; round < 10; round++) {
        Program p;
        ASSERT_TRUE(start(p, NULL, stubborn_exe()));
        HWND main = wait_window(p, L"kavlib_mw0", NULL, 15000);
        ASSERT_TRUE(main != NULL);
        // The Main window accepts dropped files before it shows the colour depth, and refuses
        // them while a run lasts: then the main routine has begun.
        ASSERT_TRUE(wait_until([&] {
            return window_text(GetDlgItem(main, 2001)).find(L"bit color") != std::wstring::npos &&
                   !(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        }, 15000));
        int code = -1;
        int took = time_exit(p, main, code);
        EXPECT_EQ(0, code) << "round " << round;
        EXPECT_GE(took, 1900) << "round " << round << ": waits for the worker first";
        EXPECT_LE(took, 2500) << "round " << round;
        stop(p);
        if (HasFailure()) break;
    }
}
