// process.h - starts the real kavlib.exe as a separate process and works it from outside.
#ifndef KAV_TEST_PROCESS_H
#define KAV_TEST_PROCESS_H

#include <windows.h>
#include <string>
#include <vector>

namespace kavproc {

struct Program {
    PROCESS_INFORMATION info = {};
    bool started = false;
    ~Program();  // stop(): a test that failed half-way leaves no program running
};

const wchar_t *kavlib_exe(void);    // Windows path of the built program
const wchar_t *source_dir(void);    // Windows path of the source tree (samples/ lives there)
const wchar_t *stubborn_exe(void);  // a KAVLIB program whose main routine ignores Stop
const wchar_t *status_exe(void);    // a KAVLIB program that keeps the status line busy until Stop
// The Windows path a test's script put into environment variable name ("Z:/tmp/x"), with
// backslashes only, as a user would type it; empty when it is not set.
std::wstring path_from_env(const wchar_t *name);

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
// Presses the button with control id button_id in window box, waits for the program's dialog
// with the title given, types path into its file name field and presses its Open button.
// False when the dialog did not appear or did not close.
bool open_through_dialog(const Program &p, HWND box, int button_id, const wchar_t *title, const std::wstring &path);

// The screen's pixels inside r (screen coordinates) as 0x00RRGGBB words, rows from the top.
std::vector<unsigned> screen_pixels(const RECT &r);
// Writes the screen inside r as a 24-bit BMP file, for a person to look at what a test saw.
bool save_screenshot(const std::wstring &path, const RECT &r);

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
