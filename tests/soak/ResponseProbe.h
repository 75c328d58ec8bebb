// Asks a window for an answer (WM_NULL) at a steady pace from a thread of its
// own and keeps the slowest answer: how long a user would wait for the window.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

class ResponseProbe
{
public:
    static const DWORD kIntervalMs = 50;
    // Longer than this counts as no answer at all; the wait is still what is kept.
    static const UINT kGiveUpMs = 5000;

    explicit ResponseProbe(HWND window);
    ~ResponseProbe();
    ResponseProbe(const ResponseProbe&) = delete;
    ResponseProbe& operator=(const ResponseProbe&) = delete;

    // Ends the sampling; the figures stay.
    void Stop();
    double WorstMs() const { return worstMs; }
    int Samples() const { return samples; }
    // The most committed private memory seen at a sample.
    size_t PeakPrivateBytes() const { return peakPrivateBytes; }

private:
    HWND window;
    std::atomic<bool> stop{false};
    std::atomic<double> worstMs{0};
    std::atomic<int> samples{0};
    std::atomic<size_t> peakPrivateBytes{0};
    std::thread thread;

    void Sample();
};
