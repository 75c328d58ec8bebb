#include "tests/support/PageHost.h"

#include <algorithm>

static const wchar_t kClassName[] = L"VelmoraPageHost";

bool PageHost::Open(const std::string& title, int width, int height, DWORD style, int x, int y)
{
    return RegisterWindowClass(kClassName, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                               GetSysColorBrush(COLOR_BTNFACE)) &&
           Create({.className = kClassName, .title = title, .style = style, .position = {x, y},
                   .size = {width, height}});
}

void PageHost::Hold(CPage& held)
{
    page = &held;
    // Wine's stand-in for the dialog font is wider than the one the minimum was made for.
    RECT created = {};
    GetWindowRect(page->hwnd, &created);
    RECT client = {};
    GetClientRect(hwnd, &client);
    RECT frame = {0, 0, std::max({client.right, (LONG)page->minWidth, created.right - created.left}),
                  std::max({client.bottom, (LONG)page->minHeight, created.bottom - created.top})};
    AdjustWindowRectEx(&frame, GetWindowLongW(hwnd, GWL_STYLE), FALSE, GetWindowLongW(hwnd, GWL_EXSTYLE));
    SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(hwnd, &client);
    MoveWindow(page->hwnd, 0, 0, client.right, client.bottom, FALSE);
    ShowWindow(page->hwnd, SW_SHOW);
}

LRESULT PageHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
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
        if (quitOnDestroy)
            PostQuitMessage(0);
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// The page's minimum is a client size.
void PageHost::OnGetMinMaxInfo(MINMAXINFO& info) const
{
    if (!page)
        return;
    RECT rect = {0, 0, page->minWidth, page->minHeight};
    AdjustWindowRectEx(&rect, GetWindowLongW(hwnd, GWL_STYLE), FALSE, GetWindowLongW(hwnd, GWL_EXSTYLE));
    info.ptMinTrackSize.x = rect.right - rect.left;
    info.ptMinTrackSize.y = rect.bottom - rect.top;
}
