// harness.cpp - see harness.h.
#include "harness.h"

#include <atomic>
#include <stdio.h>

namespace kavtest {

void (*main_routine_override)(void) = nullptr;
void (*setup_routine_hook)(void) = nullptr;

static std::function<void()> task;          // the test thread writes it while no task is pending
static std::atomic<int> task_pending{0};     // 1: the worker should run task
static std::atomic<int> setup_done{0};

bool wait_until(const std::function<bool()> &cond, int timeout_ms)
{
    uint32_t start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start > (uint32_t)timeout_ms) return false;
        Sleep(1);
    }
    return true;
}

void main_command(int id)
{
    PostMessageW(main_window, WM_COMMAND, id, 0);
}

static void ensure_running(void)
{
    if (run_state.running == 1 && run_state.stop_requested == 0) return;
    wait_until([] { return run_state.running == 0; });
    main_command(CMD_START);
    wait_until([] { return run_state.running == 1; });
}

void on_worker_async(const std::function<void()> &fn)
{
    ensure_running();
    task = fn;
    task_pending = 1;
    wake_waiters();  // the worker sleeps in KAV_WaitMessage
}

bool worker_done(void) { return task_pending == 0; }

bool wait_worker(int timeout_ms)
{
    return wait_until([] { return task_pending == 0; }, timeout_ms);
}

void on_worker(const std::function<void()> &fn)
{
    on_worker_async(fn);
    wait_worker(60000);
}

}  // namespace kavtest

using namespace kavtest;

void KAV_Setup(void)
{
    if (setup_routine_hook) setup_routine_hook();
    run_state.start_requested = 1;
    setup_done = 1;
}

void KAV_Main(void)
{
    if (main_routine_override) {
        main_routine_override();
        return;
    }
    while (!run_state.stop_requested) {
        KAV_PumpMessages();
        if (task_pending) {
            task();
            task_pending = 0;
        }
        KAV_WaitMessage();
    }
}

static std::atomic<int> test_result{1};

static DWORD WINAPI test_thread(LPVOID)
{
    wait_until([] { return setup_done == 1 && main_window != NULL && run_state.running == 1; }, 30000);
    test_result = RUN_ALL_TESTS();
    // Exit ends the process outright when the worker thread has to be terminated (a test left
    // it stuck); a failure must still be the process's exit code then.
    fflush(stdout);
    fflush(stderr);
    if (test_result != 0) TerminateProcess(GetCurrentProcess(), (UINT)test_result.load());
    if (main_window) PostMessageW(main_window, WM_COMMAND, CMD_EXIT, 0);
    return 0;
}

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    HANDLE thread = CreateThread(NULL, 0, test_thread, NULL, 0, NULL);
    int rc = kav_win_main(GetModuleHandleW(NULL));
    WaitForSingleObject(thread, 30000);
    return rc != 0 ? rc : test_result.load();
}
