// Deletes the file of every marked result row that is still the file the
// search listed, asking what to do with files that cannot be deleted or have
// changed, and drops the rows of the deleted files.
#pragma once

#include "engine/CWorkerThread.h"

class CDelEntriesThread : public CWorkerThread
{
public:
    CDelEntriesThread(CWiperSettings* settings, IResultsPage* page, WorkerControl* control);

protected:
    void Run() override;

private:
    enum class Outcome
    {
        Deleted,
        Failed,
        Changed,
    };

    int selectedCount;

    static Outcome DeleteUnchanged(const FoundFile& row, const std::wstring& path);
};
