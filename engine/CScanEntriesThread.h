// Carries out one search: walks every location depth-first, with several
// threads listing its folders, tests each file, collects the hits in the order
// of a walk on one thread, then asks about locations that do not exist.
#pragma once

#include "engine/CWorkerThread.h"
#include "engine/FolderWalk.h"
#include "engine/LocalTime.h"
#include "engine/SearchCriteria.h"
#include "engine/WantedTypes.h"
#include "engine/WorkerJobs.h"

#include <string>
#include <vector>

class CScanEntriesThread : public CWorkerThread
{
public:
    // At most this many rows are ever found.
    static const int kMaxFoundFiles = 100000;

    CScanEntriesThread(ScanJob job, SearchResults* found, WorkerControl* control, IWorkerProgress* progress);

protected:
    void Run() override;

private:
    const std::vector<std::string> locations;
    const SkipRules skip;
    // Whether the skip rules skip each location: it is neither walked nor asked about.
    std::vector<bool> skipped;
    // Each location's real path (empty for a skipped one), and the targets of links walked so far: a
    // directory is walked once, however many ways lead to it.
    std::vector<std::wstring> roots;
    std::vector<std::wstring> linkRoots;
    const SearchCriteria criteria;
    WantedTypes types;
    ZoneRule zone;
    int biasNow;

    // Walks location `index`; returns false when the limit ends the whole search.
    bool Walk(FolderWalk& walk, size_t index);
    // True when a link leads into a location or into a link target already walked.
    bool LeadsIntoRoots(const std::wstring& real) const;
    // Adds a listing's hits [from, to) to the results; false when the limit was passed.
    bool AddHits(const WalkHits& hits, size_t from, size_t to);
    // Asks about each location that does not exist, until the user cancels.
    void CheckLocations();
};
