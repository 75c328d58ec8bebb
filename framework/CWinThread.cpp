#include "framework/CWinThread.h"

#include "framework/FailureReport.h"

#include <process.h>

HANDLE CWinThread::Start()
{
    HANDLE thread = (HANDLE)_beginthreadex(nullptr, 0, ThreadEntry, this, 0, nullptr);
    if (!thread)
        delete this;
    return thread;
}

unsigned __stdcall CWinThread::ThreadEntry(void* self)
{
    CWinThread* object = static_cast<CWinThread*>(self);
    try
    {
        object->Run();
    }
    catch (...)
    {
        ReportFailure();
        try
        {
            object->Abandon();
        }
        catch (...)
        {
            // Abandon must not fail; if it did, there is nothing left to do.
        }
    }
    delete object;
    return 0;
}

bool JoinThread(HANDLE handle, DWORD timeoutMs)
{
    if (!handle)
        return true;
    const DWORD start = GetTickCount();
    for (;;)
    {
        const DWORD passed = GetTickCount() - start;
        const DWORD left = timeoutMs == INFINITE ? INFINITE : passed >= timeoutMs ? 0 : timeoutMs - passed;
        const DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken != WAIT_OBJECT_0 + 1)
            return false;
        // Only sent messages: the posted ones wait for the message loop.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
