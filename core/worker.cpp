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


//------------------------------------------------------------------------------------------------
// Wake-up events. A thread that waits in the library sleeps on an auto-reset event of its own,
// made the first time it waits, besides its message queue. Whoever changes a flag that a
// waiting loop reads (Stop, Exit, Start, the window request, a typed key, a press, a pick)
// calls wake_waiters, which sets every thread's event: each waiting loop then reads its flags
// again. A flag changed between a loop's check and its wait leaves the event set, so the wait
// ends at once and nothing is missed. Slots are claimed by any thread and never given back.
//------------------------------------------------------------------------------------------------
#define KAV_WAKE_THREADS 16      // threads that can own a wake-up event (worker, GUI and a few more)
#define KAV_UNWOKEN_WAIT_MS 10   // bound of the wait of a thread that found no free slot
struct WakeSlot {
    std::atomic<DWORD> thread;   // owner's thread id; 0 free
    std::atomic<HANDLE> event;   // the owner's auto-reset event, set once it is made
};
static WakeSlot wake_slots[KAV_WAKE_THREADS];

// Per thread: how deep the library's pumps have dispatched into handlers, and whether a wait
// inside one of them took the thread's wake-up.
static thread_local int dispatch_depth;
static thread_local bool wake_taken_inside;

// The calling thread's event, made on its first wait; NULL when every slot is taken.
static HANDLE own_wake_event(void)
{
    DWORD me = GetCurrentThreadId();
    for (int i = 0; i < KAV_WAKE_THREADS; i++)
        if (wake_slots[i].thread == me) return wake_slots[i].event;
    for (int i = 0; i < KAV_WAKE_THREADS; i++) {
        DWORD free_slot = 0;
        if (!wake_slots[i].thread.compare_exchange_strong(free_slot, me)) continue;
        // Made set: a flag changed before the event existed was not signalled to it, so the
        // first wait returns at once and the loop reads its flags again.
        HANDLE event = CreateEventW(NULL, FALSE, TRUE, NULL);
        wake_slots[i].event = event;
        return event;
    }
    return NULL;
}

void wake_waiters(void)
{
    for (int i = 0; i < KAV_WAKE_THREADS; i++) {
        HANDLE event = wake_slots[i].event;
        if (event) SetEvent(event);
    }
}

// MWMO_INPUTAVAILABLE: a message that is queued already (seen by an earlier peek but not yet
// taken) ends the wait as well, not only one that arrives during it. WAIT_TIMEOUT tells the
// caller that no message and no wake-up came, so it need not pump.
DWORD wait_for_wake(DWORD timeout_ms)
{
    HANDLE event = own_wake_event();
    if (!event) {
        if (timeout_ms > KAV_UNWOKEN_WAIT_MS) timeout_ms = KAV_UNWOKEN_WAIT_MS;
        return MsgWaitForMultipleObjectsEx(0, NULL, timeout_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    DWORD woke = MsgWaitForMultipleObjectsEx(1, &event, timeout_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0 && dispatch_depth > 0) wake_taken_inside = true;
    return woke;
}

// A handler may wait itself (a window request posted from inside another's wait, a line read
// from a dialogue): its wait then takes the wake-up that the waits around it are owed, and the
// outer loop, rechecking nothing, would sleep through a change it was woken for. So a wake-up
// taken inside a handler is given back to the thread's event when the handler returns, and
// every wait around it looks at its flags once more.
static void dispatch_nested(void (*dispatch)(MSG *), MSG *msg)
{
    dispatch_depth++;
    dispatch(msg);
    dispatch_depth--;
    if (!wake_taken_inside) return;
    wake_taken_inside = false;
    HANDLE event = own_wake_event();
    if (event) SetEvent(event);
}

static void translate_and_dispatch(MSG *msg)
{
    TranslateMessage(msg);
    DispatchMessageW(msg);
}

// Hands one message to the boxes' dialog handling or to its window procedure.
static void dispatch_one(MSG *msg)
{
    if (input_box_window && IsDialogMessageW(input_box_window, msg)) return;
    if (button_box_window && IsDialogMessageW(button_box_window, msg)) return;
    TranslateMessage(msg);
    DispatchMessageW(msg);
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
        dispatch_nested(dispatch_one, &msg);
    }
}

void KAV_WaitMessage(void) { wait_for_wake(INFINITE); }

void gui_pump(void)
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE)) {
        if (GetMessageW(&msg, NULL, 0, 0) <= 0) {
            PostQuitMessage((int)msg.wParam);
            return;
        }
        dispatch_nested(translate_and_dispatch, &msg);
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

// Serves window requests and Start until Exit; between them it sleeps until a message comes
// or a flag it reads changes (both wake it).
DWORD WINAPI worker_thread_proc(LPVOID unused)
{
    KAV_Setup();
    rebuild_placement_list();
    while (run_state.exit_state == 0) {
        KAV_PumpMessages();
        serve_window_request();
        if (run_state.start_requested == 1 && run_state.running == 0) {
            if (!run_main_routine()) break;
            continue;  // what came during the run is looked at before sleeping
        }
        if (window_request.kind == 0 && run_state.exit_state == 0) KAV_WaitMessage();
    }
    run_state.exit_state = 2;
    wake_waiters();  // a poster waiting for its request gives up now
    KAV_PumpMessages();
    return 0;
}
