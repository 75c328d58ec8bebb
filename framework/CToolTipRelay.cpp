#include "framework/CToolTipRelay.h"

#include <commctrl.h>

bool CToolTipRelay::Attach(HWND window, CToolTipCtrl& tip)
{
    toolTip = &tip;
    return SubclassControl(window);
}

LRESULT CToolTipRelay::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && toolTip && toolTip->hwnd)
    {
        MSG msg = {hwnd, message, wParam, lParam, (DWORD)GetMessageTime(), {}};
        DWORD position = GetMessagePos();
        msg.pt = {(short)LOWORD(position), (short)HIWORD(position)};
        SendMessageW(toolTip->hwnd, TTM_RELAYEVENT, 0, (LPARAM)&msg);
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
