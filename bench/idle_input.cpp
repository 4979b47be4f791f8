// idle_input.cpp - a program that does nothing but wait in a line input in Text window 0, so
// that bench/idle_cpu.sh can measure what a waiting line input costs.
#include "kavlib.h"

void KAV_Setup(void)
{
    KAV_OpenTextWindow(0, 0, 0, 400, 200);
    run_state.start_requested = 1;
}

void KAV_Main(void)
{
    char line[KAV_LINE_BYTES];
    while (!run_state.stop_requested) {
        KAV_Printf("> ");
        KAV_InputText(line);
    }
}
