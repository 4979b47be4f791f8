// Line input, keys, the context menu and the command prompt of text windows, driven by real
// WM_CHAR and WM_KEYDOWN messages (and SendInput for the Ctrl key) to real windows.
#include "flush.h"
#include "textwin_helpers.h"

#include <string.h>
#include <string>

using namespace kavtest;
using namespace twtest;

namespace {

char line[KAV_LINE_BYTES];

void post_chars(HWND hwnd, const std::wstring &text)
{
    for (wchar_t c : text) PostMessageW(hwnd, WM_CHAR, c, 0);
}

// Starts KAV_InputText on the worker; waits until it reads.
void start_input(void)
{
    line[0] = 'z';
    on_worker_async([] { KAV_InputText(line); });
    ASSERT_TRUE(wait_until([] { return line_input_window != 0; }));
}

void press_key(WORD key, bool down)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
}

// Types one unit as real keyboard input, through the queue that holds the real Ctrl key.
void type_unit(wchar_t unit)
{
    INPUT in[2] = {};
    for (INPUT &i : in) {
        i.type = INPUT_KEYBOARD;
        i.ki.wScan = unit;
        i.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
}

void ctrl_key(bool down) { press_key(VK_CONTROL, down); }

// Ctrl (and Alt) held as the worker thread sees it (its own key state, updated by real input).
// Only while no other work is handed to the worker.
bool worker_sees_ctrl(bool with_alt = false)
{
    bool held = false;
    on_worker([&] {
        KAV_PumpMessages();
        held = ctrl_held() && (!with_alt || GetKeyState(VK_MENU) < 0);
    });
    return held;
}

// Cells from the top-left corner of window n to its cursor, lines counted whole: the units
// echoed so far when every unit takes one cell and nothing was printed before.
int cells_echoed(int n)
{
    TextWindowEntry e = entry(n);
    if (e.char_width <= 0 || e.char_height <= 0) return -1;
    return e.cursor_y / e.char_height * (e.width / e.char_width) + e.cursor_x / e.char_width;
}

// Holds Ctrl (and Alt) down until the worker thread sees them, pressing again while it waits:
// the display may report its own, released, modifiers when a new window takes the focus.
bool hold_ctrl(bool with_alt = false)
{
    return wait_until([=] {
        ctrl_key(true);
        if (with_alt) press_key(VK_MENU, true);
        return worker_sees_ctrl(with_alt);
    }, 5000);
}

// A fresh window 1 for each test, current and in front.
HWND fresh_window(int width = 300, int height = 150)
{
    close_all();
    on_worker([&] { KAV_OpenTextWindow(1, 20, 20, width, height); });
    return text_window_handle(1);
}

}  // namespace

TEST(LineInput, TypingBackspaceAndEnterGiveTheLineAndRestoreTheStatus)
{
    HWND hwnd = fresh_window();
    post_chars(hwnd, L"zz");  // typed while no input runs: neither echoed nor kept
    on_worker([] { KAV_PumpMessages(); });
    start_input();
    EXPECT_TRUE(wait_until([] { return status_text().find(L"Input text") != std::wstring::npos; }));
    post_chars(hwnd, L"ab\bc");
    ASSERT_TRUE(wait_until([] { return entry(1).cursor_x == 2 * entry(1).char_width; }));
    post_chars(hwnd, L"\r");
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_STREQ("ac", line);
    TextWindowEntry e = entry(1);
    EXPECT_EQ(0, e.cursor_x);
    EXPECT_EQ(e.char_height, e.cursor_y);
    EXPECT_EQ(0, line_input_window.load());
    EXPECT_NE(std::wstring::npos, status_text().find(L"32-bit color"));

    // Up during the next input enters the last line again, as if typed; tab becomes a space.
    start_input();
    PostMessageW(hwnd, WM_KEYDOWN, VK_UP, 0);
    ASSERT_TRUE(wait_until([] { return entry(1).cursor_x == 2 * entry(1).char_width; }));
    post_chars(hwnd, L"\t!\r");
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_STREQ("ac !", line);

    // Enter on an empty line gives the empty string.
    start_input();
    post_chars(hwnd, L"\b\r");
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_STREQ("", line);
}

TEST(LineInput, TheLineHoldsAtMost255UnitsAndEnterStillWorks)
{
    HWND hwnd = fresh_window(600, 400);
    start_input();
    // In two parts, each smaller than the key ring; the second waits until the first is echoed.
    for (int i = 0; i < 200; i++) PostMessageW(hwnd, WM_CHAR, 'a' + i % 26, 0);
    ASSERT_TRUE(wait_until([] { return cells_echoed(1) == 200; }));
    for (int i = 200; i < 260; i++) PostMessageW(hwnd, WM_CHAR, 'a' + i % 26, 0);
    ASSERT_TRUE(kavflush::flush_posted(hwnd));
    ASSERT_TRUE(wait_until([] { return cells_echoed(1) == 255; }));
    post_chars(hwnd, L"\r");
    ASSERT_TRUE(wait_worker(5000));
    std::string expected;
    for (int i = 0; i < 255; i++) expected += char('a' + i % 26);
    EXPECT_EQ(expected, std::string(line));
}

TEST(LineInput, TwoCellCharacterMovesWholeAndBackspaceBringsTheCursorBack)
{
    HWND hwnd = fresh_window();
    TextWindowEntry e = entry(1);
    // As many one-cell characters as the echo puts on a line: less than two cells remain.
    int cells = (e.width - e.char_width) / e.char_width;
    std::wstring text(cells, L'x');
    start_input();
    post_chars(hwnd, text);
    int before_x = cells * e.char_width;
    ASSERT_TRUE(wait_until([&] { return entry(1).cursor_x == before_x; }));
    ASSERT_GT(before_x, e.width - 2 * e.char_width);
    PostMessageW(hwnd, WM_CHAR, 0x3042, 0);
    ASSERT_TRUE(wait_until([&] { return entry(1).cursor_y == e.char_height; }));
    EXPECT_EQ(2 * e.char_width, entry(1).cursor_x);
    post_chars(hwnd, L"\b");
    ASSERT_TRUE(wait_until([] { return entry(1).cursor_y == 0; }));
    EXPECT_EQ(before_x, entry(1).cursor_x);
    post_chars(hwnd, L"\r");
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(std::string(cells, 'x'), std::string(line));
}

TEST(LineInput, DestroyingTheReadingWindowEndsTheInputEmpty)
{
    HWND hwnd = fresh_window();
    start_input();
    post_chars(hwnd, L"abc");
    ASSERT_TRUE(wait_until([] { return entry(1).cursor_x == 3 * entry(1).char_width; }));
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_STREQ("", line);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_NE(std::wstring::npos, status_text().find(L"32-bit color"));
}

TEST(LineInput, BackspaceAfterAResizeKeepsTheEchoInsideTheWindow)
{
    HWND hwnd = fresh_window();
    start_input();
    post_chars(hwnd, L"ab");
    ASSERT_TRUE(wait_until([] { return entry(1).cursor_x == 2 * entry(1).char_width; }));
    // The resize clears the buffer and puts the cursor at the top left, under the typed line.
    SetWindowPos(hwnd, NULL, 0, 0, 260, 140, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(wait_until([] { return entry(1).cursor_x == 0 && entry(1).width != 300; }));
    post_chars(hwnd, L"\b\b\bc");
    EXPECT_TRUE(wait_until([] { return entry(1).cursor_x == entry(1).char_width; }, 1000));
    EXPECT_EQ(0, entry(1).cursor_y);
    post_chars(hwnd, L"\r");  // the input ends whatever the echo did
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_STREQ("c", line);
}

// True when the pixels of one cell equal the top-left cell of a whole-window buffer of width w.
static bool same_as_first_cell(const std::vector<uint32_t> &cell, const std::vector<uint32_t> &window, int w, int cw, int ch)
{
    for (int y = 0; y < ch; y++)
        for (int x = 0; x < cw; x++)
            if (cell[(size_t)y * cw + x] != window[(size_t)y * w + x]) return false;
    return true;
}

// The cursor blinks on the screen itself while the input waits with nothing typed: every look
// at the cell on the screen finds exactly "_" or a blank as the window's font draws them, and
// the two take turns.
TEST(LineInput, TheWaitingCursorBlinksOnTheScreen)
{
    HWND hwnd = fresh_window();
    std::vector<uint32_t> underscore, blank;
    on_worker([&] {
        underscore = rendered_lines(1, {L"_"});
        blank = rendered_lines(1, {L" "});
    });
    TextWindowEntry e = entry(1);
    ASSERT_FALSE(underscore.empty());
    start_input();
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    int looks[3] = {0, 0, 0};  // "_", blank, anything else
    int turns = 0, last = -1;
    DWORD start = GetTickCount();
    while (turns < 4 && GetTickCount() - start < 4000) {
        PixelCanvas c = make_canvas(e.char_width, e.char_height);
        HDC screen = GetDC(NULL);
        BitBlt(c.dc, 0, 0, e.char_width, e.char_height, screen, origin.x, origin.y, SRCCOPY);
        ReleaseDC(NULL, screen);
        std::vector<uint32_t> cell = take_pixels(c);
        int look = same_as_first_cell(cell, underscore, e.width, e.char_width, e.char_height) ? 0
                   : same_as_first_cell(cell, blank, e.width, e.char_width, e.char_height) ? 1 : 2;
        looks[look]++;
        if (look < 2 && last >= 0 && look != last) turns++;
        if (look < 2) last = look;
        Sleep(20);
    }
    EXPECT_EQ(0, looks[2]) << "looks that were neither";
    EXPECT_GE(turns, 4) << looks[0] << " looks showed the cursor, " << looks[1] << " a blank";
    post_chars(hwnd, L"\r");
    ASSERT_TRUE(wait_worker(5000));
}

TEST(LineInput, CtrlVPastesTheFirstClipboardLineWithoutFinishing)
{
    HWND hwnd = fresh_window();
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    const wchar_t text[] = L"first\r\nsecond";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    memcpy(GlobalLock(block), text, sizeof text);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();

    // The real Ctrl key, so that the worker's own key state holds it (posted messages do not).
    ASSERT_TRUE(hold_ctrl()) << "the window has the keyboard";
    start_input();
    PostMessageW(hwnd, WM_CHAR, 0x16, 0);  // the character Ctrl+V makes is not typed
    PostMessageW(hwnd, WM_KEYDOWN, 'V', 0);
    ASSERT_TRUE(wait_until([] { return entry(1).cursor_x == 5 * entry(1).char_width; }));
    ctrl_key(false);
    // A character typed after the paste is echoed: the input still runs. Typed for real, so
    // that it comes behind the Ctrl release (posted messages would overtake real input).
    type_unit(L'!');
    EXPECT_TRUE(wait_until([] { return entry(1).cursor_x == 6 * entry(1).char_width; }));
    EXPECT_FALSE(worker_done()) << "a paste never finishes the input";
    post_chars(hwnd, L"\r");
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_STREQ("first!", line);
}

// AltGr reaches programs as Ctrl and Alt held together: what it types is text.
TEST(LineInput, CharactersTypedWithCtrlAndAltHeldAreText)
{
    HWND hwnd = fresh_window();
    bool held = hold_ctrl(true);
    // Enter too is typed with both keys held: posted characters overtake the key releases.
    bool finished = false;
    if (held) {
        start_input();
        post_chars(hwnd, L"@\\{}[]\r");
        finished = wait_worker(3000);
    }
    press_key(VK_MENU, false);
    ctrl_key(false);
    if (held && !finished) {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);  // ends the input, whatever it swallowed
        wait_worker(5000);
    }
    ASSERT_TRUE(held) << "the window has the keyboard";
    EXPECT_TRUE(finished);
    EXPECT_STREQ("@\\{}[]", line);
    ASSERT_TRUE(wait_until([] { return !worker_sees_ctrl(); }, 3000));
}

// Only one line input reads at a time: a second one, here from another thread as the Main
// window's dialogues read, gets the empty line at once and leaves the first one reading.
TEST(LineInput, ASecondInputWhileOneReadsIsRefusedAndTheFirstGoesOn)
{
    HWND hwnd = fresh_window();
    start_input();
    post_chars(hwnd, L"ab");
    ASSERT_TRUE(wait_until([] { return entry(1).cursor_x == 2 * entry(1).char_width; }));
    static char second[KAV_LINE_BYTES];
    strcpy(second, "z");
    HANDLE other = CreateThread(NULL, 0, [](LPVOID) -> DWORD {
        KAV_InputText(second);
        return 0;
    }, NULL, 0, NULL);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(other, 3000)) << "refused at once";
    EXPECT_STREQ("", second);
    EXPECT_EQ(2, line_input_window.load());
    EXPECT_NE(std::wstring::npos, status_text().find(L"Input text"));
    post_chars(hwnd, L"c\r");
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_STREQ("abc", line);
    if (WaitForSingleObject(other, 3000) != WAIT_OBJECT_0) TerminateThread(other, 1);
    CloseHandle(other);
}

TEST(TextKeys, CtrlKeysPostCommandsAndOtherKeysGoToTheMainWindow)
{
    HWND hwnd = fresh_window();
    on_worker([] { KAV_OpenTextWindow(2, 340, 20, 200, 100); });  // current, and has the keyboard
    ASSERT_TRUE(hold_ctrl());
    PostMessageW(hwnd, WM_KEYDOWN, 'S', 0);  // Ctrl+S selects window 1
    ASSERT_TRUE(wait_until([] { return current_text_window == 1; }));
    ctrl_key(false);  // released while the window that has the keyboard still exists
    ASSERT_TRUE(wait_until([] { return !worker_sees_ctrl(); }, 3000));

    on_worker([] {});
    ASSERT_EQ(1, run_state.running.load());
    PostMessageW(hwnd, WM_KEYDOWN, 'C', 0);  // Stop, through the Main window
    ASSERT_TRUE(wait_until([] { return run_state.running == 0; }));
    close_all();
}

TEST(TextMenu, CopyItemNamesTheLogAndSelectIsCheckedForTheCurrentWindow)
{
    close_all();
    on_worker([] {
        KAV_OpenTextWindow(3, 0, 0, 200, 100);
        KAV_OpenTextWindow(4, 0, 0, 200, 100);
    });
    HMENU menu = build_text_window_menu(3);
    ASSERT_EQ(11, GetMenuItemCount(menu));
    wchar_t text[64];
    GetMenuStringW(menu, 6, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(L"&Copy KAVLIB03.LOG\tCtrl+C", text);
    EXPECT_EQ(CMD_COPY_LOG, (int)GetMenuItemID(menu, 6));
    EXPECT_FALSE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_CHECKED);
    DestroyMenu(menu);
    menu = build_text_window_menu(4);
    EXPECT_TRUE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(menu, 4, MF_BYPOSITION) & MF_CHECKED) << "no log";
    DestroyMenu(menu);
    close_all();
}

// The prompt's output compared with the same text printed into a twin window.
TEST(CommandPrompt, SpaceSelectsTheWindowAndColorPrintsTheDrawingColours)
{
    close_all();
    on_worker([] {
        KAV_OpenTextWindow(5, 0, 0, 300, 200);
        KAV_OpenTextWindow(6, 320, 0, 300, 200);
    });
    HWND hwnd = text_window_handle(5);
    ASSERT_EQ(6, current_text_window.load());
    PostMessageW(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_TRUE(wait_until([] { return line_input_window == 6; }));
    EXPECT_EQ(5, current_text_window.load());
    EXPECT_EQ(4 * entry(5).char_width, entry(5).cursor_x) << "after Cmd>";
    post_chars(hwnd, L"color\r");
    on_worker([] {});  // returns once the prompt, nested in the worker's pump, is done

    std::vector<uint32_t> got, expected;
    on_worker([&] {
        got = back_buffer(5);
        KAV_SelectTextWindow(6);
        KAV_Printf("Cmd>color\nRed  :255\nGreen:255\nBlue :255\nkav_tttc=ffffff\nkav_tc=000000\n");
        expected = back_buffer(6);
    });
    ASSERT_FALSE(got.empty());
    EXPECT_TRUE(got == expected);

    // Unknown commands, the empty line included.
    on_worker([] {
        KAV_CloseTextWindow(5);
        KAV_CloseTextWindow(6);
        KAV_OpenTextWindow(5, 0, 0, 300, 200);
        KAV_OpenTextWindow(6, 320, 0, 300, 200);
        KAV_SelectTextWindow(5);
    });
    PostMessageW(text_window_handle(5), WM_COMMAND, CMD_COMMAND_PROMPT, 0);
    ASSERT_TRUE(wait_until([] { return line_input_window == 6; }));
    post_chars(text_window_handle(5), L" exit\r");
    on_worker([] {});
    PostMessageW(text_window_handle(5), WM_COMMAND, CMD_COMMAND_PROMPT, 0);
    ASSERT_TRUE(wait_until([] { return line_input_window == 6; }));
    post_chars(text_window_handle(5), L"\r");
    on_worker([] {});
    on_worker([&] {
        got = back_buffer(5);
        KAV_SelectTextWindow(6);
        KAV_Printf("Cmd> exit\nInvalid command\nCmd>\nInvalid command\n");
        expected = back_buffer(6);
    });
    EXPECT_TRUE(got == expected);
    close_all();
}

TEST(CommandPrompt, VerShowsTheAboutTextInItsOwnColoursAndRestoresThem)
{
    close_all();
    on_worker([] { KAV_OpenTextWindow(2, 0, 0, 300, 200); });
    HWND hwnd = text_window_handle(2);
    PostMessageW(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_TRUE(wait_until([] { return line_input_window == 3; }));
    post_chars(hwnd, L"ver\r");
    on_worker([] {});
    on_worker([] {});  // the posted About command runs on the next pump
    std::vector<uint32_t> px;
    on_worker([&] { px = back_buffer(2); });
    TextWindowEntry e = entry(2);
    EXPECT_GT(count_colour(px, e.width, 0, e.char_height, e.width, 2 * e.char_height, KAV_ABOUT_BACK), 0);
    EXPECT_GT(count_colour(px, e.width, 0, e.char_height, e.width, 2 * e.char_height, KAV_ABOUT_TEXT), 0);
    EXPECT_EQ(0xFFFFFF, e.text_color);
    EXPECT_EQ(0, e.back_color);
    close_all();
}
