#include "engine/CWorkerThread.h"

#include <shlobj.h>

CWorkerThread::CWorkerThread(SearchResults* found, WorkerControl* control, IWorkerProgress* progress)
    : found(found), control(control), progress(progress)
{
}

bool CWorkerThread::StopRequested() const
{
    control->WaitWhilePaused();
    return control->stopRequested != 0;
}

void CWorkerThread::ReportProgress(bool wait)
{
    const DWORD kIntervalMs = 50;
    DWORD now = GetTickCount();
    if (progressShown && now - lastProgress < kIntervalMs)
        return;
    progress->WorkerProgress(wait);
    progressShown = true;
    lastProgress = now;
}

Choice CWorkerThread::AskSkip(const std::string& text, const char* blank)
{
    rememberedAnswer = progress->AskSkip(text, blank);
    return rememberedAnswer;
}

void CWorkerThread::Abandon()
{
    EndRun();
}

// The shell hears first: once the window knows the worker has ended, the
// program may end, and nothing of the worker may still be inside the shell then.
void CWorkerThread::EndRun()
{
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    control->stopRequested = 1;
    progress->WorkerFinished();
}
