// gui_counts.h - the process's GDI and USER object counts, for tests that check that work
// leaves no objects behind. Call on the thread that owns the windows.
#ifndef KAV_TEST_GUI_COUNTS_H
#define KAV_TEST_GUI_COUNTS_H

#include <windows.h>

struct GuiCounts {
    DWORD gdi;   // GDI objects of the process
    DWORD user;  // USER objects (windows of the process, menus)
};

// Where the system does not count (GetGuiResources answers 0, as under Wine), every handle
// value is asked what it is. Handles are small table indexes there, which take any
// generation in their high word, so each live object answers exactly once.
inline DWORD probed_gdi_object_count(void)
{
    DWORD n = 0;
    for (UINT_PTR h = 1; h < 0x10000; h++)
        if (GetObjectType((HGDIOBJ)h)) n++;
    return n;
}

inline DWORD probed_user_object_count(void)
{
    DWORD n = 0, me = GetCurrentProcessId();
    for (UINT_PTR h = 2; h < 0x10000; h += 2) {  // user handles step by two
        DWORD owner = 0;
        if (IsWindow((HWND)h)) {
            GetWindowThreadProcessId((HWND)h, &owner);
            if (owner == me) n++;
        } else if (IsMenu((HMENU)h)) {
            n++;
        }
    }
    return n;
}

inline GuiCounts gui_counts(void)
{
    GuiCounts c;
    c.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    c.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (c.gdi == 0) c.gdi = probed_gdi_object_count();
    if (c.user == 0) c.user = probed_user_object_count();
    return c;
}

#endif
