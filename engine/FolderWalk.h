// The threads that list folders for a search. Each folder is listed whole by
// one thread into a segment of its own: its hits in listing order and, between
// them, the subfolders it holds. Subfolders are listed by whichever thread is
// free, the one earliest in depth-first order first. The search's own thread
// lists too while it waits, so that with one lister the walk is a plain walk;
// how many threads list at once is found while listing (ListingPace). The search reads the
// segments back in depth-first order and decides about links as it meets them,
// so that its rows are those of a walk on one thread.
#pragma once

#include "engine/FoundFile.h"
#include "engine/ListingPace.h"
#include "engine/LocalTime.h"
#include "engine/SearchCriteria.h"
#include "engine/SkipRules.h"
#include "engine/WantedTypes.h"
#include "engine/WorkerControl.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

// Keeps the listings' hits in a heap of the walk's own, given back whole when
// the walk ends: freed in the process's heap they would stay committed there.
template <class T> class WalkAllocator
{
public:
    using value_type = T;

    explicit WalkAllocator(HANDLE heap) : heap(heap) {}
    template <class U> WalkAllocator(const WalkAllocator<U>& other) : heap(other.heap) {}

    T* allocate(size_t count)
    {
        void* memory = HeapAlloc(heap, 0, count * sizeof(T));
        if (!memory)
            throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, size_t) { HeapFree(heap, 0, memory); }
    bool operator==(const WalkAllocator& other) const { return heap == other.heap; }

    HANDLE heap;
};

using WalkHits = std::vector<FoundFile, WalkAllocator<FoundFile>>;

class FolderWalk
{
public:
    struct Segment;

    // A subfolder met in a listing, after hitsBefore of the listing's hits.
    struct Subfolder
    {
        size_t hitsBefore = 0;
        std::string folder;
        // The comparing form of its real path; for a link, its target (empty when unknown).
        std::wstring real;
        bool link = false;
        // Being listed, or listed; null for a link until the search decides to walk it.
        std::unique_ptr<Segment> segment;
    };

    struct Segment
    {
        explicit Segment(HANDLE heap) : hits(WalkAllocator<FoundFile>(heap)) {}

        WalkHits hits;
        std::vector<Subfolder> subfolders;
        // Guarded by the walk's lock: hits and subfolders are complete.
        bool listed = false;
        // The folder could not be listed, or not to its end (access denied, a
        // path the system refuses, a folder gone since its parent was listed).
        bool unreadable = false;
    };

    // roots: the comparing forms of the search's locations, which no listing enters
    // again. A subfolder the skip rules skip is not listed. Starts the threads.
    FolderWalk(const SearchCriteria& criteria, const WantedTypes& types, const SkipRules& skip, const ZoneRule& zone,
               int biasNow, const std::vector<std::wstring>& roots, WorkerControl* control);
    // Ends and waits for every thread. Every segment must have gone before.
    ~FolderWalk();
    FolderWalk(const FolderWalk&) = delete;
    FolderWalk& operator=(const FolderWalk&) = delete;

    // Lists folder (ending with a backslash) as part of location `location`, before
    // any folder queued earlier. The segment is the caller's.
    std::unique_ptr<Segment> List(const std::string& folder, const std::wstring& real, size_t location);
    // Lists queued folders on the caller's thread, or waits for the threads, for
    // at most about timeoutMs; true once the segment is listed. A listing cut off
    // by a stop counts as listed.
    bool WaitListed(const Segment& segment, int timeoutMs);
    // Ends every listing and waits for the threads; then the texts can be handed over.
    void Finish();
    // The texts of every row made; only after Finish.
    void HandOverTexts(TextStore& store);


private:
    struct Task
    {
        Segment* segment;
        std::string folder;
        std::wstring real;
        size_t location;
        // Depth-first order: the earliest-made root first, then the path of subfolder positions.
        std::vector<int> order;
    };

    const SearchCriteria& criteria;
    const WantedTypes& types;
    const SkipRules& skip;
    const ZoneRule zone;
    const int biasNow;
    const std::vector<std::wstring>& roots;
    WorkerControl* control;

    const HANDLE heap;
    std::mutex lock;
    std::condition_variable queued;
    std::condition_variable listed;
    std::vector<Task> tasks; // a heap, earliest first
    int rootsMade = 0;
    bool ending = false;
    std::vector<std::thread> threads;
    // One per lister: the search's thread first, then the threads.
    std::vector<std::unique_ptr<TextStore>> texts;
    std::vector<FoundFile> callerHits;
    // Guarded by the lock: the entries listed so far, timed from the start.
    ListingPace pace;
    uint64_t entriesListed = 0;
    const std::chrono::steady_clock::time_point started;

    void Serve(unsigned index, TextStore& store);
    // The earliest queued task; under the lock, with tasks queued.
    Task TakeEarliest();
    // Under the lock: the task's segment is complete; true when the pace changed.
    bool MarkListed(Task& task, uint64_t entries);
    // Returns the number of entries listed.
    uint64_t ListFolder(Task& task, TextStore& store, std::vector<FoundFile>& hitBuffer);
    double SecondsSinceStart() const;
    void Queue(Task task);
    static bool Later(const Task& a, const Task& b);
    bool StopNow() const;
};
