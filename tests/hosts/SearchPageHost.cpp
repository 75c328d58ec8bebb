// A test utility: the search page alone in a top-level window captioned "Velmora",
// with a settings record of its own. Not a second program. Folders given on its
// command line are added as locations and searched at once (for demos).
#include "framework/MessageLoop.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "search_page/CWindowWiperEntries.h"
#include "tests/support/PageHost.h"

#include <windows.h>
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show)
{
    CWindowWiperEntries page;
    PageHost host;
    host.quitOnDestroy = true;
    if (!host.Open("Velmora", 720, 640, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT) ||
        !page.Create(host.hwnd))
        return 1;
    host.Hold(page);
    ShowWindow(host.hwnd, show);
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; arguments && i < count; i++)
        page.AddLocation(Narrow(arguments[i]));
    if (count > 1)
        PostMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0);
    LocalFree(arguments);
    return RunMessageLoop();
}
