#include "engine/CWorkerThread.h"

#include "engine/Prompts.h"
#include "engine/WorkerMessages.h"
#include "resources/resource.h"
#include "settings/CWiperSettings.h"

#include <shlobj.h>

CWorkerThread::CWorkerThread(CWiperSettings* settings, IResultsPage* page, WorkerControl* control)
    : settings(settings), page(page), control(control)
{
}

bool CWorkerThread::StopRequested() const
{
    control->WaitWhilePaused();
    return control->stopRequested != 0;
}

void CWorkerThread::Send(UINT message) const
{
    SendMessageW(notifyWindow, message, 0, 0);
}

void CWorkerThread::Post(UINT message) const
{
    PostMessageW(notifyWindow, message, 0, 0);
}

void CWorkerThread::ReportProgress(bool wait)
{
    const DWORD kIntervalMs = 50;
    DWORD now = GetTickCount();
    if (progressShown && now - lastProgress < kIntervalMs)
        return;
    if (wait)
        Send(WM_WORKER_PROGRESS);
    else
        Post(WM_WORKER_PROGRESS);
    progressShown = true;
    lastProgress = now;
}

Choice CWorkerThread::AskSkip(const std::string& text, const char* blank)
{
    rememberedAnswer = AskChoice(nullptr, "Warning", "", text, IDI_EXCLAMATION_MARK, {0, 0, 1, 1, 1},
                                 {blank, blank, "Cancel", "Skip", "Skip all"});
    return rememberedAnswer;
}

void CWorkerThread::Abandon()
{
    control->stopRequested = 1;
    Post(WM_WORKER_FINISHED);
    EndRun();
}

// The shell hears first: once the flags say the worker has ended, the program
// may end, and nothing of the worker may still be inside the shell then.
void CWorkerThread::EndRun()
{
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    settings->runningOperation = Operation::None;
    settings->requestedOperation = Operation::None;
    control->stopRequested = 1;
    page->RefreshResults();
}
