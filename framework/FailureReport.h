// The boundary for C++ exceptions. No exception may leave a window procedure,
// a dialog procedure or a thread entry: the system would end the program with
// the user's results. Those three places catch it, call ReportFailure and go
// on with the data they have.
#pragma once

using FailureReporter = void (*)();

// The program's own report (its "Out of memory." message); none until set.
void SetFailureReporter(FailureReporter reporter);
// Reports once: a failure while the report is showing is not reported again.
void ReportFailure();

// Runs a handler behind the boundary: when it throws, the failure is reported
// and `failed` is the result.
template <class Result, class Handler> Result Guarded(Handler handler, Result failed)
{
    try
    {
        return handler();
    }
    catch (...)
    {
        ReportFailure();
        return failed;
    }
}
