// stubborn_app.cpp - an application whose main routine never returns and never looks at
// stop_requested, while it allocates, prints and paints as fast as it can: Exit must end the
// process however it finds the worker thread (inside the heap, GDI or a library lock).
#include "kavlib.h"
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#define STUBBORN_SIZE 64  // width and height of the image it paints

void KAV_Setup(void)
{
    KAV_OpenTextWindow(0, 0, 0, 300, 200);
    KAV_CreateImage(0, "stubborn", 320, 0, STUBBORN_SIZE, STUBBORN_SIZE, 100);
    run_state.start_requested = 1;
}

void KAV_Main(void)
{
    for (uint32_t pass = 0;; pass++) {
        char *block = (char *)malloc(1000 + pass % 5000);
        if (block) memset(block, (int)pass, 1000);
        void *shared = HeapAlloc(GetProcessHeap(), 0, 100 + pass % 3000);  // the heap windows use too
        KAV_Printf("pass %u\n", (unsigned)pass);
        if (KAV_SelectImage(0) == 0) {
            for (int y = 0; y < STUBBORN_SIZE; y++)
                for (int x = 0; x < STUBBORN_SIZE; x++) put_pixel(x, y, pass * 0x010203u + (uint32_t)(x ^ y));
            KAV_PaintImage(0);
        }
        HeapFree(GetProcessHeap(), 0, shared);
        free(block);
    }
}
