// Hands a window's mouse messages to a tooltip, as a framework's
// PreTranslateMessage does. Cheaper than the tooltip's own subclassing
// (TTF_SUBCLASS), which under Wine made every message the window received
// cost about 0.2 ms: the list sends its heading one for each row it changes.
#pragma once

#include "framework/CToolTipCtrl.h"

class CToolTipRelay : public CWnd
{
public:
    // Binds to window; relays to toolTip while it exists.
    bool Attach(HWND window, CToolTipCtrl& toolTip);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CToolTipCtrl* toolTip = nullptr;
};
