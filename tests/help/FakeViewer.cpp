// A stand-in for the HTML Help viewer library, registered in its place by the
// loader's tests: its wide entry (ordinal 15) answers every call with a handle
// that names the command, so a test sees which library the loader took, and
// keeps the calls for FakeViewerCalls.
#include <windows.h>
#include <htmlhelp.h>

#include <string>

namespace
{
const DWORD kCookie = 0x5EED;
const UINT kTakenMessage = WM_APP + 15;
std::wstring calls;
}

extern "C" HWND WINAPI FakeHtmlHelpW(HWND, LPCWSTR file, UINT command, DWORD_PTR data)
{
    calls += std::to_wstring(command) + L" " + (file ? file : L"-");
    if (command == HH_INITIALIZE)
        *reinterpret_cast<DWORD*>(data) = kCookie;
    if (command == HH_UNINITIALIZE)
        calls += L" " + std::to_wstring(data);
    calls += L"\n";
    if (command == HH_PRETRANSLATEMESSAGE)
        return reinterpret_cast<MSG*>(data)->message == kTakenMessage ? reinterpret_cast<HWND>(1) : nullptr;
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7E00 + command));
}

// The calls so far, one line each ("command file", "-" for none), then forgotten.
extern "C" const wchar_t* WINAPI FakeViewerCalls()
{
    static std::wstring taken;
    taken = calls;
    calls.clear();
    return taken.c_str();
}
