// What a search found: the rows, their texts and their found places, shared by
// the search page, which owns them, and the worker that fills or thins them.
#pragma once

#include "engine/FoundFile.h"

#include <atomic>
#include <cstdint>
#include <shared_mutex>
#include <vector>

class SearchResults
{
public:
    SearchResults() = default;
    SearchResults(const SearchResults&) = delete;
    SearchResults& operator=(const SearchResults&) = delete;

    std::vector<FoundFile> foundFiles;
    // Each row's place in the found order once a deletion dropped rows (FoundPlace).
    std::vector<uint32_t> foundPlaces;
    // The texts the rows of foundFiles point into; emptied with them.
    TextStore foundTexts;
    // Held shared to read foundFiles and foundPlaces and exclusively to change them, so
    // the result list can paint rows while a worker changes them.
    mutable std::shared_mutex foundFilesLock;
    // The files the last search counted, the one past its limit included.
    std::atomic<uint64_t> foundCount{0};

    // Forgets every row and its texts: a new search starts.
    void Clear();
    size_t RowCount() const;
};
