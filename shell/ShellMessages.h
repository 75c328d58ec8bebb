// Messages the application shell's windows send to their owners.
#pragma once

#include <windows.h>

// The notification icon's events (NOTIFYICON_VERSION_4): LOWORD(lParam) is the event, HIWORD(lParam)
// the icon id, and wParam the point (GET_X_LPARAM, GET_Y_LPARAM), the icon's place for the keyboard.
const UINT WM_TRAY_NOTIFY = WM_USER + 8977;
// The splitter bar was dragged; lParam is the signed distance in pixels.
const UINT WM_SPLITTER_MOVED = WM_USER + 8978;
// Show a page: wParam is its PageId. The answer is 0 when shown, 1 when refused.
const UINT WM_SHOW_PAGE = WM_USER + 9011;
// The main window's timer that adds the notification icon again while the taskbar is not there yet.
const UINT_PTR kTrayRetryTimer = 1;
