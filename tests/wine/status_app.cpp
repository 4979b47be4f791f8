// status_app.cpp - an application whose main routine keeps the Main window's status line busy
// (as line input and the point-picking tools do while they wait) until Stop: Exit must not wait
// for a worker thread that is sending to the Main window.
#include "core/core.h"

void KAV_Setup(void) { run_state.start_requested = 1; }

void KAV_Main(void)
{
    // Held for a moment first, so that a test watching from outside sees the run has begun
    // (while the loop runs, the two texts take turns too fast to be sampled reliably).
    set_status_text("Input text");
    Sleep(500);
    while (!run_state.stop_requested) {
        set_status_text("Input text");
        show_colour_depth_status();
    }
}
