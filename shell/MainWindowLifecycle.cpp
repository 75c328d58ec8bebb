// The main window's showing, locking and ending: the password before a hidden
// window shows, Lock, and the exit sequence that stores the placement.
#include "shell/CWindowMain.h"

#include "framework/Prompts.h"
#include "search_page/WorkerMessages.h"
#include "resources/resource.h"
#include "settings/CCheckPassword.h"
#include "shell/Globals.h"

#include <shellapi.h>

namespace
{
// A show command that shows: the stored one may hide or minimise, which is
// never what a request to show the window means.
// How long the exit waits for stopped workers.
const DWORD kWorkerGraceMs = 500;

DWORD TimeLeft(DWORD deadline)
{
    const DWORD left = deadline - GetTickCount();
    return left > kWorkerGraceMs ? 0 : left;
}

int ShowingCommand(int command)
{
    switch (command)
    {
    case SW_HIDE:
        return SW_SHOWNORMAL;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        return SW_RESTORE;
    }
    return command;
}
}

void CWindowMain::ShowMainWindow()
{
    bool hidden = !IsWindowVisible(hwnd);
    bool locked = wiperSettings.passwordProtected != 0;
    if (locked && hidden)
    {
        if (!PasswordAccepted())
        {
            // A later exit stores the window as hidden.
            wiperSettings.windowShowCmd = SW_HIDE;
            return;
        }
        if (wiperSettings.windowShowCmd == SW_HIDE)
            wiperSettings.windowShowCmd = SW_SHOWNORMAL;
    }
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    GetWindowPlacement(hwnd, &placement);
    int command = wiperSettings.windowShowCmd;
    if ((placement.showCmd == SW_SHOWMINIMIZED || hidden) && !locked)
        command = SW_SHOWNORMAL;
    ShowWindow(hwnd, ShowingCommand(command));
    SetForegroundWindow(hwnd);
}

void CWindowMain::Lock()
{
    if (wiperSettings.passwordProtected)
    {
        // Only hides: the icon stays and a running worker goes on.
        ShowWindow(hwnd, SW_HIDE);
        return;
    }
    ShowMessage(hwnd, title, "", "To lock the program, you need to turn on 'Protect with password' option!",
                IDI_EXCLAMATION_MARK);
}

void CWindowMain::ShowFromOutside()
{
    if (wiperSettings.passwordProtected && !IsWindowVisible(hwnd) && !PasswordAccepted())
        return;
    RedrawWindow(toolbar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool CWindowMain::PasswordAccepted()
{
    CCheckPassword prompt(&wiperSettings);
    return prompt.DoModal(hwnd) == IDOK;
}

bool CWindowMain::ConfirmLeave()
{
    return settingsPage.ConfirmLeave(hwnd);
}

bool CWindowMain::ConfirmStopWorker(Operation operation, const std::string& caption, const std::string& text)
{
    if (searchPage.RunningOperation() != operation)
        return true;
    // The worker waits while the user decides.
    HWND progress = searchPage.ProgressWindow();
    SendMessageW(progress, WM_WORKER_PAUSE, 0, 0);
    bool exit = AskYesNo(hwnd, caption, "", text, IDI_QUESTION_MARK);
    SendMessageW(progress, WM_WORKER_CONTINUE, 0, 0);
    if (!exit)
        return false;
    SendMessageW(progress, WM_WORKER_STOP, 0, 0);
    return true;
}

void CWindowMain::ExitProgram()
{
    if (!ConfirmStopWorker(Operation::Search, "Files Searching", " Searching is in progress. Do you really want to exit?"))
        return;
    if (!ConfirmStopWorker(Operation::Delete, "Deleting Files", "Deleting Files. Do you really want to exit?"))
        return;
    NOTIFYICONDATAW data = TrayIconData();
    Shell_NotifyIconW(NIM_DELETE, &data);
    trayMenu.Destroy();
    Finish(Save::ShowingFailure);
}

// Windows ends the session whatever the program answers, so nothing may wait for
// the user: a worker is stopped unasked, and a failed save is not shown. A
// cancelled logoff leaves the program as it was.
void CWindowMain::OnEndSession(bool sessionEnds)
{
    if (!sessionEnds)
        return;
    if (searchPage.RunningOperation() != Operation::None)
        SendMessageW(searchPage.ProgressWindow(), WM_WORKER_STOP, 0, 0);
    NOTIFYICONDATAW data = TrayIconData();
    Shell_NotifyIconW(NIM_DELETE, &data);
    trayMenu.Destroy();
    Finish(Save::Silently);
}

void CWindowMain::Finish(Save save)
{
    StorePlacement();
    pages.clear();
    SettingsFailure failure;
    if (save != Save::No && !wiperSettings.Save(&failure) && save == Save::ShowingFailure)
        ShowSettingsFailure(nullptr, failure);
    // After settings.dat, whose save makes the user's folder on the first run.
    if (save != Save::No)
        searchPage.KeepSearch();
    // Stopped workers get half a second between them to end on their own; one
    // that has not ended by then ends with the process.
    const DWORD deadline = GetTickCount() + kWorkerGraceMs;
    searchPage.WaitForWorker(kWorkerGraceMs);
    updatePage.AbortCheck(TimeLeft(deadline));
    DestroyWindow();
}

void CWindowMain::StorePlacement()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    GetWindowPlacement(hwnd, &placement);
    wiperSettings.windowLeft = placement.rcNormalPosition.left;
    wiperSettings.windowTop = placement.rcNormalPosition.top;
    // Sizes are stored at 96 DPI, so a window saved at one scale comes back as large at another.
    wiperSettings.windowWidth = UnscaleForDpi(placement.rcNormalPosition.right - placement.rcNormalPosition.left, dpi);
    wiperSettings.windowHeight = UnscaleForDpi(placement.rcNormalPosition.bottom - placement.rcNormalPosition.top, dpi);
    wiperSettings.windowShowCmd = IsWindowVisible(hwnd) ? placement.showCmd : SW_HIDE;

    WINDOWPLACEMENT bar = {};
    bar.length = sizeof(bar);
    GetWindowPlacement(splitterBar.hwnd, &bar);
    wiperSettings.splitterPos = UnscaleForDpi(bar.rcNormalPosition.left, dpi);
}
