// Deletes the file of every row it is given that is still the file the search
// listed, or moves it to the Recycle Bin, asking what to do with files that
// cannot go or have changed, drops the rows of the files that went, and records
// what became of every chosen file.
#pragma once

#include "engine/CWorkerThread.h"
#include "engine/DeletionRecord.h"
#include "engine/RecycleBin.h"
#include "engine/WorkerJobs.h"

#include <string>

class CDelEntriesThread : public CWorkerThread
{
public:
    CDelEntriesThread(DeletionJob job, SearchResults* found, WorkerControl* control, IWorkerProgress* progress);

protected:
    void Run() override;

private:
    const DeletionJob job;

    // Each returns how many of the job's files it settled before it stopped.
    size_t DeleteAll(DeletionRecord& record, std::vector<uint32_t>& deleted);
    size_t RecycleAll(DeletionRecord& record, std::vector<uint32_t>& deleted);
    // Recycles the files at these places of the job in one operation and settles each; false on Cancel.
    bool RecycleBatch(RecycleBin& bin, std::vector<size_t>& batch, DeletionRecord& record,
                      std::vector<uint32_t>& deleted);
    // Records what became of a file, counts it when it went, and asks about it
    // when it did not and `ask` allows; false when the user cancels.
    bool Settle(DeletionRecord& record, const ChosenFile& file, DeletionOutcome outcome, DWORD error,
                std::vector<uint32_t>& deleted, bool ask = true);

    // Deleted when it could go; Changed; Failed with the error otherwise.
    static DeletionOutcome DeleteUnchanged(const ChosenFile& file, DWORD& error);
    // Whether the file is still the one the search listed: Recycled stands for "yes".
    static DeletionOutcome CheckUnchanged(const ChosenFile& file, DWORD& error);
};
