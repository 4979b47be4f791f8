// stubborn_app.cpp - an application whose main routine never returns and never looks at
// stop_requested; Exit must still end the process.
#include "kavlib.h"
#include <windows.h>

void KAV_Setup(void) { run_state.start_requested = 1; }
void KAV_Main(void)
{
    for (;;) Sleep(10);
}
