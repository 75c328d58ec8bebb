#include "engine/CDelEntriesThread.h"

#include "engine/FileStamp.h"
#include "engine/FileSystemRedirectionOff.h"
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

    // Rows of deleted files are dropped together at the end: the list keeps
    // painting them meanwhile, and one pass is linear however many are deleted.
    std::vector<uint32_t> deleted;
    for (const ChosenFile& file : job.files)
    {
        if (StopRequested())
            break;
        Outcome outcome = DeleteUnchanged(file);
        if (outcome == Outcome::Deleted)
        {
            deleted.push_back(file.place);
            control->resultCount = (int)deleted.size();
        }
        else if (!SkippingAll() &&
                 AskSkip(outcome == Outcome::Changed
                             ? "File  \"" + file.path + "\" has changed since the search and was not deleted."
                             : "File  \"" + file.path + "\" cannot be deleted.",
                         " ") == Choice::Cancel)
        {
            control->stopRequested = 1;
            break;
        }
        ReportProgress(false);
    }
    progress->WorkerProgress(false);
    found->DropFoundPlaces(deleted);
    EndRun();
}

// A file rewritten or replaced since the search is not the one the user chose.
// Looking at the attributes costs far less than a handle held from the check
// to the deletion; a file that cannot be looked at is left to DeleteFileW,
// which then fails and is reported as it would be without the check.
CDelEntriesThread::Outcome CDelEntriesThread::DeleteUnchanged(const ChosenFile& file)
{
    const std::wstring path = LongPath(file.path);
    FileSystemRedirectionOff seeFoldersAsTheyAre;
    WIN32_FILE_ATTRIBUTE_DATA now;
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &now))
    {
        // Only a reparse point needs its tag, to tell a link from a placeholder.
        const DWORD tag = (now.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? ReparseTagOf(path) : 0;
        if (!StillAsSeen(file, now, tag))
            return Outcome::Changed;
    }
    return DeleteFileW(path.c_str()) ? Outcome::Deleted : Outcome::Failed;
}
