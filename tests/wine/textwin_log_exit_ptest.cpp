// Exit while the worker thread prints into a logging window: the log keeps every whole line.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string>

#include "process.h"

using namespace kavproc;

TEST(LogExit, EveryLinePrintedBeforeExitIsWholeInTheLog)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    wcscat(dir, L"kav_log_exit");
    CreateDirectoryW(dir, NULL);
    std::wstring pattern = std::wstring(dir) + L"\\KAVLIB*.LOG";
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(pattern.c_str(), &found);  // logs of an earlier run go first
    while (h != INVALID_HANDLE_VALUE) {
        DeleteFileW((std::wstring(dir) + L"\\" + found.cFileName).c_str());
        if (!FindNextFileW(h, &found)) {
            FindClose(h);
            h = INVALID_HANDLE_VALUE;
        }
    }

    Program p;
    ASSERT_TRUE(start(p, dir, L"" KAV_LOG_LOOP_WIN));
    HWND main = wait_window(p, L"kavlib_mw0", NULL, 15000);
    ASSERT_TRUE(main != NULL);
    Sleep(2000);  // drop animation, then the loop prints for a while
    PostMessageW(main, WM_COMMAND, 1002, 0);
    EXPECT_EQ(0, wait_exit(p, 10000));
    stop(p);

    h = FindFirstFileW(pattern.c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << "the log was made";
    FindClose(h);
    FILE *f = _wfopen((std::wstring(dir) + L"\\" + found.cFileName).c_str(), L"rb");
    ASSERT_TRUE(f != NULL);
    std::string bytes;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
    fclose(f);

    int lines = 0;
    size_t at = 0;
    while (at < bytes.size()) {
        char expected[64];
        snprintf(expected, sizeof expected, "line %d of the log loop\r\n", lines);
        ASSERT_EQ(0, bytes.compare(at, strlen(expected), expected)) << "line " << lines << " is whole";
        at += strlen(expected);
        lines++;
    }
    EXPECT_GT(lines, 10);
}
