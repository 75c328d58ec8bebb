// A stand-in for the HTML Help viewer library, registered in its place by the
// loader's tests: its entry (ordinal 14) answers every call with a handle that
// names the command, so a test sees which library the loader took.
#include <windows.h>

extern "C" HWND WINAPI FakeHtmlHelp(HWND, LPCSTR, UINT command, DWORD_PTR)
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7E00 + command));
}
