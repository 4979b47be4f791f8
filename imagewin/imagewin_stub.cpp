// Placeholder until the image windows land: keeps the program linkable.
#include "imagewin/imagewin.h"

COLORREF custom_colours[16];
KAV_PixelMemory pixels[KAV_MAX_IMAGE_WINDOWS];
int jpeg_quality = 100;
void reset_image_windows(void) {}
int create_image_window(int n, const char *, int, int, int, int, int, int, int) { return n >= 256 ? 4 : 3; }
int paint_image_window(int) { return 1; }
int load_image_file(const char *, int, int) { return 2; }
void draw_handed_bitmap(HBITMAP bitmap) { DeleteObject(bitmap); }
int select_current_window(int) { return 1; }
int restore_previous_window(void) { return 1; }
int find_image_window(HWND) { return -1; }
LRESULT CALLBACK image_window_proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
int KAV_IsImageWindow(int) { return 0; }
void KAV_InvalidateImages(void) {}
int KAV_SaveImage(int, int, int, const char *) { return 3; }
