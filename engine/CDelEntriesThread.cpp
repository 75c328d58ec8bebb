#include "engine/CDelEntriesThread.h"

#include "engine/FileStamp.h"
#include "engine/FileSystemRedirectionOff.h"
#include "engine/LocalZone.h"
#include "framework/Text.h"

CDelEntriesThread::CDelEntriesThread(DeletionJob job, SearchResults* found, WorkerControl* control,
                                     IWorkerProgress* progress)
    : CWorkerThread(found, control, progress), job(std::move(job))
{
}

void CDelEntriesThread::Run()
{
    control->stopRequested = 0;
    control->resultCount = 0;
    progress->WorkerStarted();
    control->statusCount = (int)job.files.size();
    progress->WorkerProgress(false);

    DeletionRecord record(job.recordPath, CurrentZoneRule());
    for (const ChosenFile& file : job.leftOut)
        record.Add(file, DeletionOutcome::Skipped, "kept online only");
    // Rows of deleted files are dropped together at the end: the list keeps
    // painting them meanwhile, and one pass is linear however many are deleted.
    std::vector<uint32_t> deleted;
    const size_t settled = job.recycle ? RecycleAll(record, deleted) : DeleteAll(record, deleted);
    for (size_t i = settled; i < job.files.size(); i++)
        record.Add(job.files[i], DeletionOutcome::Skipped, "the deletion was stopped");
    progress->WorkerProgress(false);
    found->DropFoundPlaces(deleted);
    EndRun();
}

size_t CDelEntriesThread::DeleteAll(DeletionRecord& record, std::vector<uint32_t>& deleted)
{
    for (size_t i = 0; i < job.files.size(); i++)
    {
        if (StopRequested())
            return i;
        DWORD error = 0;
        const DeletionOutcome outcome = DeleteUnchanged(job.files[i], error);
        if (!Settle(record, job.files[i], outcome, error, deleted))
            return i + 1;
        ReportProgress(false);
    }
    return job.files.size();
}

// The files go in one shell operation as long as nothing needs asking: a file
// that has changed or cannot be recycled first sends those before it, so the
// questions come in the files' order and Cancel leaves every later file alone.
size_t CDelEntriesThread::RecycleAll(DeletionRecord& record, std::vector<uint32_t>& deleted)
{
    RecycleBin bin(job.willRecycle);
    std::vector<size_t> batch;
    for (size_t i = 0; i < job.files.size(); i++)
    {
        if (StopRequested())
            return batch.empty() ? i : batch.front();
        const ChosenFile& file = job.files[i];
        DWORD error = 0;
        DeletionOutcome outcome = CheckUnchanged(file, error);
        if (outcome == DeletionOutcome::Recycled && !bin.MayRecycle(file.path))
            outcome = DeletionOutcome::Skipped;
        if (outcome == DeletionOutcome::Recycled)
        {
            batch.push_back(i);
            continue;
        }
        if (!RecycleBatch(bin, batch, record, deleted))
            return i;
        if (!Settle(record, file, outcome, error, deleted))
            return i + 1;
        ReportProgress(false);
    }
    if (StopRequested())
        return batch.empty() ? job.files.size() : batch.front();
    RecycleBatch(bin, batch, record, deleted);
    return job.files.size();
}

bool CDelEntriesThread::RecycleBatch(RecycleBin& bin, std::vector<size_t>& batch, DeletionRecord& record,
                                     std::vector<uint32_t>& deleted)
{
    if (batch.empty())
        return true;
    std::vector<std::string> paths;
    for (size_t i : batch)
        paths.push_back(job.files[i].path);
    std::vector<RecycleBin::Result> results;
    std::vector<DWORD> errors;
    bin.Recycle(paths, results, errors);
    // Every file of the operation is settled, counted and recorded; after a
    // Cancel only the questions stop.
    bool cancelled = false;
    for (size_t k = 0; k < batch.size(); k++)
    {
        const ChosenFile& file = job.files[batch[k]];
        const DeletionOutcome outcome = results[k] == RecycleBin::Result::Recycled      ? DeletionOutcome::Recycled
                                        : results[k] == RecycleBin::Result::NotRecyclable ? DeletionOutcome::Skipped
                                                                                          : DeletionOutcome::Failed;
        cancelled = !Settle(record, file, outcome, errors[k], deleted, !cancelled) || cancelled;
        ReportProgress(false);
    }
    batch.clear();
    return !cancelled;
}

bool CDelEntriesThread::Settle(DeletionRecord& record, const ChosenFile& file, DeletionOutcome outcome, DWORD error,
                               std::vector<uint32_t>& deleted, bool ask)
{
    std::string reason;
    std::string question;
    switch (outcome)
    {
    case DeletionOutcome::Deleted:
    case DeletionOutcome::Recycled:
        deleted.push_back(file.place);
        control->resultCount = (int)deleted.size();
        record.Add(file, outcome, reason);
        return true;
    case DeletionOutcome::Changed:
        reason = "changed since the search";
        question = "File  \"" + file.path + "\" has changed since the search and was not deleted.";
        break;
    case DeletionOutcome::Skipped:
        reason = "cannot be moved to the Recycle Bin";
        question = " " + file.path + " cannot be moved to the Recycle Bin.";
        break;
    case DeletionOutcome::Failed:
        reason = SystemMessage(error);
        question = "File  \"" + file.path + "\" cannot be deleted.";
        break;
    }
    record.Add(file, outcome, reason);
    if (!ask || SkippingAll() || AskSkip(question, " ") != Choice::Cancel)
        return true;
    control->stopRequested = 1;
    return false;
}

// A file rewritten or replaced since the search is not the one the user chose.
// Looking at the attributes costs far less than a handle held from the check
// to the deletion; a file that cannot be looked at is left to the deletion,
// which then fails and is reported as it would be without the check.
DeletionOutcome CDelEntriesThread::CheckUnchanged(const ChosenFile& file, DWORD& error)
{
    const std::wstring path = LongPath(file.path);
    FileSystemRedirectionOff seeFoldersAsTheyAre;
    WIN32_FILE_ATTRIBUTE_DATA now;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &now))
    {
        error = GetLastError();
        // Gone or unreachable: a deletion would fail the same way.
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? DeletionOutcome::Failed
                                                                                : DeletionOutcome::Recycled;
    }
    // Only a reparse point needs its tag, to tell a link from a placeholder.
    const DWORD tag = (now.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? ReparseTagOf(path) : 0;
    return StillAsSeen(file, now, tag) ? DeletionOutcome::Recycled : DeletionOutcome::Changed;
}

DeletionOutcome CDelEntriesThread::DeleteUnchanged(const ChosenFile& file, DWORD& error)
{
    const DeletionOutcome checked = CheckUnchanged(file, error);
    if (checked == DeletionOutcome::Changed)
        return checked;
    FileSystemRedirectionOff seeFoldersAsTheyAre;
    if (DeleteFileW(LongPath(file.path).c_str()))
        return DeletionOutcome::Deleted;
    error = GetLastError();
    return DeletionOutcome::Failed;
}
