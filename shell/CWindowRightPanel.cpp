#include "shell/CWindowRightPanel.h"

LRESULT CWindowRightPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_ERASEBKGND:
        // The page shown covers the whole panel; erasing first would only flicker.
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
