// Reaches the system's HTML Help viewer ("hhctrl.ocx", entry HtmlHelpW by
// ordinal 15), loaded on first use from the full path the machine registered
// for the viewer's control class, else from System32; never from a folder a
// user's own registration or the search order could name. A failure is
// remembered: once the viewer could not be loaded, every call returns null and
// nothing is retried.
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

// The viewer cannot open a file whose path holds "#" (it ends the file's name in
// the viewer's own addresses), nor, by its security rule, one on a network.
bool ViewerRefusesPath(const std::string& path, bool onNetwork);
// The help file where the viewer can open it: the file itself, or a copy of it
// in `localFolder` (made, with the folder, when needed); the file itself when no
// copy could be made, so the viewer says what it says.
std::string ViewableHelpFile(const std::string& file, const std::string& localFolder);

// The process-wide loader the pages use; the viewer stays loaded until the process ends.
HtmlHelpLoader& ProcessHelpLoader();
HWND CallHtmlHelp(HWND caller, const std::string& file, UINT command, DWORD_PTR data);
