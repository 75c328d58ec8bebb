#include "framework/FailureReport.h"

#include <atomic>

static std::atomic<FailureReporter> failureReporter{nullptr};
static std::atomic<bool> reporting{false};

void SetFailureReporter(FailureReporter reporter)
{
    failureReporter = reporter;
}

void ReportFailure()
{
    FailureReporter reporter = failureReporter;
    if (!reporter || reporting.exchange(true))
        return;
    try
    {
        reporter();
    }
    catch (...)
    {
        // The report itself could not be shown; the data is still kept.
    }
    reporting = false;
}
