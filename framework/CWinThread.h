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
    // A handle of the thread that stays valid after the object has deleted
    // itself, for joining it; the caller closes it. Null when it cannot be had.
    HANDLE JoinHandle() const;
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

// Waits until the thread of `handle` has ended or `timeoutMs` have passed; true
// when it ended. Messages sent to the caller's windows are handled meanwhile, so
// a thread that waits for one of them can end.
bool JoinThread(HANDLE handle, DWORD timeoutMs);
