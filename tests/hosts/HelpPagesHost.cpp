// A test utility: the help page or the about page alone in a top-level window,
// for looking at them by hand. The command line names the page: "help" or "about".
#include "framework/CWnd.h"
#include "framework/MessageLoop.h"
#include "help/CWindowHelp.h"
#include "help/CWindowHelpAbout.h"

#include <windows.h>
#include <shellapi.h>

namespace
{
class CHostWindow : public CWnd
{
public:
    CDialog* page = nullptr;
    int minWidth = 0;
    int minHeight = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message)
        {
        case WM_SIZE:
            if (page && page->hwnd)
                MoveWindow(page->hwnd, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
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
    // The page's minimum is a client size.
    void OnGetMinMaxInfo(MINMAXINFO& info)
    {
        RECT rect = {0, 0, minWidth, minHeight};
        AdjustWindowRectEx(&rect, GetWindowLongW(hwnd, GWL_STYLE), FALSE, GetWindowLongW(hwnd, GWL_EXSTYLE));
        info.ptMinTrackSize.x = rect.right - rect.left;
        info.ptMinTrackSize.y = rect.bottom - rect.top;
    }
};

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
    CHostWindow host;
    const bool about = AboutRequested();
    host.page = about ? static_cast<CDialog*>(&aboutPage) : &helpPage;
    host.minWidth = about ? aboutPage.minWidth : helpPage.minWidth;
    host.minHeight = about ? aboutPage.minHeight : helpPage.minHeight;
    const wchar_t* className = L"VelmoraHelpPagesHost";
    if (!CWnd::RegisterWindowClass(className, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                                   GetSysColorBrush(COLOR_BTNFACE)) ||
        !host.Create(className, "Velmora", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                     640, 520, nullptr, nullptr))
        return 1;
    bool created = about ? aboutPage.Create(host.hwnd) : helpPage.Create(host.hwnd);
    if (!created)
        return 1;
    RECT client = {};
    GetClientRect(host.hwnd, &client);
    MoveWindow(host.page->hwnd, 0, 0, client.right, client.bottom, FALSE);
    ShowWindow(host.page->hwnd, SW_SHOW);
    ShowWindow(host.hwnd, show);
    return RunMessageLoop();
}
