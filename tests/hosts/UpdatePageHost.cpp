// A test utility: the update check page alone in a top-level window captioned
// "Velmora". Without arguments it asks the configured server; with a name and a
// port it asks that server instead and starts a check at once (for demos).
#include "framework/MessageLoop.h"
#include "framework/Text.h"
#include "help/CWindowHelpCheckUpdates.h"
#include "resources/resource.h"
#include "tests/support/PageHost.h"

#include <windows.h>
#include <shellapi.h>


namespace
{
UpdateServer ServerFromArguments(bool& given)
{
    UpdateServer server = ConfiguredUpdateServer();
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    given = arguments && count == 3;
    if (given)
    {
        server.domain = Narrow(arguments[1]);
        server.port = (unsigned short)_wtoi(arguments[2]);
    }
    LocalFree(arguments);
    return server;
}
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show)
{
    // Start-up does this for the program.
    LoadLibraryW(L"riched20.dll");
    bool given = false;
    CWindowHelpCheckUpdates page(ServerFromArguments(given));
    PageHost host;
    host.quitOnDestroy = true;
    if (!host.Open("Velmora", page.minWidth, page.minHeight, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                   CW_USEDEFAULT) ||
        !page.Create(host.hwnd))
        return 1;
    host.Hold(page);
    ShowWindow(host.hwnd, show);
    if (given)
        PostMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_CHECK_FOR_UPDATES, BN_CLICKED), 0);
    return RunMessageLoop();
}
