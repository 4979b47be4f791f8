// Placeholder until the boxes land: keeps the program linkable.
#include "boxes/boxes.h"

HWND input_box_window;
HWND button_box_window;
char *item_values[KAV_MAX_ITEMS];
int button_presses[KAV_MAX_BUTTONS];
void create_input_box(int, int, int) {}
void KAV_CloseInputBox(void) {}
void KAV_OpenButtonBox(int, int, int, int) {}
void KAV_CloseButtonBox(void) {}
void KAV_SetButtonBoxTitle(int, const char *) {}
int KAV_ButtonCount(void) { return 0; }
LRESULT CALLBACK input_box_proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
LRESULT CALLBACK button_box_proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
