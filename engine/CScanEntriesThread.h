// Carries out one search: walks every location depth-first, tests each file,
// collects the hits, then asks about locations that do not exist.
#pragma once

#include "engine/CWorkerThread.h"
#include "engine/DirectoryIdentity.h"
#include "engine/LocalTime.h"
#include "engine/SearchCriteria.h"

#include <string>
#include <vector>

class CScanEntriesThread : public CWorkerThread
{
public:
    // At most this many rows are ever found.
    static const int kMaxFoundFiles = 100000;

    // Takes its own copy of the locations and the criteria: the page may change
    // them while the search runs.
    CScanEntriesThread(CWiperSettings* settings, IResultsPage* page, WorkerControl* control);

protected:
    void Run() override;

private:
    std::vector<std::string> locations;
    SearchCriteria criteria;
    ZoneRule zone;
    DirectoryIdentity walked;
    DWORD lastProgress = 0;
    bool progressShown = false;

    // Returns false when the limit ends the whole search.
    bool Walk(const std::string& folder);
    // Returns false when the limit was passed.
    bool Examine(const std::string& folder, const WIN32_FIND_DATAW& entry);
    void ReportProgress();
    // Returns false when the user cancelled.
    bool CheckLocations();
};
