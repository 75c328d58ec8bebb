#include "engine/CWindowProgressUnDelete.h"

#include "engine/CDelEntriesThread.h"
#include "engine/CScanEntriesThread.h"
#include "engine/Prompts.h"
#include "engine/WorkerMessages.h"
#include "resources/resource.h"
#include "settings/CWiperSettings.h"

CWindowProgressUnDelete::CWindowProgressUnDelete() : CDialog(IDD_PROGRESS)
{
}

bool CWindowProgressUnDelete::Open(CWiperSettings* settings, IResultsPage* page, const std::string& caption)
{
    this->settings = settings;
    this->page = page;
    // The previous run's window may still be in its last 300 ms.
    DestroyWindow();
    if (!Create(nullptr))
        return false;
    SetText(caption);
    ShowWindow(hwnd, SW_SHOW);
    return true;
}

LRESULT CWindowProgressUnDelete::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_WORKER_FINISHED:
        OnWorkerFinished();
        return TRUE;
    case WM_TIMER:
        KillTimer(hwnd, wParam);
        DestroyWindow();
        return TRUE;
    case WM_WORKER_STOP:
        if (WorkerRunning())
            control.stopRequested = 1;
        return TRUE;
    case WM_WORKER_PAUSE:
        if (WorkerRunning())
            control.Pause();
        return TRUE;
    case WM_WORKER_CONTINUE:
        if (WorkerRunning())
            control.Continue();
        return TRUE;
    case WM_WORKER_STARTED:
        OnWorkerStarted();
        return TRUE;
    case WM_WORKER_PROGRESS:
        OnWorkerProgress();
        return TRUE;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CWindowProgressUnDelete::OnInitDialog()
{
    page->DisableFind();
    const int lines[] = {IDC_PROGRESS_LINE1, IDC_PROGRESS_COUNT1, IDC_PROGRESS_COUNT2, IDC_PROGRESS_LINE4,
                         IDC_PROGRESS_STATUS, IDC_PROGRESS_BAR_FRAME};
    for (int id : lines)
        ShowItem(id, false);
    EnableItem(IDC_PROGRESS_BAR, false);
    ShowItem(IDC_PROGRESS_BAR, false);
    EnableItem(IDC_PROGRESS_CANCEL, true);

    control.Continue();
    operation = Operation::None;
    bool search = settings->requestedOperation == Operation::Search;
    CWorkerThread* worker = nullptr;
    if (search)
        worker = new CScanEntriesThread(settings, page, &control);
    else
        worker = new CDelEntriesThread(settings, page, &control);
    if (!worker->CreateThread())
    {
        delete worker;
        settings->requestedOperation = Operation::None;
        page->RefreshResults();
        PostMessageW(hwnd, WM_WORKER_FINISHED, 0, 0);
        return TRUE;
    }
    operation = search ? Operation::Search : Operation::Delete;
    settings->runningOperation = operation;
    worker->notifyWindow = hwnd;
    worker->ResumeThread();
    return TRUE;
}

bool CWindowProgressUnDelete::OnCommand(int id, int code)
{
    switch (id)
    {
    case IDC_PROGRESS_CANCEL:
        AskToStop();
        return true;
    }
    return CDialog::OnCommand(id, code);
}

// Enter does nothing; Escape and the close box ask, like Cancel. The window
// closes only when its worker ends.
void CWindowProgressUnDelete::OnOK()
{
}

void CWindowProgressUnDelete::OnCancel()
{
    AskToStop();
}

bool CWindowProgressUnDelete::WorkerRunning() const
{
    return settings && settings->runningOperation != Operation::None;
}

void CWindowProgressUnDelete::OnWorkerStarted()
{
    ShowItem(IDC_PROGRESS_STATUS, true);
    SetItemText(IDC_PROGRESS_STATUS, WorkerRunning() ? control.statusText : "");
}

void CWindowProgressUnDelete::OnWorkerProgress()
{
    std::string status = std::to_string(control.statusCount);
    std::string result = std::to_string(control.resultCount);
    switch (operation)
    {
    case Operation::Search:
        SetItemText(IDC_PROGRESS_COUNT1, "Number of processed files:" + status);
        SetItemText(IDC_PROGRESS_COUNT2, "Found " + result + " files");
        break;
    case Operation::Delete:
        SetItemText(IDC_PROGRESS_COUNT1, "Total number of files:" + status);
        SetItemText(IDC_PROGRESS_COUNT2, "Number of deleted files: " + result);
        break;
    default:
        return;
    }
    ShowItem(IDC_PROGRESS_COUNT1, true);
    ShowItem(IDC_PROGRESS_COUNT2, true);
}

// The window stays 300 ms so the final counts can be read; a timer rather than
// a sleep keeps the page answering, and listing the results, meanwhile.
void CWindowProgressUnDelete::OnWorkerFinished()
{
    SetTimer(hwnd, 1, 300, nullptr);
}

void CWindowProgressUnDelete::AskToStop()
{
    if (!WorkerRunning())
        return;
    const char* question = settings->runningOperation == Operation::Search ? "Do you want to stop searching?"
                                                                         : "Do you want to terminate deleting?";
    control.Pause();
    if (AskYesNo(hwnd, "Warning", "", question, IDI_QUESTION_MARK))
        control.stopRequested = 1;
    control.Continue();
}
