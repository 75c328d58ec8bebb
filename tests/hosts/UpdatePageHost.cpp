// A test utility: the update check page alone in a top-level window captioned
// "Velmora". Without arguments it asks the configured server; with a name and a
// port it asks that server instead and starts a check at once (for demos).
#include "framework/CWnd.h"
#include "framework/MessageLoop.h"
#include "framework/Text.h"
#include "help/CWindowHelpCheckUpdates.h"
#include "resources/resource.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

namespace
{
class CHostWindow : public CWnd
{
public:
    explicit CHostWindow(CWindowHelpCheckUpdates& page) : page(page) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message)
        {
        case WM_SIZE:
            if (page.hwnd)
                MoveWindow(page.hwnd, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    CWindowHelpCheckUpdates& page;
};

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
    CHostWindow host(page);
    const wchar_t* className = L"VelmoraUpdatePageHost";
    if (!CWnd::RegisterWindowClass(className, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                                   GetSysColorBrush(COLOR_BTNFACE)) ||
        !host.Create(className, "Velmora", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                     page.minWidth, page.minHeight, nullptr, nullptr) ||
        !page.Create(host.hwnd))
        return 1;
    // The page's minimum size, or its template's size where the dialog font is wider than the
    // one the minimum was made for (Wine's stand-in for "MS Sans Serif" is).
    RECT templateRect = {};
    GetWindowRect(page.hwnd, &templateRect);
    RECT frame = {0, 0, std::max<LONG>(page.minWidth, templateRect.right - templateRect.left),
                  std::max<LONG>(page.minHeight, templateRect.bottom - templateRect.top)};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetWindowPos(host.hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(page.hwnd, SW_SHOW);
    ShowWindow(host.hwnd, show);
    if (given)
        PostMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_CHECK_FOR_UPDATES, BN_CLICKED), 0);
    return RunMessageLoop();
}
