// What a worker tells the window that watches it, and asks the user through
// it. Every call comes from the worker's thread; the window answers its
// questions there too, so that it stays free to pause or stop the worker.
#pragma once

#include "framework/Choice.h"

#include <string>

class IWorkerProgress
{
public:
    // The worker has begun; its status text can be shown.
    virtual void WorkerStarted() = 0;
    // The counts changed. wait: returns once they are shown.
    virtual void WorkerProgress(bool wait) = 0;
    // Cancel, No ("Skip") or NoForAll ("Skip all") about a file or folder;
    // `blank` is the caption of the two buttons that are not offered.
    virtual Choice AskSkip(const std::string& text, const char* blank) = 0;
    virtual void ShowWarning(const std::string& text) = 0;
    // The worker's last call: the results hold everything it did.
    virtual void WorkerFinished() = 0;

protected:
    ~IWorkerProgress() = default;
};
