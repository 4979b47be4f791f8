// flush.h - a synchronisation point for negative checks: waits until every message posted to a
// window of this process before the call has been dispatched.
#ifndef KAV_TEST_FLUSH_H
#define KAV_TEST_FLUSH_H

#include <windows.h>

namespace kavflush {

// Posts a marker behind the messages already queued for hwnd (a small icon, which the default
// window procedure keeps) and waits until the window answers with it. Posted messages are
// dispatched in order, so once the marker is in, everything posted before it has been
// handled. For windows of this process (icons do not cross processes under Wine). A window
// whose thread is busy elsewhere answers late: false after timeout_ms.
inline bool flush_posted(HWND hwnd, int timeout_ms = 5000)
{
    HICON icons[2] = {LoadIconW(NULL, IDI_APPLICATION), LoadIconW(NULL, IDI_INFORMATION)};
    DWORD_PTR now = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETICON, ICON_SMALL, 0, SMTO_NORMAL, timeout_ms, &now)) return false;
    HICON marker = (HICON)now == icons[0] ? icons[1] : icons[0];
    if (!PostMessageW(hwnd, WM_SETICON, ICON_SMALL, (LPARAM)marker)) return false;
    DWORD start = GetTickCount();
    for (;;) {
        if (!SendMessageTimeoutW(hwnd, WM_GETICON, ICON_SMALL, 0, SMTO_NORMAL, timeout_ms, &now)) return false;
        if ((HICON)now == marker) return true;
        if (GetTickCount() - start > (DWORD)timeout_ms) return false;
        Sleep(1);
    }
}

}  // namespace kavflush

#endif
