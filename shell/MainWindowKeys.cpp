// The main window's keys: the toolbar's commands, and the keys that move the
// focus between the panes (the page tree and the page shown); inside a page the
// dialog manager moves it.
#include "shell/CWindowMain.h"

#include "framework/CPage.h"

namespace
{
bool KeyHeld(int key)
{
    return GetKeyState(key) < 0;
}

// The page's own control that holds the focus (a combo box's edit is inside its box).
HWND PageControlOf(HWND page, HWND focus)
{
    while (focus && GetParent(focus) != page)
        focus = GetParent(focus);
    return focus;
}
}

HWND CWindowMain::CurrentPageWindow() const
{
    auto current = pages.find(currentPage);
    if (current == pages.end() || !IsWindowVisible(current->second->hwnd))
        return nullptr;
    return current->second->hwnd;
}

bool CWindowMain::FocusPage(bool last)
{
    HWND page = CurrentPageWindow();
    const std::vector<HWND> stops = page ? ReachableTabStops(page) : std::vector<HWND>();
    if (stops.empty())
        return false;
    // As the dialog manager moves it: the default button and an edit's selection follow.
    SendMessageW(page, WM_NEXTDLGCTL, (WPARAM)(last ? stops.back() : stops.front()), TRUE);
    return true;
}

bool CWindowMain::PreTranslateMessage(MSG& msg)
{
    if (keys && TranslateAcceleratorW(hwnd, keys, &msg))
        return true;
    if (msg.message != WM_KEYDOWN || KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU))
        return false;
    HWND tree = leftPanel.tree;
    HWND page = CurrentPageWindow();
    if (!tree || !page)
        return false;
    const bool shift = KeyHeld(VK_SHIFT);
    const bool inTree = msg.hwnd == tree;
    HWND control = inTree ? nullptr : PageControlOf(page, msg.hwnd);
    if (!inTree && !control)
        return false;
    switch (msg.wParam)
    {
    case VK_F6:
        if (inTree)
            return FocusPage(false);
        SetFocus(tree);
        return true;
    case VK_TAB:
        if (inTree)
            return FocusPage(shift);
    {
        // Out of the page at its ends; in between the page's own Tab goes on.
        const std::vector<HWND> stops = ReachableTabStops(page);
        if (!stops.empty() && control == (shift ? stops.front() : stops.back()))
        {
            SetFocus(tree);
            return true;
        }
        return false;
    }
    }
    return false;
}

