// What a search found: the rows, their texts, their found places and their
// selection, shared by the search page, which owns them, and the workers that
// fill or thin them. Every member takes the lock itself: shared to read,
// exclusive to change, so the result list can paint rows while a worker changes them.
#pragma once

#include "engine/FoundFile.h"
#include "engine/WorkerJobs.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

// The chosen rows' count and bytes, as the selection line shows them.
struct SelectionTotal
{
    uint64_t files = 0;
    uint64_t bytes = 0;

    bool operator==(const SelectionTotal&) const = default;
};

// The folders a search could not list, and the paths of the first kMaxPaths of them.
struct UnreadableFolders
{
    static const size_t kMaxPaths = 1000;

    uint64_t count = 0;
    std::vector<std::string> paths;
};

class SearchResults
{
public:
    // The rows as they are while it lives: the lock is held shared, so no worker
    // appends or drops rows and no selection changes meanwhile.
    class Reading
    {
    public:
        explicit Reading(const SearchResults& results) : results(results), lock(results.lock) {}

        const std::vector<FoundFile>& Rows() const { return results.rows; }
        // Where a row stood in the found order, which its "N" shows.
        size_t PlaceOf(size_t row) const { return FoundPlace(results.places, row); }
        // The row that stood at a found place, or SIZE_MAX when it is gone.
        size_t RowAt(size_t place) const { return RowAtFoundPlace(results.places, results.rows.size(), place); }
        const SelectionTotal& Selection() const { return results.selection; }

    private:
        const SearchResults& results;
        std::shared_lock<std::shared_mutex> lock;
    };

    SearchResults() = default;
    SearchResults(const SearchResults&) = delete;
    SearchResults& operator=(const SearchResults&) = delete;

    // Forgets every row and its texts: a new search starts.
    void Clear();
    // Adds rows after the others, in found order, with the places after every earlier
    // row's; their texts must be kept by TakeTexts.
    void Append(const FoundFile* first, size_t count);
    // Keeps the texts the appended rows point into.
    void TakeTexts(TextStore& texts);
    // Drops the rows that stood at these found places; the others keep their
    // order, places and selection.
    void DropFoundPlaces(const std::vector<uint32_t>& dropped);

    size_t RowCount() const;
    // The files the last search counted, the one past its limit included.
    uint64_t FoundCount() const { return foundCount; }
    void SetFoundCount(uint64_t count) { foundCount = count; }

    bool Selected(size_t row) const;
    // Chooses or unchooses rows; false when none changed. Rows past the end are ignored.
    bool SetSelected(size_t row, bool selected);
    bool SetSelected(const std::vector<size_t>& rows, bool selected);
    SelectionTotal Selection() const;
    // A folder the search could not list: counted, and its path kept while there is room.
    void AddUnreadable(const std::string& folder);
    UnreadableFolders Unreadable() const;
    // What a deletion needs of each chosen row, in found order, copied now: a
    // click during the deletion changes nothing.
    DeletionJob ChosenFiles() const;

private:
    std::vector<FoundFile> rows;
    // Each row's place in the found order once a deletion dropped rows (FoundPlace).
    std::vector<uint32_t> places;
    // The texts the rows point into; emptied with them.
    TextStore texts;
    SelectionTotal selection;
    UnreadableFolders unreadable;
    // The rows appended since the last Clear, dropped ones included: the next row's place.
    size_t appendedRows = 0;
    mutable std::shared_mutex lock;
    std::atomic<uint64_t> foundCount{0};

    // With the lock held exclusively.
    bool SetSelectedLocked(size_t row, bool selected);
};
