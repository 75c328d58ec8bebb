// The small window shown while a search or a deletion runs: it starts the
// worker, shows its counts, and lets the user stop it.
#pragma once

#include "engine/IResultsPage.h"
#include "engine/Operation.h"
#include "engine/WorkerControl.h"
#include "framework/CDialog.h"

#include <string>

class CWiperSettings;

class CWindowProgressUnDelete : public CDialog
{
public:
    CWindowProgressUnDelete();

    // Opens the window without owner, captioned, and starts the worker that
    // settings->requestedOperation asks for (1 search, 2 deletion).
    bool Open(CWiperSettings* settings, IResultsPage* page, const std::string& caption);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    void OnOK() override;
    void OnCancel() override;

private:
    CWiperSettings* settings = nullptr;
    IResultsPage* page = nullptr;
    // Outlives each worker, which deletes itself when it ends.
    WorkerControl control;
    // The worker this window started. Its last counts arrive after it has
    // ended, so they are shown by this rather than by runningOperation.
    Operation operation = Operation::None;

    // True while a worker runs: runningOperation names it.
    bool WorkerRunning() const;
    void OnWorkerStarted();
    void OnWorkerProgress();
    void OnWorkerFinished();
    void AskToStop();
};
