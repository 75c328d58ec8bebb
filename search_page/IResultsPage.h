// What the progress window needs from the page whose job it runs.
#pragma once

class IResultsPage
{
public:
    // The worker has ended and the results hold what it left: the page lists
    // them and is idle again. On the page's thread.
    virtual void OperationEnded() = 0;

protected:
    ~IResultsPage() = default;
};
