// A thread object: created suspended, started by ResumeThread, and deleted
// when its thread ends.
#pragma once

#include <windows.h>

class CWinThread
{
public:
    CWinThread() = default;
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
    virtual ~CWinThread();

    bool CreateThread();
    void ResumeThread();

protected:
    virtual void Run() = 0;

private:
    HANDLE thread = nullptr;

    static unsigned __stdcall ThreadEntry(void* self);
};
