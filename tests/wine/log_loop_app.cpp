// log_loop_app.cpp - an application that logs Text window 0 and prints numbered lines until
// it is stopped, for the test that Exit leaves every whole printed line in the log.
#include "kavlib.h"

void KAV_Setup(void)
{
    KAV_OpenTextWindow(0, 0, 0, 300, 200);
    KAV_StartLog(0);
    run_state.start_requested = 1;
}

void KAV_Main(void)
{
    for (int i = 0; !run_state.stop_requested; i++) KAV_Printf("line %d of the log loop\n", i);
}
