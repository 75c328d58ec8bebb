#include "engine/CScanEntriesThread.h"

#include "engine/LocalZone.h"
#include "engine/Matching.h"
#include "engine/Prompts.h"
#include "engine/WorkerMessages.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/CWiperSettings.h"

#include <mutex>

// The count lines are never older than this; sending after every file would
// cost a round trip to the window per file.
static const DWORD kProgressIntervalMs = 50;

CScanEntriesThread::CScanEntriesThread(CWiperSettings* settings, IResultsPage* page, WorkerControl* control)
    : CWorkerThread(settings, page, control), locations(settings->locations), criteria(page->Criteria()),
      zone(CurrentZoneRule())
{
}

void CScanEntriesThread::Run()
{
    control->stopRequested = 0;
    control->statusCount = 0;
    control->resultCount = 0;
    Send(WM_WORKER_STARTED);

    bool stopped = false;
    for (const std::string& location : locations)
    {
        if (StopRequested())
        {
            Post(WM_WORKER_FINISHED);
            stopped = true;
            break;
        }
        if (!Walk(location))
            break;
    }
    if (!stopped)
    {
        Post(WM_WORKER_PROGRESS);
        if (CheckLocations())
            Post(WM_WORKER_FINISHED);
    }
    EndRun();
}

bool CScanEntriesThread::CheckLocations()
{
    for (const std::string& location : locations)
    {
        if (GetFileAttributesW(LongPath(location).c_str()) == INVALID_FILE_ATTRIBUTES)
        {
            if (rememberedAnswer != 4 && AskSkip(" \"" + location + "\" not found.", "") == 0)
            {
                control->stopRequested = 1;
                Post(WM_WORKER_FINISHED);
                return false;
            }
        }
        else if (control->stopRequested)
        {
            Send(WM_WORKER_FINISHED);
            return false;
        }
    }
    return true;
}

namespace
{
// One open directory listing of the walk, with the entry it returned last.
struct Listing
{
    HANDLE find;
    std::string folder;
    WIN32_FIND_DATAW entry;
};

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

std::string WithSeparator(const std::string& path)
{
    return !path.empty() && path.back() == '\\' ? path : path + "\\";
}
}

// Depth-first with an explicit stack of listings, so a deep tree cannot exhaust
// the thread's stack; the order is that of recursion.
bool CScanEntriesThread::Walk(const std::string& location)
{
    std::vector<Listing> open;
    auto enter = [&](const std::string& folder) {
        std::wstring widePath = LongPath(folder);
        DWORD attributes = GetFileAttributesW(widePath.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return;
        if (!walked.FirstVisit(widePath))
            return;
        Listing listing;
        listing.folder = WithSeparator(folder);
        listing.find = FindFirstFileExW(LongPath(listing.folder + "*").c_str(), FindExInfoBasic, &listing.entry,
                                        FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (listing.find != INVALID_HANDLE_VALUE)
            open.push_back(std::move(listing));
    };

    enter(location);
    bool withinLimit = true;
    while (!open.empty() && withinLimit)
    {
        Listing& top = open.back();
        if (StopRequested())
            break;
        WIN32_FIND_DATAW entry = top.entry;
        std::string folder = top.folder;
        bool more = FindNextFileW(top.find, &top.entry);
        if (!more)
        {
            FindClose(top.find);
            open.pop_back();
        }
        if (IsDotEntry(entry.cFileName))
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            enter(folder + Narrow(entry.cFileName));
        else
            withinLimit = Examine(folder, entry);
    }
    for (Listing& listing : open)
        FindClose(listing.find);
    return withinLimit;
}

bool CScanEntriesThread::Examine(const std::string& folder, const WIN32_FIND_DATAW& entry)
{
    control->statusCount++;
    const FILETIME& tested = criteria.dateKind == DateKind::Created    ? entry.ftCreationTime
                             : criteria.dateKind == DateKind::Accessed ? entry.ftLastAccessTime
                                                                       : entry.ftLastWriteTime;
    uint64_t size = (uint64_t)entry.nFileSizeHigh << 32 | entry.nFileSizeLow;
    FoundFile hit;
    if (MatchEntry(criteria, Narrow(entry.cFileName), folder, size, TestedTimeOfFileTime(tested, zone), zone, hit))
    {
        int found = ++control->resultCount;
        if (found > kMaxFoundFiles)
        {
            ShowMessage(nullptr, "Warning", "",
                        "The number of found files exceeds the " + std::to_string(kMaxFoundFiles) +
                            " limit.\nTo ensure normal viewing, the results will be truncated.\n"
                            "If necessary, please set new search criteria.",
                        IDI_EXCLAMATION_MARK);
            return false;
        }
        {
            std::unique_lock lock(settings->foundFilesLock);
            settings->foundFiles.push_back(std::move(hit));
        }
        settings->foundCount = found;
    }
    ReportProgress();
    return true;
}

void CScanEntriesThread::ReportProgress()
{
    DWORD now = GetTickCount();
    if (progressShown && now - lastProgress < kProgressIntervalMs)
        return;
    Send(WM_WORKER_PROGRESS);
    progressShown = true;
    lastProgress = now;
}
