// Deletes the file of every marked result row, asking what to do with files
// that cannot be deleted, and drops the rows of the deleted files.
#pragma once

#include "engine/CWorkerThread.h"

class CDelEntriesThread : public CWorkerThread
{
public:
    CDelEntriesThread(CWiperSettings* settings, IResultsPage* page, WorkerControl* control);

protected:
    void Run() override;

private:
    int selectedCount;
};
