// What a worker is given to do. Each worker keeps its own copy: the page may
// change its criteria and locations while the worker runs.
#pragma once

#include "engine/FoundFile.h"
#include "engine/SearchCriteria.h"
#include "engine/SkipRules.h"

#include <functional>
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
    // Chosen, then left out by the user (kept online only): recorded as skipped.
    std::vector<ChosenFile> leftOut;
    // To the Recycle Bin instead of deleted for good.
    bool recycle = false;
    // Whether a file would be recycled rather than deleted for good; empty asks
    // the platform. A test stands in here for a drive without a Recycle Bin.
    std::function<bool(const std::string& path)> willRecycle;
    // The record every chosen file gets a line in; empty keeps none.
    std::string recordPath;
};
