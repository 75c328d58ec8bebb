// Deletes the file of every row it is given that is still the file the search
// listed, asking what to do with files that cannot be deleted or have changed,
// and drops the rows of the deleted files.
#pragma once

#include "engine/CWorkerThread.h"
#include "engine/WorkerJobs.h"

#include <string>

class CDelEntriesThread : public CWorkerThread
{
public:
    CDelEntriesThread(DeletionJob job, SearchResults* found, WorkerControl* control, IWorkerProgress* progress);

protected:
    void Run() override;

private:
    enum class Outcome
    {
        Deleted,
        Failed,
        Changed,
    };

    const DeletionJob job;

    static Outcome DeleteUnchanged(const ChosenFile& file);
};
