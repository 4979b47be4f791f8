// Placeholder until the image-data converter lands: waits for Stop.
#include "kavlib.h"

void KAV_Setup(void) { run_state.start_requested = 1; }
void KAV_Main(void)
{
    while (!run_state.stop_requested) {
        KAV_PumpMessages();
        KAV_WaitMessage();
    }
}
