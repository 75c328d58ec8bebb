// What the scan and the deletion worker share: the results they change, where
// they report, how they are stopped and paused, and how they end.
#pragma once

#include "engine/IWorkerProgress.h"
#include "engine/SearchResults.h"
#include "engine/WorkerControl.h"
#include "framework/CWinThread.h"

#include <windows.h>

class CWorkerThread : public CWinThread
{
public:
    CWorkerThread(SearchResults* found, WorkerControl* control, IWorkerProgress* progress);

protected:
    SearchResults* found;
    WorkerControl* control;
    IWorkerProgress* progress;
    // The last answer to the worker's question; "Skip all" silences it for the run.
    Choice rememberedAnswer = Choice::None;

    // Waits while the window has paused the worker, then tells whether to stop.
    bool StopRequested() const;
    // Shows the counts after the first item, then at most every 50 ms: a
    // report per item would keep the window busier than the work itself.
    // The scan waits for the window, the deletion does not.
    void ReportProgress(bool wait);
    // Asks what to do about a file or folder: Cancel, No ("Skip") or NoForAll ("Skip all").
    Choice AskSkip(const std::string& text, const char* blank);
    bool SkippingAll() const { return rememberedAnswer == Choice::NoForAll; }
    // Tells the shell and then the window that the worker has ended.
    void EndRun();
    // A run that failed ends as a cancelled one: the window closes, the page is
    // idle again and keeps the rows as they are.
    void Abandon() override;

private:
    DWORD lastProgress = 0;
    bool progressShown = false;
};
