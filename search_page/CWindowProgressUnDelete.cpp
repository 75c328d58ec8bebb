#include "search_page/CWindowProgressUnDelete.h"

#include "engine/CDelEntriesThread.h"
#include "engine/CScanEntriesThread.h"
#include "framework/Prompts.h"
#include "resources/resource.h"
#include "search_page/WorkerMessages.h"

namespace
{
// How long the final counts stay readable after the worker has ended.
const UINT kCloseDelayMs = 300;
const UINT_PTR kCloseTimer = 1;
}

CWindowProgressUnDelete::CWindowProgressUnDelete() : CDialog(IDD_PROGRESS)
{
}

CWindowProgressUnDelete::~CWindowProgressUnDelete()
{
    if (workerThread)
        CloseHandle(workerThread);
}

bool CWindowProgressUnDelete::StartSearch(IResultsPage* page, SearchResults* found, const std::string& caption,
                                          ScanJob job)
{
    return Start(page, caption, new CScanEntriesThread(std::move(job), found, &control, this), Operation::Search);
}

bool CWindowProgressUnDelete::StartDeletion(IResultsPage* page, SearchResults* found, const std::string& caption,
                                            DeletionJob job)
{
    return Start(page, caption, new CDelEntriesThread(std::move(job), found, &control, this), Operation::Delete);
}

bool CWindowProgressUnDelete::Start(IResultsPage* page, const std::string& caption, CWorkerThread* worker,
                                    Operation operation)
{
    this->page = page;
    // The previous run's window may still be in its last 300 ms.
    DestroyWindow();
    activeBefore = GetActiveWindow();
    if (!Create(nullptr))
    {
        delete worker;
        return false;
    }
    SetText(caption);
    ShowWindow(hwnd, SW_SHOW);
    // Everything the worker reads is in place before it runs.
    notifyWindow = hwnd;
    control.Continue();
    runningOperation = operation;
    HANDLE started = worker->Start();
    if (!started)
    {
        runningOperation = Operation::None;
        DestroyWindow();
        return false;
    }
    if (workerThread)
        CloseHandle(workerThread);
    workerThread = started;
    return true;
}

bool CWindowProgressUnDelete::WaitForWorker(DWORD timeoutMs) const
{
    return JoinThread(workerThread, timeoutMs);
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
    case WM_DESTROY:
        // Without an owner, the platform would hand the activation to any window.
        if (GetActiveWindow() == hwnd && activeBefore && IsWindowVisible(activeBefore))
            SetActiveWindow(activeBefore);
        break;
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
    const int lines[] = {IDC_PROGRESS_LINE1, IDC_PROGRESS_COUNT1, IDC_PROGRESS_COUNT2, IDC_PROGRESS_LINE4,
                         IDC_PROGRESS_STATUS, IDC_PROGRESS_BAR_FRAME};
    for (int id : lines)
        ShowItem(id, false);
    EnableItem(IDC_PROGRESS_BAR, false);
    ShowItem(IDC_PROGRESS_BAR, false);
    EnableItem(IDC_PROGRESS_CANCEL, true);
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

// The worker's reports become the window's messages, handled on its thread in
// the order the worker made them.
void CWindowProgressUnDelete::WorkerStarted()
{
    SendMessageW(notifyWindow, WM_WORKER_STARTED, 0, 0);
}

void CWindowProgressUnDelete::WorkerProgress(bool wait)
{
    if (wait)
        SendMessageW(notifyWindow, WM_WORKER_PROGRESS, 0, 0);
    else
        PostMessageW(notifyWindow, WM_WORKER_PROGRESS, 0, 0);
}

// A worker's questions are shown on its own thread without an owner, so this
// window keeps answering Cancel and the main window's requests meanwhile.
Choice CWindowProgressUnDelete::AskSkip(const std::string& text, const char* blank)
{
    return AskChoice(nullptr, "Warning", "", text, IDI_EXCLAMATION_MARK, {0, 0, 1, 1, 1},
                     {blank, blank, "Cancel", "Skip", "Skip all"});
}

void CWindowProgressUnDelete::ShowWarning(const std::string& text)
{
    ShowMessage(nullptr, "Warning", "", text, IDI_EXCLAMATION_MARK);
}

void CWindowProgressUnDelete::WorkerFinished()
{
    PostMessageW(notifyWindow, WM_WORKER_FINISHED, 0, 0);
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
    switch (runningOperation)
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

// The worker's last report: the page lists what it left. The window stays 300 ms
// so the final counts can be read; a timer rather than a sleep keeps the page
// answering meanwhile.
void CWindowProgressUnDelete::OnWorkerFinished()
{
    if (WorkerRunning())
    {
        runningOperation = Operation::None;
        page->OperationEnded();
    }
    SetTimer(hwnd, kCloseTimer, kCloseDelayMs, nullptr);
}

void CWindowProgressUnDelete::AskToStop()
{
    if (!WorkerRunning())
        return;
    const char* question = runningOperation == Operation::Search ? "Do you want to stop searching?"
                                                                 : "Do you want to terminate deleting?";
    control.Pause();
    if (AskYesNo(hwnd, "Warning", "", question, IDI_QUESTION_MARK))
        control.stopRequested = 1;
    control.Continue();
}
