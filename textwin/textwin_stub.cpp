// Placeholder until the text windows land: keeps the program linkable.
#include "textwin/textwin.h"
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

std::atomic<int> line_input_window{0};
void reset_text_windows(void) {}
int find_text_window(HWND) { return -1; }
HWND text_window_handle(int) { return NULL; }
LRESULT CALLBACK text_window_proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
int KAV_OpenTextWindow(int, int, int, int, int) { return 1; }
void KAV_ShowTextWindow(void) {}
void KAV_Printf(const char *, ...) { KAV_PumpMessages(); }
int KAV_CloseTextWindow(int) { return 1; }
int KAV_SelectTextWindow(int) { return 1; }
void KAV_InputText(char line[KAV_LINE_BYTES]) { line[0] = '\0'; }
void KAV_PushTextColor(uint32_t, uint32_t) {}
void KAV_PopTextColor(void) {}
int KAV_CommandPrompt(void) { return 1; }
void KAV_CloseAllLogs(void) {}
