#include "engine/CScanEntriesThread.h"

#include "engine/FileSystemRedirectionOff.h"
#include "engine/LocalZone.h"
#include "engine/RealPath.h"
#include "framework/Text.h"

#include <algorithm>
#include <mutex>

CScanEntriesThread::CScanEntriesThread(ScanJob job, SearchResults* found, WorkerControl* control,
                                       IWorkerProgress* progress)
    : CWorkerThread(found, control, progress), locations(std::move(job.locations)), skip(std::move(job.skip)),
      criteria(std::move(job.criteria)),
      types(criteria.fileType), zone(CurrentZoneRule()), biasNow(CurrentBias())
{
}

void CScanEntriesThread::Run()
{
    control->stopRequested = 0;
    control->statusCount = 0;
    control->resultCount = 0;
    progress->WorkerStarted();

    for (const std::string& location : locations)
    {
        const std::wstring path = LongPath(location);
        const std::wstring real = RealPath(path);
        skipped.push_back(!skip.Empty() && (skip.Skips(path) || (!real.empty() && skip.Skips(real))));
        // A skipped location was not walked: a later one inside it is walked all the same.
        roots.push_back(skipped.back() ? std::wstring() : real);
    }
    bool stopped = false;
    // The walk, its threads and its heap are gone before the end is announced:
    // a program that ends as soon as it hears of it must not find them at work.
    {
        FolderWalk walk(criteria, types, skip, zone, biasNow, roots, control);
        for (size_t index = 0; index < locations.size(); index++)
        {
            if (StopRequested())
            {
                stopped = true;
                break;
            }
            if (!Walk(walk, index))
                break;
        }
        // The rows point into the listing threads' texts, which the results keep.
        walk.Finish();
        TextStore texts;
        walk.HandOverTexts(texts);
        found->TakeTexts(texts);
    }
    if (!stopped)
    {
        progress->WorkerProgress(false);
        CheckLocations();
    }
    EndRun();
}

namespace
{
DWORD AttributesOf(const std::string& location)
{
    FileSystemRedirectionOff seeFoldersAsTheyAre;
    return GetFileAttributesW(LongPath(location).c_str());
}
}

void CScanEntriesThread::CheckLocations()
{
    for (size_t index = 0; index < locations.size(); index++)
    {
        const std::string& location = locations[index];
        if (skipped[index])
            continue;
        if (AttributesOf(location) == INVALID_FILE_ATTRIBUTES)
        {
            if (!SkippingAll() && AskSkip(" \"" + location + "\" not found.", "") == Choice::Cancel)
            {
                control->stopRequested = 1;
                return;
            }
        }
        else if (control->stopRequested)
            return;
    }
}

namespace
{
// How long the search waits for a listing before it looks at the progress and a stop again.
const int kWaitSliceMs = 20;

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

// Reads the listings back depth-first, with an explicit stack so that a deep
// tree cannot exhaust the thread's stack, and decides about each link where a
// walk on one thread would meet it.
bool CScanEntriesThread::Walk(FolderWalk& walk, size_t index)
{
    const std::string& location = locations[index];
    if (skipped[index])
        return true;
    DWORD attributes = AttributesOf(location);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    std::wstring root = roots[index].empty() ? ComparablePath(Widen(location)) : roots[index];
    for (size_t earlier = 0; earlier < index; earlier++)
    {
        if (IsWithin(root, roots[earlier]))
            return true;
    }

    struct Cursor
    {
        FolderWalk::Segment* segment;
        size_t hit;
        size_t subfolder;
        const std::string* folder;
        bool read;
    };
    std::unique_ptr<FolderWalk::Segment> top = walk.List(WithSeparator(location), root, index);
    const std::string topFolder = WithSeparator(location);
    std::vector<Cursor> open = {{top.get(), 0, 0, &topFolder, false}};
    while (!open.empty())
    {
        Cursor& cursor = open.back();
        while (!walk.WaitListed(*cursor.segment, kWaitSliceMs))
        {
            if (StopRequested())
                break;
            ReportProgress(true);
        }
        // The threads still list folders of this tree: they end before it goes.
        if (StopRequested())
        {
            walk.Finish();
            return true;
        }
        FolderWalk::Segment& segment = *cursor.segment;
        // Counted where a walk on one thread would meet it, so the paths come in walk order.
        if (!cursor.read)
        {
            cursor.read = true;
            if (segment.unreadable)
                found->AddUnreadable(*cursor.folder);
        }
        const bool subfolderNext = cursor.subfolder < segment.subfolders.size();
        const size_t until = subfolderNext ? segment.subfolders[cursor.subfolder].hitsBefore : segment.hits.size();
        if (!AddHits(segment.hits, cursor.hit, until))
        {
            walk.Finish();
            return false;
        }
        cursor.hit = until;
        if (cursor.subfolder == segment.subfolders.size())
        {
            open.pop_back();
            // A folder read back is not needed any more.
            if (!open.empty())
                open.back().segment->subfolders[open.back().subfolder - 1].segment.reset();
            continue;
        }
        FolderWalk::Subfolder& subfolder = segment.subfolders[cursor.subfolder++];
        if (subfolder.link && !subfolder.real.empty() && !LeadsIntoRoots(subfolder.real))
        {
            linkRoots.push_back(subfolder.real);
            subfolder.segment = walk.List(subfolder.folder, subfolder.real, index);
        }
        if (subfolder.segment)
            open.push_back({subfolder.segment.get(), 0, 0, &subfolder.folder, false});
    }
    return true;
}

bool CScanEntriesThread::AddHits(const WalkHits& hits, size_t from, size_t to)
{
    if (from == to)
        return true;
    const size_t room = kMaxFoundFiles - (size_t)control->resultCount;
    const size_t taken = std::min(to - from, room);
    found->Append(hits.data() + from, taken);
    control->resultCount += (int)taken;
    found->SetFoundCount((uint64_t)control->resultCount);
    if (taken < to - from)
    {
        // The first hit beyond the limit is counted, as a walk on one thread counts it.
        control->resultCount++;
        progress->ShowWarning("The number of found files exceeds the " + std::to_string(kMaxFoundFiles) +
                              " limit.\nTo ensure normal viewing, the results will be truncated.\n"
                              "If necessary, please set new search criteria.");
        return false;
    }
    ReportProgress(true);
    return true;
}
