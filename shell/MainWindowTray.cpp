// The main window's notification icon: drawn for the scale of the taskbar's
// monitor, added once the taskbar exists and again when Explorer restarts, and
// the mouse messages it sends.
#include "shell/CWindowMain.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "shell/ShellMessages.h"

#include <shellapi.h>
#include <versionhelpers.h>

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
    data.uFlags = NIF_TIP;
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

LRESULT CWindowMain::OnTrayNotify(WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != IDC_TRAY_ICON)
        return 0;
    switch (mouseMessage)
    {
    case WM_LBUTTONDBLCLK:
        SetForegroundWindow(hwnd);
        ShowMainWindow();
        break;
    case WM_RBUTTONDOWN:
        trayMenu.Show(hwnd);
        break;
    }
    return 0;
}
