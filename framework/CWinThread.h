// A thread object, made with new and set up before Start runs it on a thread
// of its own; it deletes itself when its thread ends.
#pragma once

#include <windows.h>

class CWinThread
{
public:
    CWinThread() = default;
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
    virtual ~CWinThread() = default;

    // Runs the object on its thread. Returns the thread's handle, for joining
    // it, which the caller closes; null when no thread could start, and the
    // object is then deleted at once.
    HANDLE Start();

protected:
    virtual void Run() = 0;
    // After Run failed with an exception: the object's last chance to leave
    // things as they should be when it ends.
    virtual void Abandon() {}

private:
    // The exception boundary of every thread object.
    static unsigned __stdcall ThreadEntry(void* self);
};

// Waits until the thread of `handle` has ended or `timeoutMs` have passed; true
// when it ended. Messages sent to the caller's windows are handled meanwhile, so
// a thread that waits for one of them can end.
bool JoinThread(HANDLE handle, DWORD timeoutMs);
