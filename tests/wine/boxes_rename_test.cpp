// Renaming buttons and items through a line typed into the current text window, including boxes
// that are closed while the line is being read.
#include "flush.h"
#include "textwin_helpers.h"

#include <string>

#include "boxes/boxes.h"

using namespace kavtest;

static std::wstring text_of(HWND hwnd)
{
    wchar_t text[512];
    if (GetWindowTextW(hwnd, text, 512) == 0) text[0] = L'\0';
    return text;
}

// Waits for the line input to start, then types the line and Enter into its window.
static void type_line(const wchar_t *line)
{
    ASSERT_TRUE(wait_until([] { return line_input_window != 0; }));
    HWND hwnd = text_window_handle(line_input_window - 1);
    ASSERT_TRUE(hwnd != NULL);
    for (const wchar_t *c = line; *c; c++) PostMessageW(hwnd, WM_CHAR, *c, 1);
    PostMessageW(hwnd, WM_CHAR, 13, 1);
}

// The visible popup menu window of this process, or NULL.
static HWND find_popup_menu(void)
{
    HWND found = NULL;
    EnumWindows(
        [](HWND hwnd, LPARAM out) -> BOOL {
            wchar_t cls[16];
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
            if (GetClassNameW(hwnd, cls, 16) == 0 || wcscmp(cls, L"#32768") != 0) return TRUE;
            *(HWND *)out = hwnd;
            return FALSE;
        },
        (LPARAM)&found);
    return found;
}

static void open_button_box(void)
{
    on_worker([] {
        KAV_CloseButtonBox();
        KAV_OpenButtonBox(650, 236, 3, 2);
    });
}

TEST(RenameButton, DoubleClickInAGapRenamesTheButtonUnderIt)
{
    open_button_box();
    // The gap left of button 5 (x 204..207 of row 1) belongs to the box and to button 5's cell.
    PostMessageW(button_box_window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(205, 40));
    type_line(L"Gain");
    EXPECT_TRUE(wait_until([] { return text_of(buttons[5]) == L"Gain"; }));
    EXPECT_EQ(std::wstring(L"4"), text_of(buttons[4]));
    EXPECT_TRUE(wait_until([] { return line_input_window == 0; }));
}

TEST(RenameButton, TheRightClickMenuRenamesAndTheFrameMenuDestroys)
{
    open_button_box();
    PostMessageW(button_box_window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
    HWND menu = NULL;
    ASSERT_TRUE(wait_until([&] { return (menu = find_popup_menu()) != NULL; }));
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    type_line(L"open");
    EXPECT_TRUE(wait_until([] { return text_of(buttons[0]) == L"open"; }));
    EXPECT_TRUE(wait_until([] { return line_input_window == 0; }));

    HWND box = button_box_window;
    PostMessageW(box, WM_NCRBUTTONDOWN, HTCAPTION, 0);
    ASSERT_TRUE(wait_until([&] { return (menu = find_popup_menu()) != NULL; }));
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(wait_until([=] { return button_box_window == NULL && !IsWindow(box); }));
}

TEST(RenameButton, AnEmptyLineKeepsTheLabel)
{
    open_button_box();
    on_worker_async([] { KAV_RenameButton(2); });
    type_line(L"");
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(std::wstring(L"2"), text_of(buttons[2]));
}

TEST(RenameButton, ABoxClosedDuringTheLineIsLeftAlone)
{
    open_button_box();
    on_worker_async([] { KAV_RenameButton(5); });
    ASSERT_TRUE(wait_until([] { return line_input_window != 0; }));
    PostMessageW(button_box_window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(wait_until([] { return button_box_window == NULL; }));
    type_line(L"late");
    ASSERT_TRUE(wait_worker(5000));
    int count = -1;
    on_worker([&] { count = KAV_ButtonCount(); });
    EXPECT_EQ(0, count);
}

// The text window reads one line at a time: a rename asked for while the "Cmd>" prompt reads
// is refused and leaves the prompt's line, its echo and its answer alone.
TEST(RenameButton, ARenameAskedWhileTheCommandPromptReadsIsRefused)
{
    twtest::close_all();
    on_worker([] {
        KAV_OpenTextWindow(1, 0, 0, 300, 200);
        KAV_OpenTextWindow(2, 320, 0, 300, 200);
        KAV_SelectTextWindow(1);
    });
    open_button_box();
    static int answer;
    answer = -1;
    on_worker_async([] { answer = KAV_CommandPrompt(); });
    ASSERT_TRUE(wait_until([] { return line_input_window == 2; }));
    PostMessageW(button_box_window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(205, 40));
    type_line(L"help");  // reaches the worker after the double click
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(0, answer) << "the prompt read its own line";
    EXPECT_EQ(std::wstring(L"5"), text_of(buttons[5]));
    std::vector<uint32_t> got, expected;
    on_worker([&] {
        got = twtest::back_buffer(1);
        KAV_SelectTextWindow(2);
        KAV_Printf("Cmd>help\nCommand list:exit help start ver color\n");
        expected = twtest::back_buffer(2);
    });
    ASSERT_FALSE(got.empty());
    EXPECT_TRUE(got == expected);
    twtest::close_all();
}

TEST(RenameItem, DoubleClickAndTheRightClickMenuRenameTheItemUnderThePoint)
{
    on_worker([] { KAV_OpenInputBox(20, 30, 3); });
    // The gap left of the labels belongs to the box: row 1 spans y 28..55.
    PostMessageW(input_box_window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 40));
    type_line(L"Offset");
    EXPECT_TRUE(wait_until([] { return text_of(item_labels[1]) == L"Offset"; }));
    EXPECT_TRUE(wait_until([] { return line_input_window == 0; }));

    // Below the last item: no dialogue.
    PostMessageW(input_box_window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 3 * 28 + 1));
    ASSERT_TRUE(kavflush::flush_posted(input_box_window));
    EXPECT_EQ(0, line_input_window.load());

    // A right-click at item 2 opens the one-item menu; choosing "Rename" asks for item 2.
    PostMessageW(input_box_window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2 * 28 + 10));
    HWND menu = NULL;
    ASSERT_TRUE(wait_until([&] { return (menu = find_popup_menu()) != NULL; }));
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    type_line(L"Scale");
    EXPECT_TRUE(wait_until([] { return text_of(item_labels[2]) == L"Scale"; }));
    EXPECT_TRUE(wait_until([] { return line_input_window == 0; }));
}

TEST(RenameItem, ABoxClosedDuringTheLineIsLeftAloneAndItsValuesAreGone)
{
    on_worker([] { KAV_OpenInputBox(20, 30, 3); });
    on_worker_async([] { KAV_RenameInputItem(2); });
    ASSERT_TRUE(wait_until([] { return line_input_window != 0; }));
    PostMessageW(input_box_window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(wait_until([] { return input_box_window == NULL; }));
    type_line(L"late");
    ASSERT_TRUE(wait_worker(5000));
    bool values_gone = false;
    on_worker([&] { values_gone = item_values[0] == NULL && item_values[2] == NULL; });
    EXPECT_TRUE(values_gone);
}
