#include "engine/CScanEntriesThread.h"

#include "engine/FileStamp.h"
#include "engine/LocalZone.h"
#include "engine/Matching.h"
#include "engine/Prompts.h"
#include "engine/RealPath.h"
#include "engine/WorkerMessages.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/CWiperSettings.h"

#include <mutex>

CScanEntriesThread::CScanEntriesThread(CWiperSettings* settings, IResultsPage* page, WorkerControl* control)
    : CWorkerThread(settings, page, control), locations(settings->locations), criteria(page->Criteria()),
      types(criteria.fileType), zone(CurrentZoneRule()), biasNow(CurrentBias())
{
}

void CScanEntriesThread::Run()
{
    control->stopRequested = 0;
    control->statusCount = 0;
    control->resultCount = 0;
    Send(WM_WORKER_STARTED);

    for (const std::string& location : locations)
        roots.push_back(RealPath(LongPath(location)));
    bool stopped = false;
    for (size_t index = 0; index < locations.size(); index++)
    {
        if (StopRequested())
        {
            Post(WM_WORKER_FINISHED);
            stopped = true;
            break;
        }
        if (!Walk(index))
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
            if (!SkippingAll() && AskSkip(" \"" + location + "\" not found.", "") == Choice::Cancel)
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
    std::wstring real;
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

bool CScanEntriesThread::LeadsIntoRoots(const std::wstring& real) const
{
    for (const std::wstring& root : roots)
    {
        if (IsWithin(real, root))
            return true;
    }
    for (const std::wstring& root : linkRoots)
    {
        if (IsWithin(real, root))
            return true;
    }
    return false;
}

bool CScanEntriesThread::IsEarlierRoot(const std::wstring& real, size_t index) const
{
    for (size_t earlier = 0; earlier < index; earlier++)
    {
        if (roots[earlier] == real)
            return true;
    }
    return false;
}

// Depth-first with an explicit stack of listings, so a deep tree cannot exhaust
// the thread's stack; the order is that of recursion. Directories are told
// apart by their real paths, kept by appending names and resolved only at
// links: opening every directory to identify it would cost more than the walk.
bool CScanEntriesThread::Walk(size_t index)
{
    const std::string& location = locations[index];
    DWORD attributes = GetFileAttributesW(LongPath(location).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    std::wstring root = roots[index].empty() ? ComparablePath(Widen(location)) : roots[index];
    for (size_t earlier = 0; earlier < index; earlier++)
    {
        if (IsWithin(root, roots[earlier]))
            return true;
    }

    std::vector<Listing> open;
    auto enter = [&](const std::string& folder, const std::wstring& real) {
        Listing listing;
        listing.folder = WithSeparator(folder);
        listing.real = real;
        listing.find = FindFirstFileExW(LongPath(listing.folder + "*").c_str(), FindExInfoBasic, &listing.entry,
                                        FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (listing.find != INVALID_HANDLE_VALUE)
            open.push_back(std::move(listing));
    };

    enter(location, root);
    bool withinLimit = true;
    while (!open.empty() && withinLimit)
    {
        if (StopRequested())
            break;
        // The entry is used in place; a subfolder is entered only after its
        // parent's listing has moved on, which keeps the order of recursion.
        Listing& top = open.back();
        const WIN32_FIND_DATAW& entry = top.entry;
        std::string subfolder;
        std::wstring subReal;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        {
            withinLimit = Examine(top.folder, entry);
        }
        else if (IsDotEntry(entry.cFileName))
        {
            // "." and ".." are the folder itself and its parent.
        }
        else if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        {
            subfolder = top.folder + Narrow(entry.cFileName);
            subReal = RealPath(LongPath(subfolder));
            if (subReal.empty() || LeadsIntoRoots(subReal))
                subReal.clear();
            else
                linkRoots.push_back(subReal);
        }
        else
        {
            subfolder = top.folder + Narrow(entry.cFileName);
            subReal = ComparablePath(top.real + entry.cFileName);
            if (IsEarlierRoot(subReal, index))
                subReal.clear();
        }
        if (!FindNextFileW(top.find, &top.entry))
        {
            FindClose(top.find);
            open.pop_back();
        }
        if (!subReal.empty())
            enter(subfolder, subReal);
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
    FoundFile hit;
    if (MatchEntry(criteria, types, Narrow(entry.cFileName), folder, SizeOf(entry), TestedTimeOfFileTime(tested, biasNow, zone),
                   zone, hit))
    {
        hit.seen = StampOf(entry);
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
    ReportProgress(true);
    return true;
}
