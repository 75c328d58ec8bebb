#include "framework/CWinThread.h"

#include "framework/FailureReport.h"

#include <process.h>

CWinThread::~CWinThread()
{
    if (thread)
        CloseHandle(thread);
}

bool CWinThread::CreateThread()
{
    thread = (HANDLE)_beginthreadex(nullptr, 0, ThreadEntry, this, CREATE_SUSPENDED, nullptr);
    return thread != nullptr;
}

void CWinThread::ResumeThread()
{
    ::ResumeThread(thread);
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
