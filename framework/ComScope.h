// COM for the shell's dialogs and item lists on the calling thread, for one
// scope. Start-up may have initialised it already; only a successful start is undone.
#pragma once

#include <objbase.h>

class ComScope
{
public:
    ComScope() : result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result;
};
