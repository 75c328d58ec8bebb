// A test utility: the help page or the about page alone in a top-level window,
// for looking at them by hand. The command line names the page: "help" or "about".
#include "framework/MessageLoop.h"
#include "help/CWindowHelp.h"
#include "help/CWindowHelpAbout.h"
#include "tests/support/PageHost.h"

#include <windows.h>
#include <shellapi.h>

namespace
{
bool AboutRequested()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    bool about = arguments && count > 1 && lstrcmpiW(arguments[1], L"about") == 0;
    LocalFree(arguments);
    return about;
}
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show)
{
    CWindowHelp helpPage;
    CWindowHelpAbout aboutPage;
    PageHost host;
    host.quitOnDestroy = true;
    const bool about = AboutRequested();
    CPage& page = about ? static_cast<CPage&>(aboutPage) : helpPage;
    if (!host.Open("Velmora", 640, 520, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT) ||
        !page.Create(host.hwnd))
        return 1;
    host.Hold(page);
    ShowWindow(host.hwnd, show);
    return RunMessageLoop();
}
