// Reaches the system's HTML Help viewer ("hhctrl.ocx", entry HtmlHelpA by
// ordinal 14), loaded on first use from the location registered for the
// viewer's control class, else by name. A failure is remembered: once the
// viewer could not be loaded, every call returns null and nothing is retried.
#pragma once

#include <windows.h>

#include <string>

class HtmlHelpLoader
{
public:
    // The viewer's answer, or null when the viewer cannot be loaded. The texts
    // are passed to the viewer in the ANSI code page.
    HWND Call(HWND caller, const std::string& file, UINT command, DWORD_PTR data);
    // The viewer library, null until loaded (and for good once loading failed).
    HMODULE Library() const { return library; }

private:
    using Entry = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

    HMODULE library = nullptr;
    bool failed = false;
    Entry entry = nullptr;

    bool Load();
};

// The process-wide loader the pages use; the viewer stays loaded until the process ends.
HWND CallHtmlHelp(HWND caller, const std::string& file, UINT command, DWORD_PTR data);
