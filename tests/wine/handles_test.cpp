// Handles in a live process: the whole life of every kind of window, repeated, leaves the
// process's GDI and USER object counts where they were.
#include "harness.h"
#include "gui_counts.h"

#include <stdio.h>

#include "boxes/boxes.h"
#include "imagewin/imagewin.h"
#include "textwin/textwin.h"

using namespace kavtest;

namespace {

char image_file[KAV_PATH_BYTES];  // saved and loaded by every cycle, without its extension

// Creates, paints, zooms, saves, loads, copies, pastes and destroys image window n.
void image_life(int n, bool eight_bits)
{
    if (eight_bits)
        KAV_CreateImage8(n, "handles8", 20, 20, 64, 48, 100);
    else
        KAV_CreateImage(n, "handles32", 120, 20, 64, 48, 100);
    KAV_SelectImage(n);
    for (int i = 0; i < 48; i++) put_pixel(i, i, 0x00C08040);
    KAV_PaintImage(n);
    RedrawWindow(image_windows[n].hwnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    KAV_SetZoom(n, 300);
    KAV_SetZoom(n, 100);
    KAV_SaveImage(48, 64, KAV_BMP, image_file);
    char loaded[KAV_PATH_BYTES];
    snprintf(loaded, sizeof loaded, "%s.bmp", image_file);
    KAV_LoadImage(loaded, 0, 0);
    KAV_CopyToClipboard(n);
    KAV_PasteFromClipboard(n, 8, 8);
    KAV_PumpMessages();
    KAV_DestroyImage(n);
}

// One cycle of everything the test repeats (on the worker).
void one_cycle(void)
{
    image_life(20, true);
    image_life(21, false);
    KAV_OpenTextWindow(30, 240, 20, 200, 100);
    KAV_Printf("cycle\n");
    RedrawWindow(text_window_handle(30), NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    KAV_CloseTextWindow(30);
    KAV_OpenInputBox(20, 200, 3);
    KAV_CloseInputBox();
    KAV_OpenButtonBox(300, 200, 3, 2);
    KAV_CloseButtonBox();
    KAV_PumpMessages();
}

GuiCounts counts(void)
{
    GuiCounts c = {};
    on_worker([&] {
        KAV_PumpMessages();
        c = gui_counts();
    });
    return c;
}

// The counts once two in a row agree: objects that the last cycle's windows and the clipboard
// free a moment later (on this thread or the GUI thread) must not pass for a change.
GuiCounts settled_counts(void)
{
    GuiCounts last = counts();
    for (int i = 0; i < 40; i++) {
        Sleep(25);
        GuiCounts now = counts();
        if (now.gdi == last.gdi && now.user == last.user) return now;
        last = now;
    }
    return last;
}

}  // namespace

TEST(Handles, TwoHundredLivesOfEveryWindowKindLeaveTheCountsWhereTheyWere)
{
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    char folder[KAV_PATH_BYTES];
    WideCharToMultiByte(CP_ACP, 0, temp, -1, folder, sizeof folder, NULL, NULL);
    snprintf(image_file, sizeof image_file, "%skav_handles_%lu", folder, GetCurrentProcessId());

    // A first cycle warms what the system keeps once used (codecs, fonts, clipboard formats).
    on_worker([] { one_cycle(); });
    GuiCounts before = settled_counts();
    // The counting itself sees one pen, one window and one menu more while they live.
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HMENU menu = CreatePopupMenu();
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    GuiCounts more = counts();
    DestroyWindow(window);
    DestroyMenu(menu);
    DeleteObject(pen);
    ASSERT_EQ(before.gdi + 1, more.gdi) << "the count sees GDI objects";
    ASSERT_GE(more.user, before.user + 2) << "the count sees USER objects";
    ASSERT_EQ(before.gdi, counts().gdi);
    for (int i = 0; i < 200; i++) on_worker([] { one_cycle(); });
    GuiCounts after = settled_counts();
    EXPECT_EQ(before.gdi, after.gdi) << "GDI objects after 200 cycles";
    EXPECT_EQ(before.user, after.user) << "USER objects after 200 cycles";

    char saved[KAV_PATH_BYTES];
    snprintf(saved, sizeof saved, "%s.bmp", image_file);
    DeleteFileA(saved);
}
