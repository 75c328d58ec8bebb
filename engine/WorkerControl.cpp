#include "engine/WorkerControl.h"

WorkerControl::WorkerControl() : running(CreateEventW(nullptr, TRUE, TRUE, nullptr))
{
}

WorkerControl::~WorkerControl()
{
    CloseHandle(running);
}

void WorkerControl::Pause()
{
    ResetEvent(running);
    paused = true;
}

void WorkerControl::Continue()
{
    paused = false;
    SetEvent(running);
}

void WorkerControl::WaitWhilePaused() const
{
    if (paused)
        WaitForSingleObject(running, INFINITE);
}
