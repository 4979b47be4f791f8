// process.cpp - see process.h.
#include "process.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace kavproc {

const wchar_t *kavlib_exe(void) { return L"" KAVLIB_EXE_WIN; }
const wchar_t *source_dir(void) { return L"" KAV_SOURCE_WIN; }
const wchar_t *stubborn_exe(void) { return L"" KAV_STUBBORN_WIN; }
const wchar_t *status_exe(void) { return L"" KAV_STATUS_APP_WIN; }

std::wstring path_from_env(const wchar_t *name)
{
    const wchar_t *value = _wgetenv(name);
    std::wstring path = value ? value : L"";
    for (wchar_t &c : path)
        if (c == L'/') c = L'\\';
    return path;
}

bool start(Program &p, const wchar_t *dir, const wchar_t *exe)
{
    if (!exe) exe = kavlib_exe();
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    std::wstring cmd = std::wstring(L"\"") + exe + L"\"";
    std::vector<wchar_t> line(cmd.begin(), cmd.end());
    line.push_back(L'\0');
    p.started = CreateProcessW(exe, line.data(), NULL, NULL, FALSE, 0, NULL, dir, &si, &p.info) != 0;
    return p.started;
}

Program::~Program() { stop(*this); }

int wait_exit(Program &p, int timeout_ms)
{
    if (!p.started) return -1;
    if (WaitForSingleObject(p.info.hProcess, (DWORD)timeout_ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(p.info.hProcess, &code);
    return (int)code;
}

void stop(Program &p)
{
    if (!p.started) return;
    if (WaitForSingleObject(p.info.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(p.info.hProcess, 99);
        WaitForSingleObject(p.info.hProcess, 5000);
    }
    CloseHandle(p.info.hThread);
    CloseHandle(p.info.hProcess);
    p.started = false;
}

struct Search {
    DWORD pid;
    const wchar_t *cls;
    const wchar_t *title;
    HWND found;
};

static BOOL CALLBACK match_window(HWND hwnd, LPARAM lparam)
{
    Search *s = (Search *)lparam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid) return TRUE;
    wchar_t cls[256];
    GetClassNameW(hwnd, cls, 256);
    if (lstrcmpW(cls, s->cls) != 0) return TRUE;
    if (s->title && window_text(hwnd) != s->title) return TRUE;
    s->found = hwnd;
    return FALSE;
}

HWND find_window(const Program &p, const wchar_t *cls, const wchar_t *title)
{
    Search s = {p.info.dwProcessId, cls, title, NULL};
    EnumWindows(match_window, (LPARAM)&s);
    return s.found;
}

HWND wait_window(const Program &p, const wchar_t *cls, const wchar_t *title, int timeout_ms)
{
    HWND found = NULL;
    wait_until([&] { return (found = find_window(p, cls, title)) != NULL; }, timeout_ms);
    return found;
}

std::wstring window_text(HWND hwnd)
{
    wchar_t text[512];
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &got)) return L"";
    text[511] = L'\0';
    return text;
}

RECT client_rect_on_screen(HWND hwnd)
{
    RECT r;
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, NULL, (POINT *)&r, 2);
    return r;
}

bool open_through_dialog(const Program &p, HWND box, int button_id, const wchar_t *title, const std::wstring &path)
{
    PostMessageW(GetDlgItem(box, button_id), BM_CLICK, 0, 0);
    HWND dialog = wait_window(p, L"#32770", title, 10000);
    if (!dialog) return false;
    HWND name = GetDlgItem(dialog, 0x47c);         // the file name combo box
    if (!name) name = GetDlgItem(dialog, 0x480);  // or the plain file name field
    if (!name) return false;
    SendMessageW(name, WM_SETTEXT, 0, (LPARAM)path.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDOK));
    return wait_until([&] { return !IsWindow(dialog); }, 10000);
}

// Copies the screen inside r into a top-down 32-bit DIB section and hands its pixels to use.
template <class F> static bool with_screen_copy(const RECT &r, F use)
{
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    bool ok = dib && bits;
    if (ok) {
        HGDIOBJ old = SelectObject(mem, dib);
        ok = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(mem, old);
        if (ok) use((const unsigned *)bits, w, h);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return ok;
}

std::vector<unsigned> screen_pixels(const RECT &r)
{
    std::vector<unsigned> pixels;
    with_screen_copy(r, [&](const unsigned *bits, int w, int h) {
        pixels.assign(bits, bits + (size_t)w * h);
        for (unsigned &px : pixels) px &= 0xFFFFFF;
    });
    return pixels;
}

bool save_screenshot(const std::wstring &path, const RECT &r)
{
    bool written = false;
    with_screen_copy(r, [&](const unsigned *bits, int w, int h) {
        FILE *f = _wfopen(path.c_str(), L"wb");
        if (!f) return;
        int stride = (w * 3 + 3) & ~3;
        BITMAPFILEHEADER fh = {};
        BITMAPINFOHEADER ih = {};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof ih;
        fh.bfSize = fh.bfOffBits + (DWORD)stride * h;
        ih.biSize = sizeof ih;
        ih.biWidth = w;
        ih.biHeight = h;  // bottom-up rows
        ih.biPlanes = 1;
        ih.biBitCount = 24;
        fwrite(&fh, sizeof fh, 1, f);
        fwrite(&ih, sizeof ih, 1, f);
        std::vector<unsigned char> row(stride, 0);
        for (int y = h - 1; y >= 0; y--) {
            for (int x = 0; x < w; x++) memcpy(&row[x * 3], &bits[(size_t)y * w + x], 3);  // B, G, R
            fwrite(row.data(), 1, row.size(), f);
        }
        written = fclose(f) == 0;
    });
    return written;
}

}  // namespace kavproc
