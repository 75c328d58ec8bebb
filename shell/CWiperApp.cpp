// WinSock's header must come before <windows.h>, which the others include.
#include <winsock2.h>

#include "shell/CWiperApp.h"

#include "framework/Prompts.h"
#include "framework/FailureReport.h"
#include "framework/MessageLoop.h"
#include "framework/Text.h"
#include "help/HelpViewerSession.h"
#include "resources/resource.h"
#include "settings/CCheckPassword.h"
#include "shell/CWindowMain.h"
#include "shell/Globals.h"

#include "ProductIdentity.h"

#include <commctrl.h>
#include <msi.h>
#include <ole2.h>

#include <vector>

namespace
{
const wchar_t kMutexName[] = L"VelmoraMutex";

// The folder the Installer put the product in; false when no product of the upgrade
// code is installed. Whichever build or platform is installed is found.
bool QueryInstallLocation(std::string& location)
{
    wchar_t productCode[39] = {};
    if (MsiEnumRelatedProductsW(kUpgradeCode, 0, 0, productCode) != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> buffer(MAX_PATH, L'\0');
    DWORD length = static_cast<DWORD>(buffer.size());
    UINT status = MsiGetProductInfoW(productCode, INSTALLPROPERTY_INSTALLLOCATION, buffer.data(), &length);
    // A folder deeper than MAX_PATH is still this product's folder: read it whole.
    if (status == ERROR_MORE_DATA)
    {
        buffer.assign(length + 1, L'\0');
        length = static_cast<DWORD>(buffer.size());
        status = MsiGetProductInfoW(productCode, INSTALLPROPERTY_INSTALLLOCATION, buffer.data(), &length);
    }
    if (status != ERROR_SUCCESS)
        return false;
    location = Narrow(std::wstring(buffer.data(), length));
    return true;
}

void InitialisePlatformLibraries()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    // The update page's text box is a Rich Edit 2.0 control.
    LoadLibraryW(L"riched20.dll");
    // The version check uses WinSock 2's event selection.
    WSADATA winsock = {};
    WSAStartup(MAKEWORD(2, 2), &winsock);
}
}

bool AnotherInstanceRuns(HANDLE mutex, DWORD error)
{
    return mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

bool CWiperApp::InitInstance()
{
    const std::string title = "Velmora";
    SetFailureReporter(ShowOutOfMemory);

    std::string installFolder;
    if (!QueryInstallLocation(installFolder))
    {
        ShowMessage(nullptr, "Error", "", title + " is not installed.", IDI_EXCLAMATION_MARK);
        return false;
    }
    // Made current as the Installer gave it, before the separator is added; in the
    // ordinary form where it fits, as relative paths are resolved against it.
    SetCurrentDirectoryW(installFolder.size() < MAX_PATH ? Widen(installFolder).c_str()
                                                         : LongPath(installFolder).c_str());
    if (installFolder.empty() || installFolder.back() != '\\')
        installFolder += '\\';

    HANDLE mutex = CreateMutexW(nullptr, TRUE, kMutexName);
    if (AnotherInstanceRuns(mutex, GetLastError()))
        ActivateRunningInstance(installFolder);
    else
        RunMainWindow(title, installFolder);
    if (mutex)
        CloseHandle(mutex);
    return false;
}

void CWiperApp::ActivateRunningInstance(const std::string& installFolder)
{
    // Still starting, or already gone: nothing to bring forward.
    HWND running = FindWindowW(kMainWindowClass, nullptr);
    if (!running)
        return;
    wiperSettings.installFolder = installFolder;
    wiperSettings.settingsFolder = UserSettingsFolder();
    SettingsFailure failure;
    if (wiperSettings.Load(&failure) == SettingsLoad::Failed)
        ShowSettingsFailure(nullptr, failure);
    if (wiperSettings.passwordProtected && !IsWindowVisible(running))
    {
        CCheckPassword prompt(&wiperSettings);
        if (prompt.DoModal(nullptr) == IDOK)
            ShowWindow(running, SW_SHOWNORMAL);
    }
    else
    {
        ShowWindow(running, IsIconic(running) ? SW_RESTORE : SW_SHOWNORMAL);
    }
    // Also after a refused password, so the user sees where the program is.
    SetForegroundWindow(running);
}

void CWiperApp::RunMainWindow(const std::string& title, const std::string& installFolder)
{
    InitialisePlatformLibraries();
    HelpViewerSession helpViewer;

    CWindowMain mainWindow;
    wiperSettings.installFolder = installFolder;
    wiperSettings.settingsFolder = UserSettingsFolder();

    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELMORA));
    CWnd::RegisterDialogClass(kMainWindowClass, icon);

    // A window that could not be created cannot be set up either.
    const int setUp =
        mainWindow.Create({.className = kMainWindowClass, .title = title, .style = WS_OVERLAPPEDWINDOW})
            ? mainWindow.SetUp()
            : 0;
    switch (setUp)
    {
    case 1:
        // Ends when the exit sequence destroys the main window.
        RunMessageLoop();
        break;
    case 0:
        ShowMessage(nullptr, "Error", "", "Initialization error.", IDI_EXCLAMATION_MARK);
        mainWindow.DestroyWindow();
        break;
    default:
        // 2: closed without a message.
        mainWindow.DestroyWindow();
        break;
    }
}
