// console.cpp - a first KAVLIB program: asks for a name in a text window, greets, and draws
// a framed diagonal into an image window. Start runs it again.
#include "kavlib.h"

#define SIZE 64  // the picture is SIZE x SIZE pixels

void KAV_Setup(void)
{
    KAV_OpenTextWindow(0, 0, 0, 400, 200);
    KAV_CreateImage(0, "drawing", 410, 0, SIZE, SIZE, 200);
    run_state.start_requested = 1;  // run KAV_Main at once, as if Start was pressed
}

void KAV_Main(void)
{
    char name[KAV_LINE_BYTES];
    KAV_Printf("Your name? ");
    KAV_InputText(name);
    if (run_state.stop_requested) return;
    KAV_Printf("Hello, %s!\n", name[0] ? name : "stranger");

    KAV_SelectImage(0);
    KAV_ClearImage(0);
    for (int i = 0; i < SIZE; i++) {
        put_pixel(i, 0, 0xFFFFFF);
        put_pixel(i, SIZE - 1, 0xFFFFFF);
        put_pixel(0, i, 0xFFFFFF);
        put_pixel(SIZE - 1, i, 0xFFFFFF);
        plot(i, i, 0xFF0000);
    }
    KAV_PaintImage(0);
    KAV_Printf("Drawn. Press Start to run again.\n");
}  // returning ends the run; the library keeps answering the windows
