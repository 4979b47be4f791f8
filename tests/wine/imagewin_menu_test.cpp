// The Image window procedure with real posted messages: both popup menus read back while they
// are open, keys and the wheel, the frame, dropped files, and the commands of the menus.
#include "imaging_tools_helpers.h"

#include <shlobj.h>

#include "imagewin/image_commands.h"
#include "textwin/textwin.h"
#include "textwin_helpers.h"

using namespace kavtest;
using namespace tooltest;

namespace {

struct Item {
    std::wstring label;
    UINT id;
    bool separator, checked;
    HMENU submenu;
};

std::vector<Item> read_menu(HMENU menu)
{
    std::vector<Item> items;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        wchar_t text[128] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, (UINT)i, TRUE, &info);
        items.push_back({text, info.wID, (info.fType & MFT_SEPARATOR) != 0,
                         (info.fState & MFS_CHECKED) != 0, info.hSubMenu});
    }
    return items;
}

// Opens a popup menu of image window n with a posted button press, reads it while it is open
// (submenus too, through the items' handles), closes it and waits until it is gone.
std::vector<Item> open_and_read(int n, UINT msg, WPARAM keys, std::vector<std::vector<Item>> *submenus = nullptr,
                                HMENU *handle = nullptr)
{
    client_mouse(n, msg, 5, 5, keys);
    std::vector<Item> items;
    HWND popup = NULL;
    if (!wait_until([&] { return (popup = open_menu_window()) != NULL; })) return items;
    HMENU menu = (HMENU)SendMessageW(popup, MN_GETHMENU, 0, 0);
    items = read_menu(menu);
    if (submenus)
        for (const Item &i : items) submenus->push_back(i.submenu ? read_menu(i.submenu) : std::vector<Item>());
    if (handle) *handle = menu;
    EndMenu();
    wait_until([] { return open_menu_window() == NULL; });
    on_worker([] {});  // TrackPopupMenu has returned
    return items;
}

std::wstring labels(const std::vector<Item> &items)
{
    std::wstring s;
    for (const Item &i : items) s += (i.separator ? L"-" : i.label + L"=" + std::to_wstring(i.id)) + L"|";
    return s;
}

void set_ctrl(bool down)
{
    on_worker([&] {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    });
}

std::wstring title(int n)
{
    wchar_t text[300] = L"";
    GetWindowTextW(window_of(n), text, 300);
    return text;
}

// A 24-bit BMP of one colour.
void write_bmp(const std::wstring &path, int w, int h, uint32_t colour)
{
    int row = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + row * h;
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    std::vector<BYTE> bits((size_t)row * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            bits[y * row + x * 3] = (BYTE)colour;
            bits[y * row + x * 3 + 1] = (BYTE)(colour >> 8);
            bits[y * row + x * 3 + 2] = (BYTE)(colour >> 16);
        }
    FILE *f = _wfopen(path.c_str(), L"wb");
    ASSERT_TRUE(f != NULL);
    fwrite(&fh, sizeof fh, 1, f);
    fwrite(&ih, sizeof ih, 1, f);
    fwrite(bits.data(), 1, bits.size(), f);
    fclose(f);
}

// Posts WM_DROPFILES with these names to a window, as the shell hands them over.
void drop(HWND hwnd, const std::vector<std::wstring> &names)
{
    std::wstring list;
    for (const std::wstring &n : names) list += n + L'\0';
    list += L'\0';
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * 2);
    DROPFILES *d = (DROPFILES *)GlobalLock(block);
    d->pFiles = sizeof(DROPFILES);
    d->fWide = TRUE;
    memcpy(d + 1, list.data(), list.size() * 2);
    GlobalUnlock(block);
    PostMessageW(hwnd, WM_DROPFILES, (WPARAM)block, 0);
}

std::wstring temp_folder(void)
{
    wchar_t path[MAX_PATH];
    GetTempPathW(MAX_PATH, path);
    return path;
}

uint32_t pixel(int n, int x, int y) { return pixels[n].words[y * image_windows[n].width + x] & 0xFFFFFF; }

}  // namespace

class ImageWindow : public ::testing::Test {
protected:
    void SetUp() override { destroy_all(); }
    void TearDown() override
    {
        set_ctrl(false);
        if (pick_in_progress) main_command(CMD_STOP);
        wait_worker(5000);
        destroy_all();
    }
};

TEST_F(ImageWindow, FileMenuItemsIdsAndZoomChecksAreReadBackWhileOpen)
{
    make_window(1, "menu", 300, 200);
    HMENU handle = NULL;
    std::vector<Item> items = open_and_read(1, WM_RBUTTONDOWN, MK_RBUTTON, nullptr, &handle);
    EXPECT_EQ(L"Cut\tCtrl+X=1011|Copy\tCtrl+C=1012|Paste\tCtrl+V=1013|-|&Load image file=1004|&Save as=1010|-|"
              L"Zoom: 50%=1007|Zoom:100%\tCtrl+0=1008|Zoom:200%=1009|&Zoom...=1046|-|&Resize...=1047|"
              L"&Destroy\tCtrl+Q=1005|",
              labels(items));
    ASSERT_EQ(14u, items.size());
    EXPECT_FALSE(items[7].checked);
    EXPECT_TRUE(items[8].checked);
    EXPECT_FALSE(items[9].checked);
    EXPECT_FALSE(IsMenu(handle)) << "destroyed after use";

    on_worker([] { set_zoom(1, 111); });
    items = open_and_read(1, WM_RBUTTONDOWN, MK_RBUTTON);
    ASSERT_EQ(14u, items.size());
    EXPECT_FALSE(items[7].checked || items[8].checked || items[9].checked) << "at 111 % no zoom item is checked";
}

TEST_F(ImageWindow, ProcessingMenuAndItsSubmenusFollowTheDepth)
{
    make_window(1, "menu32", 300, 200);
    std::vector<std::vector<Item>> sub;
    std::vector<Item> items = open_and_read(1, WM_MBUTTONDOWN, MK_MBUTTON, &sub);
    EXPECT_EQ(L"Process...=0|-|Information...=0|-|Test Pattern...=0|-|Clipping\tCtrl+R=1019|-|Color...=0|"
              L"Draw Line...=0|Draw Box...=0|Draw Circle...=0|TrueType...=0|Draw Text=1042|Paint=1043|",
              labels(items))
        << "submenu items carry no id";
    ASSERT_EQ(15u, sub.size());
    EXPECT_EQ(L"Invert=1058|-|R. Rotate=1061|L. Rotate=1062|-|Horz. Flip=1059|Vert. Flip=1060|-|"
              L"Size 50.0%=1063|Size 70.7%=1064|Size 141.4%=1065|Size 200.0%=1066|",
              labels(sub[0]));
    EXPECT_EQ(L"Pixel=1015|Line(RGB)=1016|Line(HSV)=1017|Line(YCrCb)=1018|Line(CrCb)=1021|-|Area(CrCb)=1022|",
              labels(sub[2]));
    EXPECT_EQ(L"RGB=1053|HSV=1054|YCrCb=1055|Yuv=1067|YIQ=1068|Grey=1071|", labels(sub[4]));
    EXPECT_EQ(L"Change=1031|Pick=1052|", labels(sub[8]));
    EXPECT_EQ(L"Normal=1032|Horz.=1034|Vert.=1035|", labels(sub[9]));
    EXPECT_EQ(L"Normal=1036|Fill=1037|Fill XOR=1038|", labels(sub[10]));
    EXPECT_EQ(L"Normal=1039|Fill=1040|Fill XOR=1041|", labels(sub[11]));
    EXPECT_EQ(L"Draw=1048|Font Change=1049|", labels(sub[12]));

    make_window(2, "menu8", 300, 200, 8);
    sub.clear();
    items = open_and_read(2, WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, &sub);
    ASSERT_EQ(15u, sub.size()) << "Ctrl + right button opens the same menu";
    EXPECT_EQ(L"Pixel=1015|Line(Lumi)=1070|", labels(sub[2]));
}

TEST_F(ImageWindow, CtrlKeypadZoomsTabTogglesSmoothingAndTheFrameKeepsItsSize)
{
    make_window(1, "keys", 300, 200);
    HWND w = window_of(1);
    set_ctrl(true);
    PostMessageW(w, WM_KEYDOWN, VK_ADD, 0);
    EXPECT_TRUE(wait_until([&] { return image_windows[1].zoom == 111; }));
    EXPECT_EQ(L"keys(111%)", title(1));
    PostMessageW(w, WM_KEYDOWN, VK_NUMPAD0, 0);
    EXPECT_TRUE(wait_until([&] { return image_windows[1].zoom == 100; }));
    PostMessageW(w, WM_KEYDOWN, VK_SUBTRACT, 0);
    EXPECT_TRUE(wait_until([&] { return image_windows[1].zoom == 90; }));
    EXPECT_EQ(L"keys(90%)", title(1));
    PostMessageW(w, WM_KEYDOWN, '0', 0);  // the main row's 0 does nothing ...
    PostMessageW(w, WM_KEYDOWN, VK_TAB, 0);  // ... and Tab with Ctrl still toggles
    EXPECT_TRUE(wait_until([&] { return title(1) == L"keys(90%)*"; }));
    EXPECT_EQ(90, image_windows[1].zoom);
    set_ctrl(false);
    PostMessageW(w, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(wait_until([&] { return title(1) == L"keys(90%)"; }));
    EXPECT_EQ(COLORONCOLOR, get_stretch_mode(1));

    RECT before, proposed;
    GetWindowRect(w, &before);
    proposed = before;
    proposed.right += 50;
    proposed.bottom += 30;
    SendMessageW(w, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&proposed);
    EXPECT_TRUE(EqualRect(&before, &proposed));
}

TEST_F(ImageWindow, OnlyACtrlWheelZooms)
{
    make_window(1, "wheel", 300, 200);
    HWND w = window_of(1);
    PostMessageW(w, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-120), 0);  // no Ctrl: nothing
    PostMessageW(w, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, (WORD)(short)-120), 0);
    EXPECT_TRUE(wait_until([&] { return image_windows[1].zoom == 111; }));
    PostMessageW(w, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), 0);
    PostMessageW(w, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), 0);
    EXPECT_TRUE(wait_until([&] { return image_windows[1].zoom == 90; })) << "111 -> 100 -> 90, the first turn did nothing";
}

TEST_F(ImageWindow, DropLoadsTheFirstFileOnlyAndRefusesANameTooLongForAPath)
{
    make_window(1, "drop", 200, 160);
    make_window(2, "current", 200, 160, 32, 100, 300, 40);
    on_worker([] { clear_image(1); });
    std::wstring folder = temp_folder();
    std::wstring red = folder + L"kav_drop_red.bmp", blue = folder + L"kav_drop_blue.bmp";
    write_bmp(red, 4, 4, 0xFF0000);
    write_bmp(blue, 6, 6, 0x0000FF);
    // A name whose first 259 characters name a real file: cutting it would load that file.
    std::wstring cut = folder + std::wstring(KAV_PATH_UNITS - 1 - folder.size(), L'c');
    write_bmp(cut, 8, 8, 0x00FF00);
    drop(window_of(1), {cut + L"-not-a-file.bmp", blue});
    drop(window_of(1), {red, blue});
    ASSERT_TRUE(wait_until([] { return pixel(1, 0, 0) == 0xFF0000; }));
    on_worker([] {});  // the drop's handler has returned
    EXPECT_EQ(0x000000u, pixel(1, 7, 7)) << "the cut name was not loaded";
    EXPECT_EQ(0x000000u, pixel(1, 5, 5)) << "the second file was not loaded";
    EXPECT_EQ(2, current_image_window) << "the current window is restored";
    DeleteFileW(red.c_str());
    DeleteFileW(blue.c_str());
    DeleteFileW(cut.c_str());
}

TEST_F(ImageWindow, PixelReadoutPrintsEveryColourModel)
{
    twtest::close_all();
    make_window(1, "pixel", 200, 160);
    on_worker([] {
        pixels[1].words[7 * 200 + 9] = 0xFFFFFF;
        KAV_OpenTextWindow(3, 0, 0, 400, 200);
    });
    PostMessageW(window_of(1), WM_COMMAND, IMG_PIXEL, 0);
    ASSERT_TRUE(wait_until([] { return pick_in_progress == 1; }));
    EXPECT_EQ(L"Click a point", status());
    left_click(1, 9, 7);
    ASSERT_TRUE(wait_until([] { return pick_in_progress == 0; }));
    std::vector<uint32_t> printed, expected;
    on_worker([&] {
        KAV_PumpMessages();
        printed = twtest::back_buffer(3);
        KAV_OpenTextWindow(4, 0, 0, 400, 200);
        KAV_Yuv yuv = to_yuv(0xFFFFFF);
        KAV_Yiq yiq = to_yiq(0xFFFFFF);
        KAV_Printf("(X,Y)=(9,7)\n(R,G,B)=(255,255,255)\n(H,S,V)=(0,0,255)\n(Y,Cr,Cb)=(255,0,0)\n");
        KAV_Printf("(Y,u,v)=(255,%d,%d)\n(Y,I,Q)=(255,%d,%d)\n\n", yuv.u, yuv.v, yiq.i, yiq.q);
        expected = twtest::back_buffer(4);
    });
    EXPECT_FALSE(printed.empty());
    EXPECT_TRUE(printed == expected) << "the readout prints exactly the expected lines";
    twtest::close_all();
}

TEST_F(ImageWindow, ProfilesOfAWhiteRowAndTheCrCbPointsOfRedAndBlue)
{
    make_window(1, "white", 20, 10);
    on_worker([] {
        for (int i = 0; i < 200; i++) pixels[1].words[i] = 0xFFFFFF;
    });
    PostMessageW(window_of(1), WM_COMMAND, IMG_LINE_RGB, 0);
    ASSERT_TRUE(wait_until([] { return pick_in_progress == 1; }));
    left_click(1, 5, 3);
    ASSERT_TRUE(wait_until([] { return KAV_IsImageWindow(0) == 1 && pick_in_progress == 0; }));
    on_worker([] {});
    EXPECT_STREQ("RGB(Y=3)", image_windows[0].name);
    EXPECT_EQ(32, image_windows[0].width);
    EXPECT_EQ(128, image_windows[0].height);
    EXPECT_EQ(32, image_windows[0].bits_per_pixel);
    int blue_on_top = 0, lit_below = 0;
    for (int x = 12; x < 32; x++) {
        blue_on_top += pixel(0, x, 0) == 0x0000FF;  // R, G, then B along row 0
        for (int y = 1; y < 128; y++) lit_below += pixel(0, x, y) != 0;
    }
    EXPECT_EQ(20, blue_on_top);
    EXPECT_EQ(0, lit_below);

    PostMessageW(window_of(1), WM_COMMAND, IMG_LINE_HSV, 0);
    ASSERT_TRUE(wait_until([] { return pick_in_progress == 1; }));
    left_click(1, 5, 3);
    ASSERT_TRUE(wait_until([] { return KAV_IsImageWindow(2) == 1 && pick_in_progress == 0; }));
    on_worker([] {});
    int hue_row = 0, value_row = 0;
    for (int x = 12; x < 32; x++) {
        hue_row += pixel(2, x, 127) == 0xFF00FF;  // hue 0 and saturation 0 on row 127, S drawn last
        value_row += pixel(2, x, 0) == 0x00FFFF;
    }
    EXPECT_EQ(20, hue_row);
    EXPECT_EQ(20, value_row);

    make_window(3, "redblue", 2, 1);
    on_worker([] {
        pixels[3].words[0] = 0xFF0000;
        pixels[3].words[1] = 0x0000FF;
    });
    PostMessageW(window_of(3), WM_COMMAND, IMG_LINE_CRCB, 0);
    ASSERT_TRUE(wait_until([] { return pick_in_progress == 1; }));
    left_click(3, 0, 0);
    ASSERT_TRUE(wait_until([] { return KAV_IsImageWindow(4) == 1 && pick_in_progress == 0; }));
    on_worker([] {});
    EXPECT_STREQ("CrCb(Y=0)", image_windows[4].name);
    EXPECT_EQ(256, image_windows[4].width);
    EXPECT_EQ(0xFF00FFu, pixel(4, 86, 0)) << "red, then the magenta segment toward blue";
    int clipped_end = 0;
    for (int y = 0; y < 256; y++) clipped_end += pixel(4, 255, y) == 0xFF00FF;
    EXPECT_GE(clipped_end, 1) << "the segment runs to the edge; blue itself lies outside";
    EXPECT_EQ(0x808080u, pixel(4, 0, 128));
    EXPECT_EQ(0x808080u, pixel(4, 128, 255));
}

TEST_F(ImageWindow, CtrlRClipsAPickedBoxOfAnEightBitWindowWithItsColours)
{
    make_window(1, "clip", 200, 160, 8);
    uint32_t table[256];
    for (int i = 0; i < 256; i++) table[i] = (uint32_t)i << 16 | (uint32_t)(255 - i);
    on_worker([&] {
        select_current_window(1);
        set_colour_table(table, 256);
    });
    std::vector<uint32_t> source = picture(1);
    set_ctrl(true);
    PostMessageW(window_of(1), WM_KEYDOWN, 'R', 0);
    ASSERT_TRUE(wait_until([] { return pick_in_progress == 1; }));
    left_click(1, 120, 80);
    EXPECT_TRUE(wait_status(L"Click the second point"));
    left_click(1, 50, 30);
    ASSERT_TRUE(wait_until([] { return KAV_IsImageWindow(0) == 1 && pick_in_progress == 0; }));
    set_ctrl(false);
    EXPECT_STREQ("(50,30)-(120,80)", image_windows[0].name);
    EXPECT_EQ(71, image_windows[0].width);
    EXPECT_EQ(51, image_windows[0].height);
    EXPECT_EQ(8, image_windows[0].bits_per_pixel);
    EXPECT_EQ(0, current_image_window) << "the clipping is the current window";
    uint32_t copied[256] = {};
    on_worker([&] { get_colour_table(copied); });
    EXPECT_EQ(0, memcmp(table, copied, sizeof table));
    std::vector<uint32_t> clip = picture(0);
    int wrong = 0;
    for (int y = 0; y < 51; y++)
        for (int x = 0; x < 71; x++) wrong += clip[y * 71 + x] != source[(y + 30) * 200 + x + 50];
    EXPECT_EQ(0, wrong);
}

TEST_F(ImageWindow, CtrlVPastesAtTheCornerAndTheMenusPasteAtAPickedCentre)
{
    make_window(1, "red", 10, 10);
    make_window(2, "target", 200, 160);
    on_worker([] {
        for (int i = 0; i < 100; i++) pixels[1].words[i] = 0xFF0000;
        clear_image(2);
        copy_to_clipboard(1);
    });
    set_ctrl(true);
    PostMessageW(window_of(2), WM_KEYDOWN, 'V', 0);
    ASSERT_TRUE(wait_until([] { return pixel(2, 0, 0) == 0xFF0000; }));
    set_ctrl(false);
    EXPECT_EQ(0xFF0000u, pixel(2, 9, 9));
    EXPECT_EQ(0u, pixel(2, 10, 10));
    EXPECT_EQ(0, pick_in_progress.load());

    PostMessageW(window_of(2), WM_COMMAND, IMG_PASTE_PICKED, 0);
    ASSERT_TRUE(wait_until([] { return pick_in_progress == 1; }));
    EXPECT_EQ(L"Click a point", status());
    move_to(2, 60, 60);
    left_click(2, 60, 50);
    ASSERT_TRUE(wait_until([] { return pixel(2, 55, 45) == 0xFF0000; }));
    EXPECT_EQ(0xFF0000u, pixel(2, 64, 54));
    EXPECT_EQ(0u, pixel(2, 54, 44));
    EXPECT_EQ(0u, pixel(2, 65, 55));
    EXPECT_EQ(0u, pixel(2, 60, 65)) << "no trace of the outline";
}

TEST_F(ImageWindow, CancelledChoosersKeepTheFontAndTheColours)
{
    make_window(1, "choose", 200, 160);
    HFONT font = truetype_font;
    uint32_t colour = drawing_colour, text = kav_tc;
    for (int id : {IMG_FONT_CHANGE, IMG_COLOUR_CHANGE}) {
        PostMessageW(window_of(1), WM_COMMAND, id, 0);
        HWND dialog = NULL;
        ASSERT_TRUE(wait_until([&] {
            dialog = FindWindowW(L"#32770", NULL);
            return dialog && GetWindow(dialog, GW_OWNER) == window_of(1);
        })) << id;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(wait_until([&] { return !IsWindow(dialog); }));
        on_worker([] {});
    }
    EXPECT_EQ(font, truetype_font);
    EXPECT_EQ(OBJ_FONT, (int)GetObjectType(truetype_font)) << "the font was not deleted";
    EXPECT_EQ(colour, drawing_colour);
    EXPECT_EQ(text, kav_tc);
}

TEST_F(ImageWindow, TextWindowMenuIsRefusedDuringAPick)
{
    twtest::close_all();
    make_window(1, "pick", 200, 160);
    on_worker([] { KAV_OpenTextWindow(3, 500, 0, 200, 100); });
    int r = -1;
    int32_t x, y;
    ASSERT_TRUE(start_pick([&] { r = pick_point(1, &x, &y); }));
    PostMessageW(text_window_handle(3), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    left_click(1, 8, 9);
    ASSERT_TRUE(wait_worker(5000));
    EXPECT_EQ(NULL, open_menu_window());
    EXPECT_EQ(0, r);
    twtest::close_all();
}

// Runs a menu command that picks points on window n: posts it, waits for the tool, clicks the
// image points given (a right click for a point of -1, -1) and waits until the pick is over.
static void picked_command(int n, int id, std::vector<POINT> points)
{
    PostMessageW(window_of(n), WM_COMMAND, id, 0);
    ASSERT_TRUE(wait_until([] { return pick_in_progress == 1; })) << id;
    for (size_t i = 0; i < points.size(); i++) {
        if (points[i].x < 0) right_click(n);
        else left_click(n, points[i].x, points[i].y);
        if (i + 1 < points.size()) {
            // the next press goes in only once the tool has taken this one
            if (points[i].x < 0) EXPECT_TRUE(wait_status(L"Click the first point"));
            else EXPECT_TRUE(wait_status(L"Click the second point"));
        }
    }
}

static void wait_command_done(void)
{
    ASSERT_TRUE(wait_until([] { return pick_in_progress == 0; }));
    on_worker([] {});
}

// Pixels that differ between two pictures.
static int changed(const std::vector<uint32_t> &a, const std::vector<uint32_t> &b)
{
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); i++) n += a[i] != b[i];
    return n + (int)(a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

TEST_F(ImageWindow, DrawingCommandsDrawBetweenThePickedPointsAndNothingWhenCancelled)
{
    make_window(1, "draw", 200, 160);
    on_worker([] { drawing_colour = 0x123456; });
    std::vector<uint32_t> before = picture(1);
    picked_command(1, IMG_DRAW_LINE, {{10, 20}, {60, 30}});
    wait_command_done();
    std::vector<uint32_t> after = picture(1);
    EXPECT_EQ(51, changed(before, after)) << "an x-major line sets one pixel per column";
    EXPECT_EQ(0x123456u, after[20 * 200 + 10]);
    EXPECT_EQ(0x123456u, after[30 * 200 + 60]);

    before = after;
    picked_command(1, IMG_XOR_FILL_BOX, {{50, 40}, {-1, -1}, {-1, -1}});
    wait_command_done();
    EXPECT_TRUE(before == picture(1)) << "restarted, then cancelled: nothing drawn";

    picked_command(1, IMG_XOR_FILL_BOX, {{50, 40}, {41, 31}});
    wait_command_done();
    after = picture(1);
    EXPECT_EQ(100, changed(before, after)) << "the 10 x 10 box between the ordered corners";
    EXPECT_EQ(before[31 * 200 + 41] ^ 0xFFFFFF, after[31 * 200 + 41]);

    on_worker([] {
        clear_image(1);
        select_current_window(1);
        draw_line(0xFFFFFF, 0, 80, 199, 80);  // splits the picture in two
    });
    picked_command(1, IMG_PAINT, {{100, 100}});
    wait_command_done();
    after = picture(1);
    int painted = 0;
    for (uint32_t p : after) painted += p == 0x123456;
    EXPECT_EQ(200 * 79, painted) << "the fill stops at the line";
}

TEST_F(ImageWindow, DrawTextReadsALineAndColourPickTakesTheTableColour)
{
    twtest::close_all();
    make_window(1, "text", 200, 160);
    on_worker([] {
        clear_image(1);
        drawing_colour = 0x00FF00;
        KAV_OpenTextWindow(3, 500, 0, 300, 100);
    });
    picked_command(1, IMG_DRAW_TEXT, {{20, 40}});
    ASSERT_TRUE(wait_until([] { return line_input_window != 0; }));
    for (wchar_t c : std::wstring(L"AB\r")) PostMessageW(text_window_handle(3), WM_CHAR, c, 0);
    ASSERT_TRUE(wait_until([] { return line_input_window == 0; }));
    on_worker([] {});
    std::vector<uint32_t> after = picture(1);
    int in_cells = 0, outside = 0;
    for (int y = 0; y < 160; y++)
        for (int x = 0; x < 200; x++) {
            bool cell = x >= 20 && x < 36 && y >= 26 && y < 40;
            if (after[y * 200 + x] == 0x00FF00) (cell ? in_cells : outside)++;
        }
    EXPECT_GT(in_cells, 20) << "two glyphs above the baseline at the picked point";
    EXPECT_EQ(0, outside);
    EXPECT_EQ(0x00FF00u, kav_tc);

    make_window(2, "pick8", 200, 160, 8);
    uint32_t table[256];
    for (int i = 0; i < 256; i++) table[i] = 0x010203u * (uint32_t)(255 - i);
    on_worker([&] {
        select_current_window(2);
        set_colour_table(table, 256);
        pixels[2].bytes[10 * 200 + 30] = 7;
    });
    uint32_t text_colour = kav_tc;
    picked_command(2, IMG_COLOUR_PICK, {{30, 10}});
    wait_command_done();
    EXPECT_EQ(7u, drawing_colour);
    EXPECT_EQ(table[7], kav_tttc);
    EXPECT_EQ(text_colour, kav_tc) << "the built-in font's colour is not changed";
    twtest::close_all();
}

TEST_F(ImageWindow, ZoomAndResizeAskInTextWindowZero)
{
    twtest::close_all();
    make_window(1, "ask", 200, 120);
    PostMessageW(window_of(1), WM_COMMAND, IMG_ZOOM_ASK, 0);
    ASSERT_TRUE(wait_until([] { return line_input_window == 1; })) << "text window 0 reads the line";
    for (wchar_t c : std::wstring(L"150\r")) PostMessageW(text_window_handle(0), WM_CHAR, c, 0);
    ASSERT_TRUE(wait_until([] { return image_windows[1].zoom == 150; }));
    PostMessageW(window_of(1), WM_COMMAND, IMG_RESIZE_ASK, 0);
    ASSERT_TRUE(wait_until([] { return line_input_window == 1; }));
    // The height is asked for on the next line as soon as the width is read: the input may end
    // and start again between two looks, so the prompt's line is what tells the second input.
    const int width_line = twtest::entry(0).cursor_y;
    for (wchar_t c : std::wstring(L"300\r")) PostMessageW(text_window_handle(0), WM_CHAR, c, 0);
    ASSERT_TRUE(wait_until([&] { return twtest::entry(0).cursor_y != width_line && line_input_window == 1; }));
    for (wchar_t c : std::wstring(L"x\r")) PostMessageW(text_window_handle(0), WM_CHAR, c, 0);
    ASSERT_TRUE(wait_until([] { return image_windows[1].width == 300; }));
    on_worker([] {});
    EXPECT_EQ(1, image_windows[1].height) << "text that is no number gives 0, raised to 1";
    twtest::close_all();
}

TEST_F(ImageWindow, AreaScatterAndEveryGraphWindow)
{
    make_window(1, "graphs", 160, 120);
    on_worker([] {
        select_current_window(1);
        pattern_rgb();
    });
    struct Graph { int id; const char *shot; int clicks; };
    const Graph graphs[] = {
        {IMG_LINE_RGB, "graph_rgb", 1}, {IMG_LINE_HSV, "graph_hsv", 1}, {IMG_LINE_YCRCB, "graph_ycrcb", 1},
        {IMG_LINE_CRCB, "graph_crcb_line", 1}, {IMG_AREA_CRCB, "graph_crcb_area", 2},
    };
    int expected_number = 0;
    for (const Graph &g : graphs) {
        if (g.clicks == 1) picked_command(1, g.id, {{80, 60}});
        else picked_command(1, g.id, {{100, 90}, {20, 10}});
        wait_command_done();
        ASSERT_TRUE(KAV_IsImageWindow(expected_number)) << g.shot;
        screenshot(window_of(expected_number), g.shot);
        expected_number += expected_number == 0 ? 2 : 1;  // window 1 is the source
    }
    EXPECT_STREQ("CrCb(20,10)-(100,90)", image_windows[5].name);
    int lit = 0;
    for (uint32_t p : picture(5)) lit += p == 0xFFFFFF;
    EXPECT_GT(lit, 100) << "the scatter of 81 rows";

    make_window(6, "grey", 160, 100, 8);
    on_worker([] {
        select_current_window(6);
        pattern_grey();
    });
    picked_command(6, IMG_LINE_LUMI, {{50, 20}});
    wait_command_done();
    ASSERT_TRUE(KAV_IsImageWindow(7));
    EXPECT_STREQ("Luminance(Y=20)", image_windows[7].name);
    EXPECT_EQ(172, image_windows[7].width);
    screenshot(window_of(7), "graph_lumi");
}

TEST_F(ImageWindow, InvertThenRightRotateActOnTheClickedWindow)
{
    make_window(1, "process", 200, 120);
    make_window(2, "current", 200, 120, 32, 100, 300, 40);
    std::vector<uint32_t> before = picture(1);
    PostMessageW(window_of(1), WM_COMMAND, IMG_INVERT, 0);
    PostMessageW(window_of(1), WM_COMMAND, IMG_ROTATE_RIGHT, 0);
    ASSERT_TRUE(wait_until([] { return image_windows[1].width == 120; }));
    // A quarter turn clockwise puts the old bottom-left pixel at the top-left.
    EXPECT_EQ(before[119 * 200 + 0] ^ 0xFFFFFF, picture(1)[0]);
}
