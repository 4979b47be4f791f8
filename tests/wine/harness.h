// harness.h - runs GoogleTest inside a live KAVLIB process under Wine.
//
// The test program is a real KAVLIB program: start-up, the Main window and the worker thread
// are the library's own. The harness is its application: its main routine waits for work
// handed over by the tests, which run on a thread of their own, so a test can post real
// messages to real windows while the worker thread runs library code that pumps them.
#ifndef KAV_TEST_HARNESS_H
#define KAV_TEST_HARNESS_H

#include <windows.h>
#include <functional>
#include <gtest/gtest.h>

#include "core/core.h"

namespace kavtest {

// Runs fn on the worker thread inside the main routine and waits until it returns. Starts a
// run first when none is active.
void on_worker(const std::function<void()> &fn);

// Hands fn to the worker thread without waiting; wait() for it later. One at a time.
void on_worker_async(const std::function<void()> &fn);
bool worker_done(void);            // the async fn has returned
bool wait_worker(int timeout_ms);  // waits for the async fn; false on time-out

// Polls cond every millisecond until it holds or timeout_ms pass.
bool wait_until(const std::function<bool()> &cond, int timeout_ms = 5000);

// Posts a Main window command (CMD_START, CMD_STOP) and gives the worker time to see it.
void main_command(int id);

// Replaces the harness's main routine for the next run(s); nullptr restores it.
extern void (*main_routine_override)(void);

// Runs first thing in the setup routine, on the worker thread, when a test file sets it in a
// static initialiser.
extern void (*setup_routine_hook)(void);

}  // namespace kavtest

#endif
