// The window information report on real windows: what it prints (read back from the log of
// the reporting window) and the layout source it puts on the clipboard.
#include "textwin_helpers.h"

#include <string>

using namespace kavtest;
using namespace twtest;

namespace {

// Runs the report in text window n through its window procedure; returns what it printed.
std::string report_in(int n)
{
    std::string printed;
    on_worker([&] {
        KAV_StartLog(n);
        char name[260];
        log_file_name(n, name);
        SendMessageW(text_window_handle(n), WM_COMMAND, CMD_WINDOW_INFO, 0);
        KAV_CloseAllLogs();
        printed = file_bytes(name);
    });
    return printed;
}

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(Report, TextWindowsOnlyInAscendingOrderWithAnUnmovedMainWindow)
{
    close_everything();
    on_worker([] {
        KAV_OpenTextWindow(5, 300, 10, 240, 120);
        KAV_OpenTextWindow(2, 20, 30, 200, 100);
        KAV_OpenTextWindow(7, 40, 400, 160, 80);
        KAV_SelectTextWindow(7);
    });
    std::string printed = report_in(5);
    EXPECT_EQ(
        "\t// KAVLIB --- Automatic Source Generator\r\n"
        "\t// [Text Window]\r\n"
        "\tKAV_OpenTextWindow(2,20,30,200,100);\r\n"
        "\tKAV_OpenTextWindow(5,300,10,240,120);\r\n"
        "\tKAV_OpenTextWindow(7,40,400,160,80);\r\n"
        "\t// [Main Window]\r\n"
        "\tKAV_SetForeground(KAVMAINWINDOW);\r\n",
        clipboard_text());
    wchar_t wide[64];
    confirmation_text(wide);
    char confirmation[128];  // as the log receives it: in the system code page
    wide_to_ansi(wide, confirmation, sizeof confirmation);
    std::string logged = confirmation;
    logged.replace(logged.size() - 1, 1, "\r\n");
    EXPECT_EQ("******* Window information *******\r\n"
              "[Text Window]\r\n"
              " 2 X:20 Y:30 W:200 H:100\r\n"
              " 5 X:300 Y:10 W:240 H:120\r\n"
              " 7 X:40 Y:400 W:160 H:80\r\n"
              "**********************************\r\n" + logged,
              printed);
    EXPECT_EQ(5, current_text_window.load()) << "the reporting window became current";
    // The confirmation is Japanese whatever the system code page.
    EXPECT_EQ(std::wstring(L"\u30af\u30ea\u30c3\u30d7\u30dc\u30fc\u30c9\u306b\u30ec\u30a4\u30a2\u30a6\u30c8"
                           L"\u4f5c\u6210\u30bd\u30fc\u30b9\u30ea\u30b9\u30c8\u3092\u4fdd\u5b58\u3057"
                           L"\u307e\u3057\u305f\uff0e\n"),
              std::wstring(wide));
}

TEST(Report, ImagesBoxesEscapedLabelsAndAMovedMainWindow)
{
    close_everything();
    on_worker([] {
        KAV_CreateImage8(1, "img", 10, 20, 200, 100, 100);
        KAV_CreateImageFL(4, "say \"hi\"\\", 100, 30, 40, 30, 200);
        KAV_OpenTextWindow(0, 500, 10, 200, 100);
        KAV_OpenInputBox(500, 200, 2);
        KAV_SetInputBoxTitle(1, "tab\there");
        KAV_OpenButtonBox(500, 400, 2, 1);
        KAV_SetButtonBoxTitle(0, "two\nlines");
        KAV_SetButtonBoxTitle(1, "b");
        KAV_PlaceMain(main_x + 30, main_rest_y + 40);
    });
    ASSERT_TRUE(wait_until([] {
        RECT r;
        GetWindowRect(main_window, &r);
        return r.left == main_x + 30 && r.top == main_rest_y + 40;
    }));
    std::string printed = report_in(0);
    std::string source = clipboard_text();
    RECT box;
    GetClientRect(button_box_window, &box);
    char line[256];
    EXPECT_TRUE(contains(source, "\t// [Image Window]\r\n"
                                 "\tKAV_CreateImage8(1,\"img\",10,20,200,100,100);\r\n"
                                 "\tKAV_CreateImageFL(4,\"say \\\"hi\\\"\\\\\",100,30,40,30,200);\r\n"
                                 "\t// [Text Window]\r\n"
                                 "\tKAV_OpenTextWindow(0,500,10,200,100);\r\n"
                                 "\t// [Input Box]\r\n"
                                 "\tKAV_OpenInputBox(500,200,2);\r\n")) << source;
    snprintf(line, sizeof line, "\tKAV_ResizeInputBox(%d,%d);\r\n\tKAV_SetInputBoxTitle(0,", label_width, edit_width);
    EXPECT_TRUE(contains(source, line)) << source;
    EXPECT_TRUE(contains(source, "\tKAV_SetInputBoxTitle(1,\"tab\\there\");\r\n"
                                 "\t// [Button Box]\r\n"
                                 "\tKAV_OpenButtonBox(500,400,2,1);\r\n")) << source;
    snprintf(line, sizeof line,
             "\tKAV_ResizeButtonBox(%d,%d);\r\n"
             "\tKAV_SetButtonBoxTitle(0,\"two\\nlines\");\r\n"
             "\tKAV_SetButtonBoxTitle(1,\"b\");\r\n"
             "\t// [Main Window]\r\n"
             "\tKAV_PlaceMain(%d,%d);\r\n"
             "\tKAV_SetForeground(KAVMAINWINDOW);\r\n",
             (int)box.right, (int)box.bottom, main_x + 30, main_rest_y + 40);
    EXPECT_TRUE(contains(source, line)) << source;

    EXPECT_TRUE(contains(printed, "[Image Window]\r\n 1 8 1  'img' X:10 Y:20 W:200 H:100 ZM:100%\r\n"
                                  " 4 32 0  'say \"hi\"\\' X:100 Y:30 W:40 H:30 ZM:200%\r\n")) << printed;
    snprintf(line, sizeof line, "[Input Box]\r\n X:500 Y:200 ITEM:2 ISIZE:%d ESIZE:%d\r\n", label_width, edit_width);
    EXPECT_TRUE(contains(printed, line)) << printed;
    snprintf(line, sizeof line, "[Button Box]\r\n X:500 Y:400 NX:2 NY:1 SIZE:%dx%d\r\n[Main Window]\r\n X:%d Y:%d\r\n",
             (int)box.right, (int)box.bottom, main_x + 30, main_rest_y + 40);
    EXPECT_TRUE(contains(printed, line)) << printed;

    // Ctrl+W of the Main window reports in the current text window.
    on_worker([] { KAV_PlaceMain(main_x, main_rest_y); });
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    CloseClipboard();
    DWORD sequence = GetClipboardSequenceNumber();
    PostMessageW(main_window, WM_COMMAND, CMD_WINDOW_INFO, 0);
    ASSERT_TRUE(wait_until([&] { return GetClipboardSequenceNumber() != sequence && clipboard_text().size() > 100; }));
    EXPECT_FALSE(contains(clipboard_text(), "KAV_PlaceMain"));
    close_everything();
}
