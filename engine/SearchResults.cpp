#include "engine/SearchResults.h"

#include <mutex>

void SearchResults::Clear()
{
    std::unique_lock lock(foundFilesLock);
    foundFiles.clear();
    foundPlaces.clear();
    foundTexts.Clear();
    foundCount = 0;
}

size_t SearchResults::RowCount() const
{
    std::shared_lock lock(foundFilesLock);
    return foundFiles.size();
}
