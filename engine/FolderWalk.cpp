#include "engine/FolderWalk.h"

#include "engine/FileStamp.h"
#include "engine/FileSystemRedirectionOff.h"
#include "engine/LocalZone.h"
#include "engine/Matching.h"
#include "engine/RealPath.h"
#include "framework/FailureReport.h"
#include "framework/Text.h"

#include <algorithm>
#include <chrono>
#include <cwchar>

namespace
{
// At most this many listing threads, however many cores there are.
const unsigned kMaxThreads = 8;
// Files examined between two additions to the shared count.
const int kCountBatch = 256;

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// A name holding a backslash, which disks written by other systems can have, would
// name another file once in a path: that entry cannot be reached, so it is not listed.
bool IsUnreachable(const wchar_t* name)
{
    return wcschr(name, L'\\') != nullptr;
}

}

// The heap's order puts the earliest task on top.
bool FolderWalk::Later(const Task& a, const Task& b)
{
    return std::lexicographical_compare(b.order.begin(), b.order.end(), a.order.begin(), a.order.end());
}

FolderWalk::FolderWalk(const SearchCriteria& criteria, const WantedTypes& types, const SkipRules& skip,
                       const ZoneRule& zone, int biasNow, const std::vector<std::wstring>& roots,
                       WorkerControl* control)
    : criteria(criteria), types(types), skip(skip), zone(zone), biasNow(biasNow), roots(roots), control(control),
      heap(HeapCreate(0, 0, 0)), pace(std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads)),
      started(std::chrono::steady_clock::now())
{
    if (!heap)
        throw std::bad_alloc();
    const unsigned count = pace.MaxThreads();
    for (unsigned i = 0; i < count; i++)
        texts.push_back(std::make_unique<TextStore>());
    // Lister 0 is the search's own thread.
    for (unsigned i = 1; i < count; i++)
        threads.emplace_back([this, i, store = texts[i].get()] { Serve(i, *store); });
}

double FolderWalk::SecondsSinceStart() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

FolderWalk::~FolderWalk()
{
    Finish();
    HeapDestroy(heap);
}

std::unique_ptr<FolderWalk::Segment> FolderWalk::List(const std::string& folder, const std::wstring& real,
                                                      size_t location)
{
    auto segment = std::make_unique<Segment>(heap);
    std::unique_lock guard(lock);
    // The search waits for this one: it goes before everything queued so far.
    Queue({segment.get(), folder, real, location, {-(++rootsMade)}});
    return segment;
}

bool FolderWalk::WaitListed(const Segment& segment, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock guard(lock);
    while (!segment.listed && !ending)
    {
        if (tasks.empty())
            return listed.wait_until(guard, deadline, [&] { return segment.listed || ending; }) && segment.listed;
        // The earliest folder is most often the one waited for.
        Task task = TakeEarliest();
        guard.unlock();
        const uint64_t entries = ListFolder(task, *texts[0], callerHits);
        guard.lock();
        if (MarkListed(task, entries))
            queued.notify_all();
        listed.notify_all();
        if (std::chrono::steady_clock::now() >= deadline)
            break;
    }
    return segment.listed;
}

FolderWalk::Task FolderWalk::TakeEarliest()
{
    std::pop_heap(tasks.begin(), tasks.end(), Later);
    Task task = std::move(tasks.back());
    tasks.pop_back();
    return task;
}

bool FolderWalk::MarkListed(Task& task, uint64_t entries)
{
    task.segment->listed = true;
    entriesListed += entries;
    return pace.Sample(entriesListed, SecondsSinceStart());
}

void FolderWalk::Finish()
{
    {
        std::unique_lock guard(lock);
        ending = true;
    }
    queued.notify_all();
    listed.notify_all();
    for (std::thread& thread : threads)
    {
        if (thread.joinable())
            thread.join();
    }
}

void FolderWalk::HandOverTexts(TextStore& store)
{
    for (auto& text : texts)
        store.Take(*text);
}

void FolderWalk::Queue(Task task)
{
    tasks.push_back(std::move(task));
    std::push_heap(tasks.begin(), tasks.end(), Later);
    // While some threads may not list, the one woken could be one of them.
    if (pace.Active() < texts.size())
        queued.notify_all();
    else
        queued.notify_one();
}

bool FolderWalk::StopNow() const
{
    control->WaitWhilePaused();
    return control->stopRequested != 0 || ending;
}

// The exception boundary of a listing thread: a failure is reported, and the
// walk ends as if stopped, so the search ends with what it has.
void FolderWalk::Serve(unsigned index, TextStore& store)
{
    std::vector<FoundFile> hitBuffer;
    try
    {
        for (;;)
        {
            Task task;
            {
                std::unique_lock guard(lock);
                queued.wait(guard, [&] { return ending || (!tasks.empty() && index < pace.Active()); });
                if (ending)
                    return;
                task = TakeEarliest();
            }
            const uint64_t entries = ListFolder(task, store, hitBuffer);
            bool paceChanged;
            {
                std::unique_lock guard(lock);
                paceChanged = MarkListed(task, entries);
            }
            listed.notify_all();
            // A thread now allowed to list may be waiting with folders queued.
            if (paceChanged)
                queued.notify_all();
        }
    }
    catch (...)
    {
        ReportFailure();
        control->stopRequested = 1;
        {
            std::unique_lock guard(lock);
            ending = true;
        }
        queued.notify_all();
        listed.notify_all();
    }
}

uint64_t FolderWalk::ListFolder(Task& task, TextStore& store, std::vector<FoundFile>& hitBuffer)
{
    // Nothing below loads code, so the whole listing may see the folders as they are.
    FileSystemRedirectionOff seeFoldersAsTheyAre;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileExW(LongPath(task.folder + "*").c_str(), FindExInfoBasic, &entry,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    Segment& segment = *task.segment;
    if (find == INVALID_HANDLE_VALUE)
    {
        // A folder with no entry at all (a drive's empty root) is no failure.
        segment.unreadable = GetLastError() != ERROR_FILE_NOT_FOUND && !StopNow();
        return 0;
    }
    // The hits gather in a buffer the thread keeps, so that each segment gets its
    // hits in one allocation of their exact size.
    std::vector<FoundFile>& hits = hitBuffer;
    hits.clear();
    const std::string* folder = nullptr;
    std::string name;
    std::string type;
    int examined = 0;
    uint64_t entries = 0;
    do
    {
        if (StopNow())
            break;
        entries++;
        if (IsUnreachable(entry.cFileName))
            continue;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        {
            if (IsSpecialFile(entry.dwFileAttributes, entry.dwReserved0))
                continue;
            examined++;
            const FILETIME& tested = criteria.dateKind == DateKind::Created    ? entry.ftCreationTime
                                     : criteria.dateKind == DateKind::Accessed ? entry.ftLastAccessTime
                                                                               : entry.ftLastWriteTime;
            const int64_t testedTime = TestedTimeOfFileTime(tested, biasNow, zone);
            NarrowInto(entry.cFileName, name);
            if (MatchEntry(criteria, types, name, SizeOf(entry), testedTime, type))
            {
                if (!folder)
                    folder = store.AddFolder(task.folder);
                FoundFile hit = store.AddRow(folder, name, type);
                RecordSeen(hit, entry);
                hit.testedTime = testedTime;
                hits.push_back(hit);
            }
            if (examined == kCountBatch)
            {
                control->statusCount += examined;
                examined = 0;
            }
        }
        else if (IsDotEntry(entry.cFileName))
        {
            // "." and ".." are the folder itself and its parent.
        }
        else
        {
            Subfolder subfolder;
            subfolder.hitsBefore = hits.size();
            NarrowInto(entry.cFileName, name);
            const std::string path = task.folder + name;
            subfolder.folder = path + "\\";
            // A skipped folder is judged where the walk meets it, before anything in it is listed.
            if (!skip.Empty() && skip.Skips(LongPath(path)))
                continue;
            // Links are told apart by their targets; other folders by their names, as
            // opening every folder to identify it would cost more than the walk.
            subfolder.link = IsLink(entry.dwFileAttributes, entry.dwReserved0);
            if (subfolder.link)
            {
                subfolder.real = RealPath(LongPath(path));
                // A link is judged by where it leads too.
                if (!skip.Empty() && !subfolder.real.empty() && skip.Skips(subfolder.real))
                    continue;
                segment.subfolders.push_back(std::move(subfolder));
                continue;
            }
            subfolder.real = ComparablePath(task.real + entry.cFileName);
            // And so is a folder below a location reached through a link.
            if (!skip.Empty() && skip.Skips(subfolder.real))
                continue;
            const auto earlierEnd = roots.begin() + task.location;
            if (std::find(roots.begin(), earlierEnd, subfolder.real) != earlierEnd)
                continue;
            subfolder.segment = std::make_unique<Segment>(heap);
            std::vector<int> order = task.order;
            order.push_back((int)segment.subfolders.size());
            Task child = {subfolder.segment.get(), subfolder.folder, subfolder.real, task.location, std::move(order)};
            segment.subfolders.push_back(std::move(subfolder));
            std::unique_lock guard(lock);
            Queue(std::move(child));
        }
    } while (FindNextFileW(find, &entry));
    segment.unreadable = GetLastError() != ERROR_NO_MORE_FILES && !StopNow();
    FindClose(find);
    segment.hits.assign(hits.begin(), hits.end());
    control->statusCount += examined;
    return entries;
}
