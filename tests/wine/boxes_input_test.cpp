// The Input box in a live process: real edit fields, real key messages through the worker's pump
// and its IsDialogMessageW.
#include "harness.h"

#include <string>

#include "boxes/boxes.h"

using namespace kavtest;

static std::wstring text_of(HWND hwnd)
{
    wchar_t text[512];
    if (GetWindowTextW(hwnd, text, 512) == 0) text[0] = L'\0';
    return text;
}

static std::string value_of(int i)
{
    std::string v = "<none>";
    on_worker([&] {
        if (item_values[i]) v = item_values[i];
    });
    return v;
}

static void open_fresh_box(int count)
{
    on_worker([=] {
        KAV_CloseInputBox();
        label_width = LABEL_START_WIDTH;
        edit_width = EDIT_START_WIDTH;
        KAV_OpenInputBox(20, 30, count);
    });
}

static RECT child_rect(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, GetParent(child), (POINT *)&r, 2);
    return r;
}

static void type_text(HWND edit, const wchar_t *text)
{
    for (const wchar_t *c = text; *c; c++) PostMessageW(edit, WM_CHAR, *c, 1);
}

TEST(InputBox, ItemCountsAreClamped)
{
    open_fresh_box(0);
    int count = 0;
    on_worker([&] { count = KAV_InputItemCount(); });
    EXPECT_EQ(1, count);
    EXPECT_EQ("0", value_of(0));
    EXPECT_EQ("<none>", value_of(1));

    open_fresh_box(45);
    on_worker([&] { count = KAV_InputItemCount(); });
    EXPECT_EQ(30, count);
    RECT client;
    GetClientRect(input_box_window, &client);
    EXPECT_EQ(30 * 28 + 2, client.bottom);
    EXPECT_EQ(std::wstring(L"Item 29"), text_of(item_labels[29]));
    EXPECT_EQ("0", value_of(29));
}

TEST(InputBox, TypedTextCommitsOnTabNotBefore)
{
    open_fresh_box(4);
    HWND edit = item_edits[2];
    PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    PostMessageW(edit, WM_KEYDOWN, VK_END, 0);
    PostMessageW(edit, WM_CHAR, VK_BACK, 1);  // removes the "0"
    type_text(edit, L"123");
    ASSERT_TRUE(wait_until([&] { return text_of(edit) == L"123"; }));
    EXPECT_EQ("0", value_of(2)) << "the field has not lost the focus yet";

    PostMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(wait_until([] { return value_of(2) == "123"; }));
    HWND focus = NULL;
    on_worker([&] { focus = GetFocus(); });
    EXPECT_EQ(item_edits[3], focus) << "Tab moves to the next field";
}

TEST(InputBox, EnterCommitsTheFocusedField)
{
    open_fresh_box(3);
    HWND edit = item_edits[1];
    PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    type_text(edit, L"7");
    ASSERT_TRUE(wait_until([&] { return text_of(edit).find(L'7') != std::wstring::npos; }));
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(wait_until([&] { return value_of(1).find('7') != std::string::npos; }));
}

TEST(InputBox, LongTextIsCommittedCutToTheValueBuffer)
{
    open_fresh_box(2);
    std::wstring long_text(600, L'x');
    on_worker([&] {
        SetWindowTextW(item_edits[0], long_text.c_str());
        commit_item_edit(item_edits[0]);
    });
    EXPECT_EQ(std::string(KAV_ITEM_BYTES - 1, 'x'), value_of(0));
}

TEST(InputBox, HeightIsFixedAndBordersResizeLabelsOrFields)
{
    open_fresh_box(3);
    HWND box = input_box_window;
    RECT before;
    GetWindowRect(box, &before);
    RECT proposed = before;
    proposed.bottom += 40;
    proposed.right += 30;
    on_worker([&] { SendMessageW(box, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&proposed); });
    EXPECT_EQ(before.top, proposed.top);
    EXPECT_EQ(before.bottom, proposed.bottom);

    // The right border: the fields narrow, never below 1 pixel.
    on_worker([&] {
        RECT r = before;
        SendMessageW(box, WM_SIZING, WMSZ_RIGHT, (LPARAM)&r);
        SendMessageW(box, WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 86));
    });
    EXPECT_EQ(80, label_width);
    EXPECT_EQ(28, child_rect(item_edits[1]).right - child_rect(item_edits[1]).left);
    on_worker([&] { SendMessageW(box, WM_SIZE, SIZE_RESTORED, MAKELPARAM(30, 86)); });
    EXPECT_EQ(1, edit_width);

    // The left border: the labels change and the fields move.
    on_worker([&] {
        RECT r = before;
        SendMessageW(box, WM_SIZING, WMSZ_LEFT, (LPARAM)&r);
        SendMessageW(box, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 86));
    });
    EXPECT_EQ(187, label_width);
    EXPECT_EQ(1, edit_width);
    EXPECT_EQ(195, child_rect(item_edits[2]).left);
}

TEST(InputBox, WidthsOutliveTheBoxAndCanBeSetWithLabels)
{
    open_fresh_box(3);
    on_worker([] {
        KAV_ResizeInputBox(120, 90);
        KAV_SetInputBoxTitle(1, "Gain");
        KAV_SetInputBoxTitle(3, "never");
    });
    RECT client;
    GetClientRect(input_box_window, &client);
    EXPECT_EQ(222, client.right);
    EXPECT_EQ(std::wstring(L"Gain"), text_of(item_labels[1]));

    HWND first = input_box_window;
    on_worker([] { KAV_OpenInputBox(0, 0, 2); });  // replaces the box, keeping the widths
    EXPECT_FALSE(IsWindow(first));
    GetClientRect(input_box_window, &client);
    EXPECT_EQ(222, client.right);
}

TEST(InputBox, ClosingForgetsTheBoxAndItsValues)
{
    open_fresh_box(3);
    HWND box = input_box_window;
    PostMessageW(box, WM_COMMAND, 1023, 0);  // "Destroy"
    EXPECT_TRUE(wait_until([=] { return input_box_window == NULL && !IsWindow(box); }));
    EXPECT_EQ("<none>", value_of(0));
    int count = -1;
    on_worker([&] { count = KAV_InputItemCount(); });
    EXPECT_EQ(0, count);
}

TEST(InputBox, OpensFromAnotherThreadThroughTheWindowRequest)
{
    on_worker([] { KAV_CloseInputBox(); });
    main_command(CMD_STOP);  // requests are served between runs
    ASSERT_TRUE(wait_until([] { return run_state.running == 0; }));
    KAV_OpenInputBox(40, 50, 2);
    ASSERT_TRUE(input_box_window != NULL);
    RECT area, outer;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(input_box_window, &outer);
    EXPECT_EQ(area.left + 40, outer.left);
    EXPECT_EQ(area.top + 50, outer.top);
    EXPECT_EQ(2, input_item_count);
}
