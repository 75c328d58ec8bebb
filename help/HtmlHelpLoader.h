// Reaches the system's HTML Help viewer ("hhctrl.ocx", entry HtmlHelpW by
// ordinal 15), loaded on first use from the location registered for the
// viewer's control class, else by name. A failure is remembered: once the
// viewer could not be loaded, every call returns null and nothing is retried.
#pragma once

#include <windows.h>

#include <string>

class HtmlHelpLoader
{
public:
    // The viewer's answer, or null when the viewer cannot be loaded. The file
    // goes to the viewer's wide entry, so any path reaches it as it is.
    HWND Call(HWND caller, const std::string& file, UINT command, DWORD_PTR data);
    // The viewer library, null until loaded (and for good once loading failed).
    HMODULE Library() const { return library; }

private:
    using Entry = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

    HMODULE library = nullptr;
    bool failed = false;
    Entry entry = nullptr;

    bool Load();
};

// The process-wide loader the pages use; the viewer stays loaded until the process ends.
HtmlHelpLoader& ProcessHelpLoader();
HWND CallHtmlHelp(HWND caller, const std::string& file, UINT command, DWORD_PTR data);
