// stress_app.cpp - an application for the test that Exit holds up under load on both threads.
// Its main routine prints numbered lines into the logging Text window 0 as fast as it can and
// makes and destroys 8- and 32-bit image windows between them, until it is stopped; the test
// meanwhile runs the Main window's dialogues, which print into the same window from the GUI
// thread. What the test cannot see from outside is published in shared memory named after the
// process: how many lines had been printed (so logged) and whether the main routine returned.
// The test may also ask it to ignore Stop, so that Exit has to end the worker thread.
#include "kavlib.h"

#include <stdio.h>
#include <windows.h>

#include "stress_shared.h"

#define STRESS_IMAGE_WIDTH 64   // size of the image windows the loop makes
#define STRESS_IMAGE_HEIGHT 48
#define STRESS_IMAGE_SLOTS 3    // image windows 1..3 come and go
#define STRESS_LINES_PER_IMAGE 8

//------------------------------------------------------------------------------------------------
// Shared with the test (worker thread writes): see stress_shared.h.
//------------------------------------------------------------------------------------------------
static StressShared *shared;

void KAV_Setup(void)
{
    char name[STRESS_SHARED_NAME_BYTES];
    stress_shared_name(name, GetCurrentProcessId());
    HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(StressShared), name);
    if (map) shared = (StressShared *)MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, sizeof(StressShared));
    KAV_OpenTextWindow(0, 0, 0, 300, 200);
    KAV_StartLog(0);
    run_state.start_requested = 1;
}

// Every STRESS_LINES_PER_IMAGE lines one of the image windows 1..3 is destroyed if it exists,
// else made (odd passes 32-bit, even ones 8-bit) and painted.
static void churn_image_window(long pass)
{
    int n = 1 + (int)(pass % STRESS_IMAGE_SLOTS);
    if (KAV_IsImageWindow(n)) {
        KAV_DestroyImage(n);
        return;
    }
    char name[16];
    snprintf(name, sizeof name, "stress %d", n);
    int x = 320 + n * (STRESS_IMAGE_WIDTH + 20);
    int made = (pass / STRESS_IMAGE_SLOTS) % 2
                   ? KAV_CreateImage(n, name, x, 0, STRESS_IMAGE_WIDTH, STRESS_IMAGE_HEIGHT, 100)
                   : KAV_CreateImage8(n, name, x, 0, STRESS_IMAGE_WIDTH, STRESS_IMAGE_HEIGHT, 100);
    if (made == 0) KAV_PaintImage(n);
}

void KAV_Main(void)
{
    for (long i = 0; !run_state.stop_requested || (shared && shared->ignore_stop); i++) {
        KAV_Printf("line %ld of the stress loop\n", i);
        if (shared) InterlockedExchange(&shared->printed, i + 1);
        if (i % STRESS_LINES_PER_IMAGE == 0) churn_image_window(i / STRESS_LINES_PER_IMAGE);
    }
    if (shared) InterlockedExchange(&shared->returned, 1);
}
