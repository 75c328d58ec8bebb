// What a worker is given to do. Each worker keeps its own copy: the page may
// change its criteria and locations while the worker runs.
#pragma once

#include "engine/SearchCriteria.h"

#include <string>
#include <vector>

struct ScanJob
{
    SearchCriteria criteria;
    // Folders and disks, in the order the locations list shows them.
    std::vector<std::string> locations;
};

struct DeletionJob
{
    // Indexes into the results' foundFiles, ascending: the rows chosen for deletion.
    std::vector<size_t> rows;
};
