#include "help/CWindowHelpCheckUpdates.h"

#include "framework/CWinThread.h"
#include "framework/Prompts.h"
#include "framework/Gdi.h"
#include "help/CUpdateCheckThread.h"
#include "resources/resource.h"

#include <richedit.h>

CWindowHelpCheckUpdates::CWindowHelpCheckUpdates(const UpdateServer& server)
    : CPage(IDD_UPDATE_PAGE, 480, 420), server(server)
{
}

CWindowHelpCheckUpdates::~CWindowHelpCheckUpdates()
{
    if (workerThread)
    {
        abortRequested = 1;
        WaitForSingleObject(workerThread, INFINITE);
        CloseHandle(workerThread);
    }
}

std::string CWindowHelpCheckUpdates::ReportText() const
{
    std::lock_guard<std::mutex> lock(reportLock);
    return reportText;
}

void CWindowHelpCheckUpdates::AbortCheck(DWORD timeoutMs)
{
    if (!workerThread)
        return;
    abortRequested = 1;
    JoinThread(workerThread, timeoutMs);
}

LRESULT CWindowHelpCheckUpdates::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_UPDATE_STATUS:
        OnStatus(wParam == 1);
        return TRUE;
    case WM_PAINT:
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // Read again whenever the page is drawn: a change of theme repaints every window.
        ApplyReportLook();
        break;
    case DM_GETDEFID:
        // Enter on the page reaches OnOK: "Check for updates" is the default button in looks only.
        SetResult(MAKELRESULT(IDOK, DC_HASDEFID));
        return TRUE;
    }
    return CPage::WindowProc(message, wParam, lParam);
}

bool CWindowHelpCheckUpdates::OnCommand(int id, int code)
{
    switch (id)
    {
    case IDC_CHECK_FOR_UPDATES:
        if (code == BN_CLICKED)
            OnCheckForUpdates();
        return true;
    case IDC_UPDATE_CANCEL:
        if (code == BN_CLICKED)
            AskToAbort();
        return true;
    }
    // Enter and Escape come here as IDOK and IDCANCEL.
    return CPage::OnCommand(id, code);
}

BOOL CWindowHelpCheckUpdates::OnInitDialog()
{
    ApplyReportLook();
    // Links are marked for the eye; their notifications get no answer of ours.
    SendMessageW(GetItem(IDC_UPDATE_REPORT), EM_SETEVENTMASK, 0, ENM_LINK);
    SetItemText(IDC_UPDATE_REPORT, "Please click the 'Check for updates' button");
    return TRUE;
}

// Escape asks to abort a running check.
void CWindowHelpCheckUpdates::OnCancel()
{
    AskToAbort();
}

void CWindowHelpCheckUpdates::OnCheckForUpdates()
{
    if (workerThread || finalStatusDue)
        return;
    ShowChecking(true);
    abortRequested = 0;
    workerThread = CUpdateCheckThread::StartCheck(this);
    if (!workerThread)
    {
        ShowChecking(false);
        return;
    }
    finalStatusDue = true;
}

void CWindowHelpCheckUpdates::OnStatus(bool ended)
{
    SetItemText(IDC_UPDATE_REPORT, ReportText());
    if (!ended)
        return;
    finalStatusDue = false;
    EndWorker();
}

void CWindowHelpCheckUpdates::AskToAbort()
{
    if (!workerThread)
        return;
    if (!AskYesNo(hwnd, "Warning", "", "Do you want to abort checking?", IDI_QUESTION_MARK))
        return;
    abortRequested = 1;
    EndWorker();
}

void CWindowHelpCheckUpdates::EndWorker()
{
    // Posting its final status is the worker's last act, and an aborted worker stops
    // at its next test (a name lookup under way finishes first): neither wait is long.
    if (workerThread)
    {
        WaitForSingleObject(workerThread, INFINITE);
        CloseHandle(workerThread);
        workerThread = nullptr;
    }
    ShowChecking(false);
}

// Idle: only "Check for updates" works; checking: only "Cancel". The focus goes
// with the working button, so the keyboard is never left on a disabled one.
void CWindowHelpCheckUpdates::ShowChecking(bool checking)
{
    HWND enabled = GetItem(checking ? IDC_UPDATE_CANCEL : IDC_CHECK_FOR_UPDATES);
    HWND disabled = GetItem(checking ? IDC_CHECK_FOR_UPDATES : IDC_UPDATE_CANCEL);
    EnableWindow(enabled, TRUE);
    if (GetFocus() == disabled)
        SendMessageW(hwnd, WM_NEXTDLGCTL, (WPARAM)enabled, TRUE);
    EnableWindow(disabled, FALSE);
}

void CWindowHelpCheckUpdates::ApplyReportLook()
{
    const bool highContrast = IsHighContrast();
    const ReportLook look = {highContrast ? GetSysColor(COLOR_BTNTEXT) : RGB(0, 0, 0), GetSysColor(COLOR_BTNFACE),
                             !highContrast};
    if (look == reportLook)
        return;
    reportLook = look;
    HWND box = GetItem(IDC_UPDATE_REPORT);
    SetDefaultTextColour(box, look.text);
    SendMessageW(box, EM_AUTOURLDETECT, look.markLinks, 0);
    SendMessageW(box, EM_SETBKGNDCOLOR, 0, look.background);
    // The text shown takes the new colours and marks when it is set again.
    SetItemText(IDC_UPDATE_REPORT, GetItemText(IDC_UPDATE_REPORT));
}
