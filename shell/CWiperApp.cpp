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
#include "settings/StartupEntry.h"
#include "shell/CWindowMain.h"
#include "shell/Globals.h"
#include "uninstall/InstalledProduct.h"

#include "ProductIdentity.h"

#include <commctrl.h>
#include <ole2.h>

namespace
{
const wchar_t kMutexName[] = L"VelmoraMutex";

// The folder the Installer put the product in; false when no product of the upgrade
// code is installed. Whichever build or platform is installed is found.
bool QueryInstallLocation(std::string& location)
{
    std::wstring folder;
    if (!InstalledLocation(InstalledProduct(), folder))
        return false;
    location = Narrow(folder);
    return true;
}

// The running instance's window hears the second start, the package's clean-up and
// Explorer's return even when it runs elevated, where Windows drops messages from
// a lower level: a hidden window would otherwise be out of reach.
void LetThroughFromLowerLevels(HWND window)
{
    for (UINT message : {RegisterWindowMessageW(L"TaskbarCreated"), static_cast<UINT>(WM_COMMAND)})
        ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
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

bool RunningInstanceIsAbove(HANDLE mutex, DWORD error)
{
    return !mutex && error == ERROR_ACCESS_DENIED;
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
    const DWORD mutexError = GetLastError();
    if (AnotherInstanceRuns(mutex, mutexError))
        ActivateRunningInstance(installFolder, RunningInstanceIsAbove(mutex, mutexError));
    else
        RunMainWindow(title, installFolder);
    if (mutex)
        CloseHandle(mutex);
    return false;
}

void CWiperApp::ActivateRunningInstance(const std::string& installFolder, bool runningAbove)
{
    // Still starting, or already gone: nothing to bring forward.
    HWND running = FindWindowW(kMainWindowClass, nullptr);
    if (!running)
        return;
    // Windows lets only the foreground's owner bring another process forward: this start hands its right on.
    DWORD runningProcess = 0;
    GetWindowThreadProcessId(running, &runningProcess);
    AllowSetForegroundWindow(runningProcess);
    if (runningAbove)
    {
        // Windows ignores this process's changes to that window: it shows itself,
        // asking its own password when it is locked.
        PostMessageW(running, WM_COMMAND, ID_TRAY_OPEN, 0);
        return;
    }
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
    RepairStartupEntry();
    // After an update or a restart of Windows that closed it, Windows starts it again;
    // not after a crash or a hang, which would repeat.
    RegisterApplicationRestart(nullptr, RESTART_NO_CRASH | RESTART_NO_HANG);

    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELMORA));
    CWnd::RegisterDialogClass(kMainWindowClass, icon);

    // A window that could not be created cannot be set up either.
    int setUp = 0;
    if (mainWindow.Create({.className = kMainWindowClass, .title = title, .style = WS_OVERLAPPEDWINDOW}))
    {
        LetThroughFromLowerLevels(mainWindow.hwnd);
        setUp = mainWindow.SetUp();
    }
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
