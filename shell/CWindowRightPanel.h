// The right part of the main window: the parent of the pages, one of which
// fills it at a time.
#pragma once

#include "framework/CWnd.h"

class CWindowRightPanel : public CWnd
{
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
