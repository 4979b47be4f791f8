// process.h - starts the real kavlib.exe as a separate process and works it from outside.
#ifndef KAV_TEST_PROCESS_H
#define KAV_TEST_PROCESS_H

#include <windows.h>
#include <string>

namespace kavproc {

struct Program {
    PROCESS_INFORMATION info = {};
    bool started = false;
};

const wchar_t *kavlib_exe(void);    // Windows path of the built program
const wchar_t *source_dir(void);    // Windows path of the source tree (samples/ lives there)
const wchar_t *stubborn_exe(void);  // a KAVLIB program whose main routine ignores Stop
const wchar_t *status_exe(void);    // a KAVLIB program that keeps the status line busy until Stop

// Starts exe (NULL: kavlib.exe) with working folder dir (NULL: the test's own).
// False when it could not start.
bool start(Program &p, const wchar_t *dir = NULL, const wchar_t *exe = NULL);
// Waits for the process to end; its exit code, or -1 on time-out.
int wait_exit(Program &p, int timeout_ms);
// Ends the process if it still runs and closes its handles.
void stop(Program &p);

// A top-level window of the class (and title, if not NULL) owned by the process, or NULL.
HWND find_window(const Program &p, const wchar_t *cls, const wchar_t *title = NULL);
// Waits up to timeout_ms for such a window.
HWND wait_window(const Program &p, const wchar_t *cls, const wchar_t *title, int timeout_ms);
// The text of a window (through WM_GETTEXT, which crosses processes).
std::wstring window_text(HWND hwnd);
// Client rectangle of hwnd in screen coordinates.
RECT client_rect_on_screen(HWND hwnd);
// Polls cond every 5 ms until it holds or timeout_ms pass.
template <class F> bool wait_until(F cond, int timeout_ms)
{
    DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start > (DWORD)timeout_ms) return false;
        Sleep(5);
    }
    return true;
}

}  // namespace kavproc

#endif
