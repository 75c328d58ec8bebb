// A top-level window that holds one page, as the main window's right panel
// does: a page given to Hold fills its client area, and the window cannot be
// made smaller than the page's minimum. The page tests and the stand-alone
// page hosts all use it.
#pragma once

#include "framework/CPage.h"
#include "framework/CWnd.h"

#include <string>

class PageHost : public CWnd
{
public:
    // Ends the message loop when the window is destroyed (the stand-alone hosts).
    bool quitOnDestroy = false;

    // Creates the window; style WS_VISIBLE shows it at once.
    bool Open(const std::string& title, int width, int height,
              DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, int x = 0, int y = 0);
    // Grows the window where the page, created as its child, would not be whole
    // at its minimum size or its template's size, and shows the page over the client area.
    void Hold(CPage& page);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CPage* page = nullptr;

    void OnGetMinMaxInfo(MINMAXINFO& info) const;
};
