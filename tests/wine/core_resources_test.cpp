// What the program's resources do in a live process: this test program carries the same
// resources as kavlib.exe (manifest, version, icon), so start-up registers its real classes
// with them and the loader applies the same manifest.
#include "harness.h"

#include <commctrl.h>
#include <wchar.h>

#include "boxes/boxes.h"

using namespace kavtest;

static SIZE icon_size(HICON icon)
{
    SIZE size = {0, 0};
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info)) return size;
    BITMAP bm;
    if (GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm)) {
        size.cx = bm.bmWidth;
        size.cy = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;  // a mask-only icon stacks AND over XOR
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return size;
}

TEST(ProgramResources, EveryWindowClassHasTheProgramIconAtTheSystemSizes)
{
    wchar_t main_class[16];
    swprintf(main_class, 16, L"kavlib_mw%d", instance_number);
    const wchar_t *classes[] = {main_class, L"kav_iw", L"kav_twi", L"kav_ib", L"kav_bb"};
    for (const wchar_t *name : classes) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        ASSERT_TRUE(GetClassInfoExW(module_instance, name, &wc)) << "class registered";
        SIZE big = icon_size(wc.hIcon), small = icon_size(wc.hIconSm);
        EXPECT_EQ(GetSystemMetrics(SM_CXICON), big.cx) << name;
        EXPECT_EQ(GetSystemMetrics(SM_CYICON), big.cy) << name;
        EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), small.cx) << name << ": the caption's icon";
        EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), small.cy) << name;
    }
}

TEST(ProgramResources, ManifestMakesTheProcessDpiAwareAndTheBoxesUseCurrentControls)
{
    // Windows stretches a process that does not declare itself aware (Wine reports every
    // process aware, so there only the manifest's text, read by the process test, shows it).
    EXPECT_TRUE(IsProcessDPIAware());

    // Only version 6 of the push button answers the ideal-size query: an older one leaves the
    // message to the default procedure, which returns 0.
    BOOL answered = FALSE;
    SIZE ideal = {0, 0};
    on_worker([&] {
        KAV_CloseButtonBox();
        KAV_OpenButtonBox(650, 236, 3, 2);
        answered = (BOOL)SendMessageW(GetDlgItem(button_box_window, BUTTON_ID_BASE), BCM_GETIDEALSIZE, 0,
                                      (LPARAM)&ideal);
        KAV_CloseButtonBox();
    });
    EXPECT_TRUE(answered);
    EXPECT_GT(ideal.cx, 0);
}
