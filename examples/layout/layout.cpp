// layout.cpp - a KAVLIB program whose windows were arranged by hand and frozen in code: the
// body of KAV_Setup is the source that Window Info (Ctrl+W in a text window) put on the
// clipboard. Its main routine polls the Button box and prints what the Input box holds.
#include "kavlib.h"

void KAV_Setup(void)
{
	// KAVLIB --- Automatic Source Generator
	// [Image Window]
	KAV_CreateImage(0,"picture",0,0,160,120,200);
	// [Text Window]
	KAV_OpenTextWindow(0,330,0,300,200);
	// [Input Box]
	KAV_OpenInputBox(330,240,2);
	KAV_ResizeInputBox(60,120);
	KAV_SetInputBoxTitle(0,"red");
	KAV_SetInputBoxTitle(1,"green");
	// [Button Box]
	KAV_OpenButtonBox(0,280,2,1);
	KAV_ResizeButtonBox(200,40);
	KAV_SetButtonBoxTitle(0,"fill");
	KAV_SetButtonBoxTitle(1,"quit\nrun");
	// [Main Window]
	KAV_SetForeground(KAVMAINWINDOW);

    run_state.start_requested = 1;  // after the pasted layout: run KAV_Main at once
}

static int item_number(int i)
{
    int value = 0;
    for (const char *p = item_values[i]; p && *p >= '0' && *p <= '9'; p++) value = value * 10 + (*p - '0');
    return value > 255 ? 255 : value;
}

void KAV_Main(void)
{
    KAV_Printf("fill: paint the picture with the red and green of the Input box\n");
    while (!run_state.stop_requested) {
        KAV_PumpMessages();
        if (button_presses[0]) {
            button_presses[0] = 0;
            uint32_t colour = (uint32_t)item_number(0) << 16 | (uint32_t)item_number(1) << 8;
            KAV_SelectImage(0);
            for (int i = 0; i < 160 * 120; i++) pixels[0].words[i] = colour;
            KAV_PaintImage(0);
            KAV_Printf("filled with %06X\n", (unsigned)colour);
        }
        if (button_presses[1]) {
            button_presses[1] = 0;
            return;
        }
        KAV_WaitMessage();
    }
}
