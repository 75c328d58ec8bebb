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
    // After Run failed with an exception: the object's last chance to leave
    // things as they should be when it ends.
    virtual void Abandon() {}

private:
    HANDLE thread = nullptr;

    // The exception boundary of every thread object.
    static unsigned __stdcall ThreadEntry(void* self);
};
