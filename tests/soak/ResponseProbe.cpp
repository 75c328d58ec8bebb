#include "tests/soak/ResponseProbe.h"

#include "tests/soak/ResourceCounters.h"

#include <algorithm>

ResponseProbe::ResponseProbe(HWND window) : window(window), thread([this] {
    while (!stop)
    {
        Sample();
        Sleep(kIntervalMs);
    }
})
{
}

ResponseProbe::~ResponseProbe()
{
    Stop();
}

void ResponseProbe::Stop()
{
    stop = true;
    if (thread.joinable())
        thread.join();
}

void ResponseProbe::Sample()
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kGiveUpMs, &result);
    QueryPerformanceCounter(&end);
    const double waitedMs = 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    worstMs = std::max(worstMs.load(), waitedMs);
    peakPrivateBytes = std::max(peakPrivateBytes.load(), PrivateBytes());
    samples++;
}
