// Log files of text windows, read back byte for byte from the files and the clipboard.
#include "textwin_helpers.h"

#include <string>

using namespace kavtest;
using namespace twtest;

namespace {

std::string name_of_log(int n)
{
    char name[260];
    log_file_name(n, name);
    return name;
}

// A fresh window n, current, with a log started (its file name returned).
std::string window_with_log(int n)
{
    close_all();
    std::string name;
    on_worker([&] {
        KAV_OpenTextWindow(n, 10, 10, 300, 120);
        EXPECT_EQ(0, KAV_StartLog(n));
        name = name_of_log(n);
    });
    return name;
}

}  // namespace

TEST(Log, StartStopResumeAndResults)
{
    std::string name = window_with_log(4);
    char pattern[64];
    snprintf(pattern, sizeof pattern, "KAVLIB%d4-", instance_number);
    EXPECT_EQ(0u, name.find(log_directory));
    EXPECT_NE(std::string::npos, name.find(pattern));
    on_worker([] {
        EXPECT_EQ(1, KAV_StartLog(4));
        KAV_Printf("a\n");
        EXPECT_EQ(0, KAV_StopLog(4));
        EXPECT_EQ(0, KAV_StopLog(4));
        KAV_Printf("b\n");
        EXPECT_EQ(0, KAV_StartLog(4));
        KAV_Printf("c\n");
        EXPECT_EQ(3, KAV_StartLog(256));
        EXPECT_EQ(3, KAV_StartLog(7));
        EXPECT_EQ(2, KAV_StopLog(-1));
        EXPECT_EQ(4, KAV_CopyLog(7));
        KAV_OpenTextWindow(7, 320, 10, 200, 100);
        EXPECT_EQ(1, KAV_StopLog(7));
        EXPECT_EQ(2, KAV_CopyLog(7));
        KAV_CloseTextWindow(4);  // destroying the window closes its log, flushed
    });
    EXPECT_EQ("a\r\nc\r\n", file_bytes(name));
}

TEST(Log, CopyHoldsTheFileBytesAndLaterOutputIsAppended)
{
    std::string name = window_with_log(2);
    on_worker([] {
        for (int i = 0; i < 10; i++) KAV_Printf("line %d\n", i);
        // A Ctrl+Z and a lone carriage return are copied like any other byte.
        KAV_Printf("x\x1ay\rz\n");
        EXPECT_EQ(0, KAV_CopyLog(2));
    });
    std::string copied = clipboard_text();
    std::string expected;
    for (int i = 0; i < 10; i++) expected += "line " + std::to_string(i) + "\r\n";
    expected += "x\x1ay\rz\r\n";
    EXPECT_EQ(expected, copied);
    on_worker([] {
        KAV_Printf("after\n");
        EXPECT_EQ(0, KAV_StopLog(2));
        EXPECT_EQ(0, KAV_CopyLog(2));  // copying works while stopped too
        KAV_CloseAllLogs();
        EXPECT_EQ(1, KAV_StopLog(2));
    });
    EXPECT_EQ(expected + "after\r\n", file_bytes(name));
    EXPECT_EQ(expected + "after\r\n", clipboard_text());
}

TEST(Log, NewLogsNeverEmptyAnExistingFile)
{
    std::string first = window_with_log(3);
    std::string second, other;
    on_worker([&] {
        KAV_Printf("first\n");
        KAV_CloseAllLogs();
        EXPECT_EQ(0, KAV_StartLog(3));  // mostly within the same second: the name is taken
        second = name_of_log(3);
        KAV_Printf("second\n");
        Sleep(1000);
        KAV_OpenTextWindow(9, 320, 10, 200, 100);
        EXPECT_EQ(0, KAV_StartLog(9));
        other = name_of_log(9);
        KAV_CloseAllLogs();
    });
    EXPECT_NE(first, second);
    EXPECT_NE(second, other);
    EXPECT_EQ("first\r\n", file_bytes(first));
    EXPECT_EQ("second\r\n", file_bytes(second));
    char pattern[64];
    snprintf(pattern, sizeof pattern, "KAVLIB%d9-", instance_number);
    EXPECT_NE(std::string::npos, other.find(pattern));
}

TEST(Log, TypedLinesAreLoggedAndTheEchoIsNot)
{
    std::string name = window_with_log(1);
    static char line[KAV_LINE_BYTES];
    on_worker_async([] { KAV_InputText(line); });
    ASSERT_TRUE(wait_until([] { return line_input_window != 0; }));
    HWND hwnd = text_window_handle(1);
    for (wchar_t c : std::wstring(L"hi\b!\r")) PostMessageW(hwnd, WM_CHAR, c, 0);
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_STREQ("h!", line);
    on_worker([] { KAV_CloseTextWindow(1); });
    EXPECT_EQ("h!\r\n", file_bytes(name));
}
