// A tooltip control whose tools are rectangles of one window.
#pragma once

#include "framework/CWnd.h"

#include <string>

class CToolTipCtrl : public CWnd
{
public:
    ~CToolTipCtrl() override;

    bool Create(HWND owner);
    // Also safe after the system destroyed the window with its owner.
    void Destroy();
    void SetMaxTipWidth(int width);
    void Activate(bool active);
    // The tool window's mouse messages reach the tooltip through a CToolTipRelay.
    bool AddTool(HWND window, UINT id, const RECT& rect, const std::string& text);
    void SetToolRect(HWND window, UINT id, const RECT& rect);
};
