// The image-data converter worked from outside, as a user would: real windows, the real open
// dialog, button clicks; saved files are decoded by ImageMagick, run as a Unix program.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string>
#include <vector>

#include "process.h"

using namespace kavproc;

namespace {

const int W = 640, H = 480;

// Folder of the test's data files, next to the built program: Windows and Unix forms.
std::wstring files_dir(void)
{
    std::wstring dir = kavlib_exe();
    for (wchar_t &c : dir)
        if (c == L'/') c = L'\\';
    dir = dir.substr(0, dir.find_last_of(L'\\')) + L"\\app_ptest_files";
    CreateDirectoryW(dir.c_str(), NULL);
    return dir;
}

std::wstring unix_path(const std::wstring &windows_path)
{
    std::wstring path = windows_path.substr(2);  // drops "Z:"
    for (wchar_t &c : path)
        if (c == L'\\') c = L'/';
    return path;
}

std::wstring write_data_file(const wchar_t *name, const char *text)
{
    std::wstring path = files_dir() + L"\\" + name;
    FILE *f = _wfopen(path.c_str(), L"wb");
    EXPECT_TRUE(f != NULL);
    if (f) {
        fputs(text, f);
        fclose(f);
    }
    DeleteFileW((path + L".gif").c_str());
    DeleteFileW((path + L".bmp").c_str());
    return path;
}

bool file_exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// True once the file exists and nobody holds it open any more: its writer has finished.
bool file_closed(const std::wstring &path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

// Decodes an image file with ImageMagick into 640 x 480 grey bytes; empty when it fails. A
// warning (the BMP encoder under Wine leaves the palette out of the header's file size) still
// lets the bytes through, so the output is taken whenever convert wrote it. Wine starts a Unix
// program named by its Unix path but hands back no handle to wait on, so the test waits for the
// output file, which appears under its final name only once it is complete.
std::vector<unsigned char> decode_grey(const std::wstring &image)
{
    std::wstring raw = image + L".grey";
    DeleteFileW(raw.c_str());
    std::wstring u_image = unix_path(image), u_raw = unix_path(raw);
    std::wstring cmd = L"/bin/sh -c \"convert '" + u_image + L"' -depth 8 gray:'" + u_raw + L".part'; mv '" +
                       u_raw + L".part' '" + u_raw + L"'\"";
    std::vector<wchar_t> line(cmd.begin(), cmd.end());
    line.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) return {};
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    if (!wait_until([&] { return file_exists(raw); }, 15000)) return {};
    std::vector<unsigned char> bytes(W * H);
    FILE *f = _wfopen(raw.c_str(), L"rb");
    if (!f) return {};
    size_t got = fread(bytes.data(), 1, bytes.size() + 1, f);
    fclose(f);
    if (got != bytes.size()) return {};
    return bytes;
}

// The converter's windows in a started program.
struct Converter {
    Program program;
    HWND main = NULL, image = NULL, text = NULL, box = NULL;

    bool start_up(void)
    {
        if (!start(program, files_dir().c_str())) return false;
        main = wait_window(program, L"kavlib_mw0", NULL, 15000);
        image = wait_window(program, L"kav_iw", NULL, 10000);
        text = wait_window(program, L"kav_twi", NULL, 10000);
        box = wait_window(program, L"kav_bb", NULL, 10000);
        return main && image && text && box && wait_until([&] { return label(4) == L"5"; }, 10000);
    }
    ~Converter()
    {
        if (main) PostMessageW(main, WM_COMMAND, 1002, 0);
        wait_exit(program, 5000);
        stop(program);
    }
    HWND button(int i) { return GetDlgItem(box, 3000 + i); }
    // True once the main routine has taken every press made before: the converter looks at
    // its buttons in order, so a look that takes UP (and then DOWN, which puts the gain back)
    // has handled every earlier press. Needs the gain below 7.
    bool presses_taken(void)
    {
        std::wstring gain = label(4);
        std::wstring up(1, (wchar_t)(gain[0] + 1));
        return gain.size() == 1 && press_gain(3, up.c_str()) && press_gain(5, gain.c_str());
    }
    // Waits until the box's thread has dispatched every message posted to its windows before:
    // a marker posted behind them (the pushed look of the gain button, which the converter
    // never reads; its state crosses processes) has been taken in, and is then taken back.
    bool box_flushed(void)
    {
        for (int pushed : {TRUE, FALSE}) {
            PostMessageW(button(4), BM_SETSTATE, pushed, 0);
            bool in = wait_until([&] {
                return ((SendMessageW(button(4), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0) == (pushed != 0);
            }, 5000);
            if (!in) return false;
        }
        return true;
    }
    // Twice round the worker's pump: a main routine that still ran would have looked at the
    // buttons between the two.
    bool worker_went_round(void) { return box_flushed() && box_flushed(); }
    std::wstring label(int i) { return window_text(button(i)); }
    void press(int i) { PostMessageW(button(i), BM_CLICK, 0, 0); }

    // Presses UP or DOWN and waits until the gain label shows the expected value.
    bool press_gain(int i, const wchar_t *expected)
    {
        press(i);
        return wait_until([&] { return label(4) == expected; }, 5000);
    }

    // Presses "open", types the path into the real dialog and presses its Open button.
    bool open_file(const std::wstring &path) { return open_through_dialog(program, box, 3000, L"open file", path); }

    // The grey level shown on screen at picture pixel (x, y), -1 when it is not grey.
    int shown(int x, int y)
    {
        RECT r = client_rect_on_screen(image);
        HDC dc = GetDC(NULL);
        COLORREF c = GetPixel(dc, r.left + x, r.top + y);
        ReleaseDC(NULL, dc);
        if (GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c)) return -1;
        return GetRValue(c);
    }
    bool shows(int x, int y, int grey)
    {
        return wait_until([&] { return shown(x, y) == grey; }, 3000);
    }
};

}  // namespace

TEST(Converter, WindowsAppearWhereTheyBelong)
{
    Converter c;
    ASSERT_TRUE(c.start_up());
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(L"Image(100%)[8bit]", window_text(c.image));
    RECT image = client_rect_on_screen(c.image);
    EXPECT_EQ(W, image.right - image.left);
    EXPECT_EQ(H, image.bottom - image.top);
    RECT outer;
    GetWindowRect(c.image, &outer);
    EXPECT_EQ(area.left, outer.left);
    EXPECT_EQ(area.top, outer.top);

    EXPECT_EQ(L"TextWindow 0", window_text(c.text));
    RECT text = client_rect_on_screen(c.text);
    EXPECT_EQ(200, text.right - text.left);
    EXPECT_EQ(200, text.bottom - text.top);
    GetWindowRect(c.text, &outer);
    EXPECT_EQ(area.left + 650, outer.left);
    EXPECT_EQ(area.top, outer.top);

    GetWindowRect(c.box, &outer);
    EXPECT_EQ(area.left + 650, outer.left);
    EXPECT_EQ(area.top + 236, outer.top);
    const wchar_t *labels[6] = {L"open", L"GIF", L"BMP", L"UP", L"5", L"DOWN"};
    for (int i = 0; i < 6; i++) EXPECT_EQ(labels[i], c.label(i)) << "button " << i;
    EXPECT_EQ(0, c.shown(320, 240)) << "the picture starts black";
}

TEST(Converter, OpensShowsWithGainAndSavesNextToTheFile)
{
    Converter c;
    ASSERT_TRUE(c.start_up());
    std::wstring data = write_data_file(L"a.txt", "10 20 3\n300 5 1 639\n479\n65535\n7 8 x\n1 1 1\n");

    // Nothing is saved before a file was read.
    c.press(1);
    c.press(2);
    ASSERT_TRUE(c.presses_taken());
    EXPECT_FALSE(file_exists(data + L".gif"));
    EXPECT_FALSE(file_exists(files_dir() + L"\\.gif"));
    EXPECT_FALSE(file_exists(files_dir() + L"\\.bmp"));

    ASSERT_TRUE(c.open_file(data));
    EXPECT_TRUE(c.shows(10, 20, 189)) << "3 x 63";
    EXPECT_TRUE(c.shows(300, 5, 63));
    EXPECT_TRUE(c.shows(639, 479, 255));
    EXPECT_EQ(0, c.shown(1, 1)) << "reading stopped at the x";
    EXPECT_EQ(0, c.shown(7, 8));

    ASSERT_TRUE(c.press_gain(3, L"6"));
    EXPECT_TRUE(c.shows(10, 20, 255)) << "381 clipped";
    ASSERT_TRUE(c.press_gain(5, L"5"));
    ASSERT_TRUE(c.press_gain(5, L"4"));
    EXPECT_TRUE(c.shows(10, 20, 93)) << "3 x 31";

    c.press(1);
    c.press(2);
    ASSERT_TRUE(wait_until([&] { return file_closed(data + L".gif") && file_closed(data + L".bmp"); }, 5000));
    for (const wchar_t *ext : {L".gif", L".bmp"}) {
        std::vector<unsigned char> grey = decode_grey(data + ext);
        ASSERT_EQ((size_t)(W * H), grey.size()) << "ImageMagick reads the " << ext << " file";
        EXPECT_EQ(93, grey[20 * W + 10]);
        EXPECT_EQ(31, grey[5 * W + 300]);
        EXPECT_EQ(255, grey[479 * W + 639]);
        int lit = 0;
        for (unsigned char g : grey) lit += g != 0;
        EXPECT_EQ(3, lit) << "every other pixel is black";
    }
}

TEST(Converter, GainStopsAtItsEndsAndStartBeginsAfresh)
{
    Converter c;
    ASSERT_TRUE(c.start_up());
    std::wstring data = write_data_file(L"b.txt", "5 5 1\n");
    ASSERT_TRUE(c.open_file(data));
    ASSERT_TRUE(c.shows(5, 5, 63));
    ASSERT_TRUE(c.press_gain(3, L"6"));
    ASSERT_TRUE(c.press_gain(3, L"7"));
    EXPECT_TRUE(c.shows(5, 5, 255));
    c.press(3);
    ASSERT_TRUE(c.worker_went_round());
    EXPECT_EQ(L"7", c.label(4)) << "UP at 7 does nothing";
    for (const wchar_t *k : {L"6", L"5", L"4", L"3", L"2", L"1", L"0"}) ASSERT_TRUE(c.press_gain(5, k));
    EXPECT_TRUE(c.shows(5, 5, 1));
    c.press(5);
    ASSERT_TRUE(c.worker_went_round());
    EXPECT_EQ(L"0", c.label(4)) << "DOWN at 0 does nothing";
    EXPECT_EQ(1, c.shown(5, 5));

    // Stop ends the run: the buttons are no longer served.
    SendMessageW(c.main, WM_COMMAND, 1003, 0);
    ASSERT_TRUE(c.worker_went_round());
    c.press(3);
    ASSERT_TRUE(c.worker_went_round());
    EXPECT_EQ(L"0", c.label(4));
    // Start begins a new run at gain 5, the old picture still shown.
    PostMessageW(c.main, WM_COMMAND, 1001, 0);
    EXPECT_TRUE(wait_until([&] { return c.label(4) == L"5"; }, 5000));
    EXPECT_EQ(1, c.shown(5, 5));
    // The new run has read no file yet: saving does nothing.
    c.press(1);
    ASSERT_TRUE(c.presses_taken());
    EXPECT_FALSE(file_exists(data + L".gif"));
}

TEST(Converter, AFileThatCannotBeReadChangesNothing)
{
    Converter c;
    ASSERT_TRUE(c.start_up());
    std::wstring good = write_data_file(L"c.txt", "2 2 2\n");
    std::wstring locked = write_data_file(L"d.txt", "2 2 4\n3 3 4\n");
    ASSERT_TRUE(c.open_file(good));
    ASSERT_TRUE(c.shows(2, 2, 126));
    HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    ASSERT_TRUE(c.open_file(locked));
    ASSERT_TRUE(c.presses_taken());
    EXPECT_TRUE(c.shows(2, 2, 126)) << "the old samples at the old gain";
    EXPECT_EQ(0, c.shown(3, 3));
    // A name the system code page cannot hold is refused rather than saved under a mangled name.
    std::wstring greek = write_data_file(L"f\u03a9.txt", "2 2 8\n");
    ASSERT_TRUE(c.open_file(greek));
    ASSERT_TRUE(c.presses_taken());
    EXPECT_TRUE(c.shows(2, 2, 126));
    c.press(1);
    EXPECT_TRUE(wait_until([&] { return file_exists(good + L".gif"); }, 5000)) << "the last good file is still the one saved";
    EXPECT_FALSE(file_exists(locked + L".gif"));
    EXPECT_FALSE(file_exists(greek + L".gif"));
    CloseHandle(lock);
}

// The whole contents of a file; empty when it cannot be read.
static std::string file_text(const std::wstring &path)
{
    std::string text;
    FILE *f = _wfopen(path.c_str(), L"rb");
    if (!f) return text;
    int c;
    while ((c = fgetc(f)) != EOF) text += (char)c;
    fclose(f);
    return text;
}

TEST(Converter, ADataFileNamedLikeAPictureIsNeverWrittenOver)
{
    Converter c;
    ASSERT_TRUE(c.start_up());
    const char *text = "4 4 1\n";
    std::wstring gif_named = write_data_file(L"scan.GIF", text);
    std::wstring bmp_named = write_data_file(L"scan2.bmp", text);
    ASSERT_TRUE(c.open_file(gif_named));
    ASSERT_TRUE(c.shows(4, 4, 63));
    c.press(1);
    EXPECT_TRUE(wait_until([&] { return file_exists(gif_named + L".gif"); }, 5000));
    ASSERT_TRUE(c.open_file(bmp_named));
    c.press(2);
    EXPECT_TRUE(wait_until([&] { return file_exists(bmp_named + L".bmp"); }, 5000));
    // The BMP press has been served, and the GIF press before it.
    EXPECT_EQ(text, file_text(gif_named));
    EXPECT_EQ(text, file_text(bmp_named));
}

TEST(Converter, AClosedPictureWindowIsMadeAgain)
{
    Converter c;
    ASSERT_TRUE(c.start_up());
    std::wstring data = write_data_file(L"e.txt", "100 100 2\n");
    ASSERT_TRUE(c.open_file(data));
    ASSERT_TRUE(c.shows(100, 100, 126));
    PostMessageW(c.image, WM_CLOSE, 0, 0);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(c.image); }, 5000));
    ASSERT_TRUE(c.press_gain(3, L"6"));
    c.image = wait_window(c.program, L"kav_iw", NULL, 5000);
    ASSERT_TRUE(c.image != NULL);
    EXPECT_TRUE(c.shows(100, 100, 254)) << "2 x 127";
}

TEST(Converter, ExitEndsTheProcess)
{
    Converter c;
    ASSERT_TRUE(c.start_up());
    PostMessageW(c.main, WM_COMMAND, 1002, 0);
    EXPECT_EQ(0, wait_exit(c.program, 5000));
    c.main = NULL;
}
