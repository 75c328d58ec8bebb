// The main window's notification icon: drawn for the window's scale, added
// again when Explorer restarts, and the mouse messages it sends.
#include "shell/CWindowMain.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "shell/ShellMessages.h"

#include <shellapi.h>
#include <versionhelpers.h>

#include <cwchar>

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
    const int size = SmallIconSize(dpi);
    HICON loaded = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0));
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
    Shell_NotifyIconW(NIM_ADD, &data);
    data.uFlags = NIF_TIP;
    std::wstring tip = Widen(title + " \n");
    wcsncpy(data.szTip, tip.c_str(), sizeof(data.szTip) / sizeof(data.szTip[0]) - 1);
    Shell_NotifyIconW(NIM_MODIFY, &data);
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
