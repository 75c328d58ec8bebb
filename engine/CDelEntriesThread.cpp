#include "engine/CDelEntriesThread.h"

#include "engine/FileStamp.h"
#include "engine/FileSystemRedirectionOff.h"
#include "engine/WorkerMessages.h"
#include "framework/Text.h"
#include "settings/CWiperSettings.h"

#include <mutex>

CDelEntriesThread::CDelEntriesThread(CWiperSettings* settings, IResultsPage* page, WorkerControl* control)
    : CWorkerThread(settings, page, control), selectedCount((int)page->SelectedCount())
{
}

void CDelEntriesThread::Run()
{
    control->stopRequested = 0;
    control->resultCount = 0;
    Send(WM_WORKER_STARTED);
    control->statusCount = selectedCount;
    // Only this worker changes the rows while it runs, so it reads them unlocked.
    const std::vector<FoundFile>& rows = settings->foundFiles;
    size_t count = rows.size();
    Post(WM_WORKER_PROGRESS);

    // Rows of deleted files are dropped together at the end: the list keeps
    // painting them meanwhile, and one pass is linear however many are deleted.
    std::vector<char> deleted(count, 0);
    int deletedCount = 0;
    for (size_t i = 0; i < count; i++)
    {
        if (StopRequested())
            break;
        if (!rows[i].selected)
            continue;
        std::string path = rows[i].Path();
        Outcome outcome = DeleteUnchanged(rows[i], LongPath(path));
        if (outcome == Outcome::Deleted)
        {
            deleted[i] = 1;
            control->resultCount = ++deletedCount;
        }
        else if (!SkippingAll() &&
                 AskSkip(outcome == Outcome::Changed
                             ? "File  \"" + path + "\" has changed since the search and was not deleted."
                             : "File  \"" + path + "\" cannot be deleted.",
                         " ") == Choice::Cancel)
        {
            control->stopRequested = 1;
            break;
        }
        ReportProgress(false);
    }
    Post(WM_WORKER_PROGRESS);
    Post(WM_WORKER_FINISHED);
    {
        std::unique_lock lock(settings->foundFilesLock);
        DropRows(settings->foundFiles, settings->foundPlaces, deleted);
    }
    EndRun();
}

// A file rewritten or replaced since the search is not the one the user chose.
// Looking at the attributes costs far less than a handle held from the check
// to the deletion; a file that cannot be looked at is left to DeleteFileW,
// which then fails and is reported as it would be without the check.
CDelEntriesThread::Outcome CDelEntriesThread::DeleteUnchanged(const FoundFile& row, const std::wstring& path)
{
    FileSystemRedirectionOff seeFoldersAsTheyAre;
    WIN32_FILE_ATTRIBUTE_DATA now;
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &now))
    {
        // Only a reparse point needs its tag, to tell a link from a placeholder.
        const DWORD tag = (now.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? ReparseTagOf(path) : 0;
        if (!StillAsSeen(row, now, tag))
            return Outcome::Changed;
    }
    return DeleteFileW(path.c_str()) ? Outcome::Deleted : Outcome::Failed;
}
