#include "framework/CToolTipCtrl.h"

#include "framework/Text.h"

#include <commctrl.h>

CToolTipCtrl::~CToolTipCtrl()
{
    Destroy();
}

void CToolTipCtrl::Destroy()
{
    if (hwnd && IsWindow(hwnd))
        ::DestroyWindow(hwnd);
    hwnd = nullptr;
}

bool CToolTipCtrl::Create(HWND owner)
{
    hwnd = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
    return hwnd != nullptr;
}

void CToolTipCtrl::SetMaxTipWidth(int width)
{
    SendMessageW(hwnd, TTM_SETMAXTIPWIDTH, 0, width);
}

void CToolTipCtrl::Activate(bool active)
{
    SendMessageW(hwnd, TTM_ACTIVATE, active, 0);
}

bool CToolTipCtrl::AddTool(HWND window, UINT id, const RECT& rect, const std::string& text)
{
    std::wstring wide = Widen(text);
    TTTOOLINFOW info = {};
    // The size without lpReserved, which every version of the control accepts.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = window;
    info.uId = id;
    info.rect = rect;
    info.lpszText = wide.data();
    return SendMessageW(hwnd, TTM_ADDTOOLW, 0, (LPARAM)&info) != 0;
}

void CToolTipCtrl::SetToolRect(HWND window, UINT id, const RECT& rect)
{
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = window;
    info.uId = id;
    info.rect = rect;
    SendMessageW(hwnd, TTM_NEWTOOLRECTW, 0, (LPARAM)&info);
}
