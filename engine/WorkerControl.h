// What a worker shares with the progress window that started it. The window
// owns it, so it stays valid after the worker has ended and deleted itself.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

class WorkerControl
{
public:
    // Set by the window (Cancel, the main window's stop) or by the worker itself.
    std::atomic<int> stopRequested{0};
    // The two counts the window shows; their meaning depends on the worker.
    std::atomic<int> statusCount{0};
    std::atomic<int> resultCount{0};
    // The window's bottom line; no worker fills it.
    const std::string statusText;

    WorkerControl();
    ~WorkerControl();
    WorkerControl(const WorkerControl&) = delete;
    WorkerControl& operator=(const WorkerControl&) = delete;

    // A paused worker waits before its next entry or row, never in the middle of one.
    void Pause();
    void Continue();
    void WaitWhilePaused() const;

private:
    // Read before every entry; the event is waited on only while paused, as a
    // wait costs far more than examining an entry.
    std::atomic<bool> paused{false};
    HANDLE running;
};
