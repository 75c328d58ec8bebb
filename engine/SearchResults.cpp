#include "engine/SearchResults.h"

#include <algorithm>

void SearchResults::Clear()
{
    std::unique_lock hold(lock);
    rows.clear();
    rows.shrink_to_fit();
    places.clear();
    texts.Clear();
    selection = {};
    appendedRows = 0;
    foundCount = 0;
    unreadable = {};
}

void SearchResults::AddUnreadable(const std::string& folder)
{
    std::unique_lock hold(lock);
    unreadable.count++;
    if (unreadable.paths.size() < UnreadableFolders::kMaxPaths)
        unreadable.paths.push_back(folder);
}

UnreadableFolders SearchResults::Unreadable() const
{
    std::shared_lock hold(lock);
    return unreadable;
}

void SearchResults::Append(const FoundFile* first, size_t count)
{
    std::unique_lock hold(lock);
    rows.insert(rows.end(), first, first + count);
    // Once rows were dropped the places are kept row by row: the new rows come after every earlier one.
    for (size_t i = 0; i < count && !places.empty(); i++)
        places.push_back((uint32_t)(appendedRows + i));
    appendedRows += count;
    for (size_t i = 0; i < count; i++)
    {
        if (first[i].rowSelected)
        {
            selection.files++;
            selection.bytes += first[i].size;
        }
    }
}

void SearchResults::TakeTexts(TextStore& taken)
{
    std::unique_lock hold(lock);
    texts.Take(taken);
    rows.shrink_to_fit();
}

void SearchResults::DropFoundPlaces(const std::vector<uint32_t>& dropped)
{
    std::unique_lock hold(lock);
    std::vector<char> flags(rows.size(), 0);
    for (uint32_t place : dropped)
    {
        const size_t row = RowAtFoundPlace(places, rows.size(), place);
        if (row == SIZE_MAX || flags[row])
            continue;
        flags[row] = 1;
        SetSelectedLocked(row, false);
    }
    DropRows(rows, places, flags);
}

size_t SearchResults::RowCount() const
{
    std::shared_lock hold(lock);
    return rows.size();
}

bool SearchResults::Selected(size_t row) const
{
    std::shared_lock hold(lock);
    return row < rows.size() && rows[row].rowSelected;
}

bool SearchResults::SetSelected(size_t row, bool selected)
{
    std::unique_lock hold(lock);
    return SetSelectedLocked(row, selected);
}

bool SearchResults::SetSelected(const std::vector<size_t>& chosen, bool selected)
{
    std::unique_lock hold(lock);
    bool changed = false;
    for (size_t row : chosen)
        changed = SetSelectedLocked(row, selected) || changed;
    return changed;
}

bool SearchResults::SetSelectedLocked(size_t row, bool selected)
{
    if (row >= rows.size() || rows[row].rowSelected == selected)
        return false;
    FoundFile& file = rows[row];
    file.rowSelected = selected;
    if (selected)
    {
        selection.files++;
        selection.bytes += file.size;
    }
    else
    {
        selection.files--;
        selection.bytes -= file.size;
    }
    return true;
}

SelectionTotal SearchResults::Selection() const
{
    std::shared_lock hold(lock);
    return selection;
}

DeletionJob SearchResults::ChosenFiles() const
{
    std::shared_lock hold(lock);
    DeletionJob job;
    job.files.reserve(selection.files);
    for (size_t row = 0; row < rows.size(); row++)
    {
        if (rows[row].rowSelected)
            job.files.push_back(ChosenFileOf(rows[row], FoundPlace(places, row)));
    }
    return job;
}
