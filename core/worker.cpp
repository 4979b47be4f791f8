// worker.cpp - the worker thread that runs the application, the message pump that every
// library operation uses, and the millisecond clock.
#include "core/core.h"

#include "boxes/boxes.h"

//------------------------------------------------------------------------------------------------
// Run state: shared by the GUI thread and the worker thread (see kavlib.h).
//------------------------------------------------------------------------------------------------
KAV_RunState run_state;

// 1 while a point-picking tool waits for clicks on an image window. Written by the worker thread
// (the tools), read by both threads: the Main window, Text and Image windows refuse their menus then.
std::atomic<int> pick_in_progress;

HANDLE worker_thread;    // GUI thread: made by the Main window's creation, closed at Exit
DWORD worker_thread_id;

uint32_t KAV_Milliseconds(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (uint32_t)(uint64_t)((double)now.QuadPart * millisecond_factor);
}

void KAV_PumpMessages(void)
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE)) {
        if (GetMessageW(&msg, NULL, 0, 0) <= 0) {
            // WM_QUIT is not meant for this loop: leave it for the thread's own loop.
            PostQuitMessage((int)msg.wParam);
            return;
        }
        if (input_box_window && IsDialogMessageW(input_box_window, &msg)) continue;
        if (button_box_window && IsDialogMessageW(button_box_window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Stop, Exit and a served window request post a message to the thread that waits for them,
// so a wait here ends at once for them too; the limit only bounds how late a loop sees a flag
// that changed without a message.
#define KAV_WAIT_MS 10

void KAV_WaitMessage(void)
{
    MsgWaitForMultipleObjects(0, NULL, FALSE, KAV_WAIT_MS, QS_ALLINPUT);
}

void wake_worker(void)
{
    if (worker_thread_id) PostThreadMessageW(worker_thread_id, WM_NULL, 0, 0);
}

void gui_pump(void)
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE)) {
        if (GetMessageW(&msg, NULL, 0, 0) <= 0) {
            PostQuitMessage((int)msg.wParam);
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Runs the application's main routine once, with dropped files on the Main window refused
// meanwhile. Returns false when the process is exiting.
static bool run_main_routine(void)
{
    DragAcceptFiles(main_window, FALSE);
    run_state.running = 1;
    run_state.start_requested = 0;
    run_state.stop_requested = 0;
    KAV_Main();
    if (run_state.exit_state != 0) return false;
    run_state.running = 0;
    run_state.stop_requested = 0;
    DragAcceptFiles(main_window, TRUE);
    return true;
}

DWORD WINAPI worker_thread_proc(LPVOID unused)
{
    KAV_Setup();
    rebuild_placement_list();
    while (run_state.exit_state == 0) {
        Sleep(1);
        KAV_PumpMessages();
        serve_window_request();
        if (run_state.start_requested == 1 && run_state.running == 0) {
            if (!run_main_routine()) break;
        }
    }
    run_state.exit_state = 2;
    KAV_PumpMessages();
    return 0;
}
