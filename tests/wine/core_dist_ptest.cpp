// The program started from the unpacked download, as a user starts it: from its own folder,
// with nothing else installed. core_dist_pcheck.sh unpacks the zip and names the folder in
// KAV_DIST_DIR (a Windows path).
#include <gtest/gtest.h>

#include <string>

#include "kavlib.h"
#include "process.h"

using namespace kavproc;

TEST(Download, StartsFromItsFolderOpensASampleAndExits)
{
    const std::wstring dir = path_from_env(L"KAV_DIST_DIR");
    ASSERT_FALSE(dir.empty());
    std::wstring exe = dir + L"\\kavlib.exe";

    Program p;
    ASSERT_TRUE(start(p, dir.c_str(), exe.c_str()));
    HWND main = wait_window(p, L"kavlib_mw0", L"KAVLIB " KAV_VERSION L" [0]", 15000);
    HWND image = wait_window(p, L"kav_iw", NULL, 10000);
    HWND box = wait_window(p, L"kav_bb", NULL, 10000);
    ASSERT_TRUE(main && image && box);
    EXPECT_TRUE(wait_until([&] { return window_text(GetDlgItem(main, 2001)).find(L"bit color") != std::wstring::npos; }, 5000));
    ASSERT_TRUE(wait_until([&] { return window_text(GetDlgItem(box, 3004)) == L"5"; }, 10000)) << "the run began";

    ASSERT_TRUE(open_through_dialog(p, box, 3000, L"open file", dir + L"\\samples\\imagedata_rings.txt"));
    EXPECT_TRUE(wait_until([&] {
        for (unsigned px : screen_pixels(client_rect_on_screen(image)))
            if (px != 0) return true;
        return false;
    }, 10000)) << "the rings appear";

    PostMessageW(main, WM_COMMAND, 1002, 0);
    EXPECT_EQ(0, wait_exit(p, 10000));
    stop(p);
}
