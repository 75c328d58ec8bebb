// A test utility: the search page alone in a top-level window captioned "Velmora",
// with a settings record of its own. Not a second program. Folders given on its
// command line are added as locations and searched at once (for demos).
#include "framework/CWnd.h"
#include "framework/MessageLoop.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "search_page/CWindowWiperEntries.h"
#include "settings/CWiperSettings.h"

#include <windows.h>
#include <shellapi.h>

namespace
{
class CHostWindow : public CWnd
{
public:
    explicit CHostWindow(CWindowWiperEntries& page) : page(page) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message)
        {
        case WM_SIZE:
            if (page.hwnd)
                MoveWindow(page.hwnd, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_GETMINMAXINFO:
            OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    CWindowWiperEntries& page;

    // The page's minimum is a client size.
    void OnGetMinMaxInfo(MINMAXINFO& info)
    {
        RECT rect = {0, 0, page.minWidth, page.minHeight};
        AdjustWindowRectEx(&rect, GetWindowLongW(hwnd, GWL_STYLE), FALSE, GetWindowLongW(hwnd, GWL_EXSTYLE));
        info.ptMinTrackSize.x = rect.right - rect.left;
        info.ptMinTrackSize.y = rect.bottom - rect.top;
    }
};
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show)
{
    CWiperSettings settings;
    settings.SetDefaults();
    settings.installFolder = ProgramFolder();

    CWindowWiperEntries page(&settings);
    CHostWindow host(page);
    const wchar_t* className = L"VelmoraSearchPageHost";
    if (!CWnd::RegisterWindowClass(className, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                                   GetSysColorBrush(COLOR_BTNFACE)) ||
        !host.Create(className, "Velmora", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                     720, 640, nullptr, nullptr) ||
        !page.Create(host.hwnd))
        return 1;
    RECT client = {};
    GetClientRect(host.hwnd, &client);
    MoveWindow(page.hwnd, 0, 0, client.right, client.bottom, FALSE);
    ShowWindow(page.hwnd, SW_SHOW);
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
