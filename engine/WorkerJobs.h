// What a worker is given to do. Each worker keeps its own copy: the page may
// change its criteria and locations while the worker runs.
#pragma once

#include "engine/FoundFile.h"
#include "engine/SearchCriteria.h"
#include "engine/SkipRules.h"

#include <string>
#include <vector>

struct ScanJob
{
    SearchCriteria criteria;
    // Folders and disks, in the order the locations list shows them.
    std::vector<std::string> locations;
    // Folders never listed, and locations never walked.
    SkipRules skip;
};

struct DeletionJob
{
    // The chosen rows, in found order, as they were when Delete was answered.
    std::vector<ChosenFile> files;
};
