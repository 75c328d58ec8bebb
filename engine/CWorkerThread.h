// What the scan and the deletion worker share: where they report, how they are
// stopped and paused, and how they end.
#pragma once

#include "engine/IResultsPage.h"
#include "engine/Prompts.h"
#include "engine/WorkerControl.h"
#include "framework/CWinThread.h"

class CWiperSettings;

class CWorkerThread : public CWinThread
{
public:
    // The progress window; receives every message of the worker.
    HWND notifyWindow = nullptr;

    CWorkerThread(CWiperSettings* settings, IResultsPage* page, WorkerControl* control);

protected:
    CWiperSettings* settings;
    IResultsPage* page;
    WorkerControl* control;
    // The last answer to the worker's prompt; "Skip all" silences it for the run.
    Choice rememberedAnswer = Choice::None;

    // Waits while the window has paused the worker, then tells whether to stop.
    bool StopRequested() const;
    void Send(UINT message) const;
    void Post(UINT message) const;
    // Shows the counts after the first item, then at most every 50 ms: a
    // message per item would keep the window busier than the work itself.
    // The scan waits for the window (send), the deletion does not (post).
    void ReportProgress(bool wait);
    // Asks what to do about a file or folder: Cancel, No ("Skip") or NoForAll ("Skip all").
    Choice AskSkip(const std::string& text, const char* blank);
    bool SkippingAll() const { return rememberedAnswer == Choice::NoForAll; }
    // Marks both operations finished, refreshes the page's results and tells the shell.
    void EndRun();
    // A run that failed ends as a cancelled one: the window closes, the page is
    // idle again and keeps the rows as they are.
    void Abandon() override;

private:
    DWORD lastProgress = 0;
    bool progressShown = false;
};
