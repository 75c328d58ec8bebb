// The small window shown while a search or a deletion runs: it starts the
// worker for the page's job, shows its counts, answers its questions and lets
// the user stop it.
#pragma once

#include "engine/IWorkerProgress.h"
#include "engine/Operation.h"
#include "engine/SearchResults.h"
#include "engine/WorkerControl.h"
#include "engine/WorkerJobs.h"
#include "framework/CDialog.h"
#include "search_page/IResultsPage.h"

#include <string>

class CWorkerThread;

class CWindowProgressUnDelete : public CDialog, public IWorkerProgress
{
public:
    CWindowProgressUnDelete();
    ~CWindowProgressUnDelete() override;

    // Each opens the window without owner, captioned, and starts the worker on the
    // page's results; false when nothing was started.
    bool StartSearch(IResultsPage* page, SearchResults* found, const std::string& caption, ScanJob job);
    bool StartDeletion(IResultsPage* page, SearchResults* found, const std::string& caption, DeletionJob job);

    // The operation whose worker runs, until the window hears of its end.
    Operation RunningOperation() const { return runningOperation; }
    // Waits at most timeoutMs for the last worker's thread to end; true when it has.
    bool WaitForWorker(DWORD timeoutMs) const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    void OnOK() override;
    void OnCancel() override;

    // Called by the worker, on its thread.
    void WorkerStarted() override;
    void WorkerProgress(bool wait) override;
    Choice AskSkip(const std::string& text, const char* blank) override;
    void ShowWarning(const std::string& text) override;
    void WorkerFinished() override;

private:
    IResultsPage* page = nullptr;
    // Outlives each worker, which deletes itself when it ends.
    WorkerControl control;
    Operation runningOperation = Operation::None;
    // The last worker's thread, for joining it.
    HANDLE workerThread = nullptr;
    // This window, as the worker reads it on its own thread.
    HWND notifyWindow = nullptr;
    // The window that was active when this one opened; it is active again when
    // this one closes, so the keyboard goes on where it was.
    HWND activeBefore = nullptr;

    // Opens the window and starts `worker` as `operation`; the worker is deleted when it cannot start.
    bool Start(IResultsPage* page, const std::string& caption, CWorkerThread* worker, Operation operation);
    bool WorkerRunning() const { return runningOperation != Operation::None; }
    void OnWorkerStarted();
    void OnWorkerProgress();
    void OnWorkerFinished();
    void AskToStop();
};
