// process.cpp - see process.h.
#include "process.h"

#include <vector>

namespace kavproc {

const wchar_t *kavlib_exe(void) { return L"" KAVLIB_EXE_WIN; }
const wchar_t *source_dir(void) { return L"" KAV_SOURCE_WIN; }
const wchar_t *stubborn_exe(void) { return L"" KAV_STUBBORN_WIN; }
const wchar_t *status_exe(void) { return L"" KAV_STATUS_APP_WIN; }

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

}  // namespace kavproc
