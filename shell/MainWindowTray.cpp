// The main window's notification icon: drawn for the scale of the taskbar's
// monitor, added once the taskbar exists and again when Explorer restarts, and
// what the mouse and the keyboard do on it.
#include "shell/CWindowMain.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "shell/ShellMessages.h"

#include <shellapi.h>
#include <versionhelpers.h>
#include <windowsx.h>

#include <cwchar>

namespace
{
using LoadIconMetricCall = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);

// The small-icon metric; LoadIconMetric's LIM_SMALL.
const int kSmallIconMetric = 0;
}

UINT TaskbarDpi()
{
    RECT taskbar = {};
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    return tray && GetWindowRect(tray, &taskbar) ? DpiOfRect(taskbar) : 0;
}

HICON LoadTrayIconAt(int iconId, UINT dpi)
{
    HINSTANCE module = GetModuleHandleW(nullptr);
    if (dpi)
    {
        const int size = SmallIconSize(dpi);
        return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0));
    }
    // No taskbar yet: the system's small-icon size, which the notification area takes.
    static const auto loadIconMetric = reinterpret_cast<LoadIconMetricCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconMetric")));
    HICON icon = nullptr;
    if (loadIconMetric && SUCCEEDED(loadIconMetric(module, MAKEINTRESOURCEW(iconId), kSmallIconMetric, &icon)))
        return icon;
    const int size = GetSystemMetrics(SM_CXSMICON);
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0));
}

NOTIFYICONDATAW CWindowMain::TrayIconData() const
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd;
    data.uID = IDC_TRAY_ICON;
    return data;
}

void CWindowMain::LoadTrayIcon()
{
    // The resource holds an image drawn for each common scale; the one of the size asked for is taken.
    const int iconId = IsWindowsXPOrGreater() ? IDI_TRAY_256 : IDI_TRAY_16;
    HICON loaded = LoadTrayIconAt(iconId, TaskbarDpi());
    if (!loaded)
        return;
    HICON previous = trayIcon;
    trayIcon = loaded;
    if (previous)
    {
        // The icon is already shown: it changes in place, and the old one goes after.
        NOTIFYICONDATAW data = TrayIconData();
        data.uFlags = NIF_ICON;
        data.hIcon = trayIcon;
        Shell_NotifyIconW(NIM_MODIFY, &data);
        DestroyIcon(previous);
    }
}

void CWindowMain::AddTrayIcon()
{
    NOTIFYICONDATAW data = TrayIconData();
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = trayIcon;
    // At sign-in the taskbar may not exist yet: tried again until it takes the
    // icon or announces itself. An icon it kept (a change of scale) is only updated.
    if (!Shell_NotifyIconW(NIM_ADD, &data) && !Shell_NotifyIconW(NIM_MODIFY, &data))
    {
        SetTimer(hwnd, kTrayRetryTimer, kTrayRetryMs, nullptr);
        return;
    }
    KillTimer(hwnd, kTrayRetryTimer);
    // Version 4: the shell tells a selection by mouse or keyboard and the context menu key, with
    // the icon's place. It must be asked for after every addition.
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);
    // Version 4 shows the tip, which is also the icon's name for a screen reader, only when asked.
    data.uFlags = NIF_TIP | NIF_SHOWTIP;
    std::wstring tip = Widen(title + " \n");
    wcsncpy(data.szTip, tip.c_str(), sizeof(data.szTip) / sizeof(data.szTip[0]) - 1);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void CWindowMain::OnTaskbarCreated()
{
    // Explorer restarted and forgot the icon, or the scale changed: without the
    // icon a hidden window could not be reached.
    LoadTrayIcon();
    AddTrayIcon();
}

LRESULT CWindowMain::OnTrayNotify(WPARAM anchor, LPARAM event)
{
    if (HIWORD(event) != IDC_TRAY_ICON)
        return 0;
    switch (LOWORD(event))
    {
    case WM_LBUTTONDBLCLK:
    case NIN_SELECT:
    case NIN_KEYSELECT:
        // Enter comes twice; while the password is asked, the prompt refuses a second one.
        SetForegroundWindow(hwnd);
        ShowMainWindow();
        break;
    case WM_RBUTTONUP:
        // A right click: the shell's WM_CONTEXTMENU follows.
        trayMenuByMouse = true;
        break;
    case WM_CONTEXTMENU:
    {
        // A right click, or the menu key or Shift+F10 on the icon.
        bool byKeyboard = !trayMenuByMouse;
        trayMenuByMouse = false;
        ShowTrayMenu({GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)}, byKeyboard);
        break;
    }
    }
    return 0;
}

void CWindowMain::ShowTrayMenu(POINT anchor, bool byKeyboard)
{
    int command = trayMenu.Show(hwnd, anchor);
    if (command)
    {
        PostMessageW(hwnd, WM_COMMAND, command, 0);
        return;
    }
    // Dismissed: a keyboard user goes on in the notification area. A mouse user may have
    // clicked another window, which must keep the focus.
    if (!byKeyboard)
        return;
    NOTIFYICONDATAW data = TrayIconData();
    Shell_NotifyIconW(NIM_SETFOCUS, &data);
}
