// What the progress window and the workers need from the page that starts them.
#pragma once

#include "engine/SearchCriteria.h"

#include <cstddef>

class IResultsPage
{
public:
    // The criteria of the search being started (the worker keeps its own copy).
    virtual const SearchCriteria& Criteria() const = 0;
    // How many rows were chosen for deletion.
    virtual size_t SelectedCount() const = 0;
    virtual void DisableFind() = 0;
    // Lists foundFiles again. Called by a worker as its last act, from the worker's
    // thread; the list itself is changed on the page's thread.
    virtual void RefreshResults() = 0;

protected:
    ~IResultsPage() = default;
};
