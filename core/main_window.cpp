// main_window.cpp - the Main window: status line, drop animation, Start, Stop and Exit; its
// window-making commands are in main_commands.cpp.
#include "core/core.h"

#include <shellapi.h>
#include <stdio.h>

#include "core/status_field.h"

#include "textwin/textwin.h"

int display_bit_depth;   // GUI thread: read once at creation

static HWND status_line;  // GUI thread: the STATIC control that shows one line of status

#define STATUS_X 0
#define STATUS_Y 6
#define STATUS_WIDTH 234
#define STATUS_HEIGHT 20
#define DROP_STEP_MS 20u     // time per step of the drop animation
#define DROP_REST_MS 500u    // pause after the last step
#define EXIT_WAIT_MS 2000u   // how long Exit waits for the worker thread before ending it

// Vertical steps of the drop animation; they add up to the 55 pixels by which start-up placed
// the window above its resting place.
static const int drop_offsets[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, -6, -5, -4, -3,
                                   -2, -1, 1, 2, 3, 4, 5, 6, -3, -2, -1, 1, 2, 3};

static void spin_until(uint32_t start, uint32_t ms)
{
    while (KAV_Milliseconds() - start < ms) {
    }
}

static void play_drop_animation(HWND hwnd)
{
    uint32_t t = KAV_Milliseconds();
    for (int offset : drop_offsets) {
        RECT r;
        GetWindowRect(hwnd, &r);
        SetWindowPos(hwnd, NULL, r.left, r.top + offset, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        spin_until(t, DROP_STEP_MS);
        t = KAV_Milliseconds();
    }
    spin_until(t, DROP_REST_MS);
}

static LRESULT on_create(HWND hwnd)
{
    main_window = hwnd;
    status_line = CreateWindowExW(0, L"STATIC", L"Ready", WS_CHILD | WS_VISIBLE, scale_for_display(STATUS_X),
                                  scale_for_display(STATUS_Y), scale_for_display(STATUS_WIDTH),
                                  scale_for_display(STATUS_HEIGHT), hwnd, (HMENU)(INT_PTR)STATUS_LINE_ID,
                                  module_instance, NULL);
    play_drop_animation(hwnd);
    HDC dc = GetDC(hwnd);
    display_bit_depth = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(hwnd, dc);
    // Before the worker thread exists, so that neither can undo what the first run sets.
    DragAcceptFiles(hwnd, TRUE);
    show_colour_depth_status();
    worker_thread = CreateThread(NULL, 0, worker_thread_proc, NULL, 0, &worker_thread_id);
    return 0;
}

static void start_command(void)
{
    if (run_state.running == 0) run_state.start_requested = 1;
    wake_waiters();
}

static void stop_command(void)
{
    run_state.stop_requested = 1;
    wake_waiters();
}

// Waits up to EXIT_WAIT_MS for the worker thread to end; true if it did. No posted message is
// dispatched meanwhile, but messages sent to this thread are answered, so a worker that was
// just sending to the Main window (a status text, its drop state) is not held up by the wait.
static bool wait_for_worker_end(void)
{
    uint32_t t = KAV_Milliseconds();
    for (;;) {
        DWORD code = STILL_ACTIVE;
        if (!GetExitCodeThread(worker_thread, &code) || code != STILL_ACTIVE) return true;
        uint32_t waited = KAV_Milliseconds() - t;
        if (waited > EXIT_WAIT_MS) return false;
        MsgWaitForMultipleObjects(1, &worker_thread, FALSE, EXIT_WAIT_MS - waited + 1, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Stops the application, closes the logs, gives the worker thread up to two seconds to end
// by itself and destroys the Main window, which ends the process in order. A worker thread
// that has to be terminated may have died holding the heap, GDI, window-manager or a library
// lock; nothing that could need one may run after it, not even the process's ordinary end
// (runtime and DLL tear-down), so the process then ends at once, with the code of a normal end.
static void exit_command(HWND hwnd)
{
    if (run_state.exit_state != 0) return;  // a second Exit while the first one waits
    run_state.exit_state = 1;   // first: from now on the worker leaves the status line alone
    line_input_window = 0;
    run_state.stop_requested = 1;
    wake_waiters();
    KAV_CloseAllLogs();
    if (!wait_for_worker_end()) {
        TerminateThread(worker_thread, 1);
        TerminateProcess(GetCurrentProcess(), 0);
    }
    int expected = 1;
    run_state.exit_state.compare_exchange_strong(expected, 2);
    CloseHandle(worker_thread);
    worker_thread = NULL;
    DestroyWindow(hwnd);
}

static LRESULT on_command(HWND hwnd, int id)
{
    switch (id) {
    case CMD_START: start_command(); break;
    case CMD_STOP: stop_command(); break;
    case CMD_EXIT: exit_command(hwnd); break;
    default: run_main_command(id); break;
    }
    return 0;
}

static LRESULT on_keydown(HWND hwnd, WPARAM key)
{
    if (ctrl_held()) {
        if (key == 'V') PostMessageW(hwnd, WM_COMMAND, CMD_PASTE, 0);
        if (key == 'W') PostMessageW(hwnd, WM_COMMAND, CMD_WINDOW_INFO, 0);
        return 0;
    }
    switch (key) {
    case 'X':
    case VK_ESCAPE: exit_command(hwnd); break;
    case 'S': start_command(); break;
    case 'C': stop_command(); break;
    default: break;
    }
    return 0;
}

static LRESULT on_sizing(HWND hwnd, RECT *proposed)
{
    GetWindowRect(hwnd, proposed);  // the Main window keeps its size
    return 0;
}

// Once Exit has begun the status line is left alone: the worker thread must never wait on the
// Main window while the Main window waits for it to end.
void set_status_text(const char *text)
{
    if (run_state.exit_state != 0) return;
    char field[KAV_STATUS_FIELD_BYTES];
    format_status_field(field, text);
    wchar_t wide[KAV_STATUS_FIELD_BYTES];
    ansi_to_wide(field, wide, KAV_STATUS_FIELD_BYTES);
    if (status_line) SetWindowTextW(status_line, wide);
}

void show_colour_depth_status(void)
{
    char text[16];
    snprintf(text, sizeof text, "%d-bit color", display_bit_depth);
    set_status_text(text);
}

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_CREATE: return on_create(hwnd);
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_CLOSE: exit_command(hwnd); return 0;  // Alt+F4 ends the program in order
    case WM_MOVE: rebuild_placement_list(); return 0;
    case WM_MOVING: edge_snapping((RECT *)lparam, hwnd); return 0;
    case WM_SIZING: return on_sizing(hwnd, (RECT *)lparam);
    case WM_RBUTTONDOWN:
    case WM_NCRBUTTONDOWN: show_main_menu(hwnd); return 0;
    case WM_KEYDOWN: return on_keydown(hwnd, wparam);
    case WM_COMMAND: return on_command(hwnd, LOWORD(wparam));
    case WM_DROPFILES: open_dropped_files((HDROP)wparam); return 0;
    default: return DefWindowProcW(hwnd, msg, wparam, lparam);
    }
}
