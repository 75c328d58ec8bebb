// The main window's layout: its first placement, the panels and the splitter
// bar on every size change, the least size the shown page allows, and a change
// of display scale.
#include "shell/CWindowMain.h"

#include "shell/Globals.h"

#include <algorithm>

namespace
{
// Sizes at 96 DPI.
const int kSplitterWidth = 3;
// A splitter saved beyond the window is pulled back to this distance from its right edge.
const int kSplitterPullBack = 6;
}

void CWindowMain::PlaceFromSettings(bool defaults)
{
    // The position is in screen pixels; the sizes are at 96 DPI and take the
    // scale of the monitor the window lands on. Moving there first lets a
    // change of monitor scale happen before the sizes are worked out.
    SetWindowPos(hwnd, nullptr, wiperSettings.windowLeft, wiperSettings.windowTop, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    dpi = DpiOfWindow(hwnd);
    RECT bar = RectInParent(splitterBar.hwnd);
    MoveWindow(splitterBar.hwnd, Scaled(wiperSettings.splitterPos), bar.top, bar.right - bar.left,
               bar.bottom - bar.top, FALSE);
    // The default size gives room to the largest page, so that no page shows cut
    // when a new user first turns to it, whatever the display's dialog font makes
    // the pages need. A size the user chose is held only to the page shown.
    SIZE room = {minPageWidth, minPageHeight};
    if (defaults)
    {
        for (const auto& [id, page] : pages)
        {
            SIZE need = page->MinimumSize();
            room.cx = std::max(room.cx, need.cx);
            room.cy = std::max(room.cy, need.cy);
        }
    }
    // Before the first layout the left panel has no width yet: the bar tells it.
    SIZE minimum = WindowSizeForPage(room, defaults ? RectInParent(splitterBar.hwnd).left : 0);
    int width = Scaled(wiperSettings.windowWidth);
    int height = Scaled(wiperSettings.windowHeight);
    SetWindowPos(hwnd, nullptr, 0, 0, std::max<int>(width, minimum.cx), std::max<int>(height, minimum.cy),
                 SWP_NOZORDER | SWP_NOMOVE);
    // 0 keeps the window hidden: the program starts in the notification area.
    ShowWindow(hwnd, wiperSettings.windowShowCmd);
}

void CWindowMain::OnSize(int width)
{
    if (!toolbar || !splitterBar.hwnd || !leftPanel.hwnd || !rightPanel.hwnd || !IsWindowVisible(hwnd) ||
        IsIconic(hwnd))
        return;
    MoveWindow(toolbar, 0, 0, width, 0, TRUE);
    RECT client;
    GetClientRect(hwnd, &client);
    RECT band = RectInParent(toolbar);
    RECT below;
    SubtractRect(&below, &client, &band);

    RECT bar = RectInParent(splitterBar.hwnd);
    // A position saved for a wider window is pulled back inside this one.
    int pullBack = Scaled(kSplitterPullBack);
    int x = bar.left > width - pullBack ? width - pullBack : bar.left;
    int height = below.bottom - below.top;
    int barWidth = Scaled(kSplitterWidth);
    MoveWindow(leftPanel.hwnd, below.left, below.top, x - below.left, height, TRUE);
    MoveWindow(splitterBar.hwnd, x, below.top, barWidth, height, TRUE);
    RECT strip = {x, below.top, x + barWidth, below.bottom};
    InvalidateRect(hwnd, &strip, TRUE);
    MoveWindow(rightPanel.hwnd, x + barWidth, below.top, width - (x + barWidth), height, TRUE);
    FitCurrentPage();
    SetSplitterRange(width);
}

void CWindowMain::OnGetMinMaxInfo(MINMAXINFO& info)
{
    SIZE minimum = MinimumWindowSize();
    info.ptMinTrackSize.x = minimum.cx;
    info.ptMinTrackSize.y = minimum.cy;
}

SIZE CWindowMain::MinimumWindowSize() const
{
    return WindowSizeForPage({minPageWidth, minPageHeight},
                             leftPanel.hwnd ? RectInParent(leftPanel.hwnd).right - RectInParent(leftPanel.hwnd).left : 0);
}

SIZE CWindowMain::WindowSizeForPage(SIZE page, int leftWidth) const
{
    // The client area holds the toolbar, the left panel, the bar and the page;
    // the frame and the title come on top, so the page is never cut.
    SIZE client = {leftWidth + Scaled(kSplitterWidth) + page.cx, page.cy};
    if (toolbar)
        client.cy += RectInParent(toolbar).bottom - RectInParent(toolbar).top;
    return WindowSizeForClient(client, GetWindowLongW(hwnd, GWL_STYLE), GetWindowLongW(hwnd, GWL_EXSTYLE), dpi);
}

void CWindowMain::OnDpiChanged(UINT newDpi, const RECT& suggested)
{
    UINT oldDpi = dpi;
    dpi = newDpi;
    CreateToolbarImages();
    LoadTrayIcon();
    auto current = pages.find(currentPage);
    if (current != pages.end())
    {
        SIZE minimum = current->second->MinimumSize();
        minPageWidth = minimum.cx;
        minPageHeight = minimum.cy;
    }
    if (splitterBar.hwnd)
    {
        RECT bar = RectInParent(splitterBar.hwnd);
        MoveWindow(splitterBar.hwnd, MulDiv(bar.left, newDpi, oldDpi), bar.top, bar.right - bar.left,
                   bar.bottom - bar.top, FALSE);
    }
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(hwnd, &client);
    OnSize(client.right);
}

void CWindowMain::OnSplitterMoved(int delta)
{
    ShiftEdge(leftPanel.hwnd, delta, 1);
    ShiftEdge(rightPanel.hwnd, delta, 2);
    FitCurrentPage();
}

void CWindowMain::FitCurrentPage()
{
    auto current = pages.find(currentPage);
    if (current == pages.end() || !rightPanel.hwnd)
        return;
    RECT panel;
    GetClientRect(rightPanel.hwnd, &panel);
    MoveWindow(current->second->hwnd, 0, 0, panel.right, panel.bottom, TRUE);
}

void CWindowMain::SetSplitterRange(int clientWidth)
{
    int maximum = clientWidth - minPageWidth - Scaled(kSplitterWidth);
    splitterBar.SetRange(Scaled(wiperSettings.splitterPos), maximum < 5 ? 5 : maximum);
}
