#include "tests/support/MessagePump.h"

#include "framework/MessageLoop.h"

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done())
    {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchLoopMessage(msg);
    }
    return true;
}
