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

TEST(Exit, EndsAProgramWhoseMainRoutineIgnoresStop)
{
    Program p;
    ASSERT_TRUE(start(p, NULL, stubborn_exe()));
    HWND main = wait_window(p, L"kavlib_mw0", NULL, 15000);
    ASSERT_TRUE(main != NULL);
    Sleep(1500);  // drop animation and the first run
    DWORD t = GetTickCount();
    PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
    int code = wait_exit(p, 10000);
    DWORD took = GetTickCount() - t;
    EXPECT_EQ(0, code);
    EXPECT_GE(took, 1900u) << "waits for the worker first";
    EXPECT_LE(took, 4000u);
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
