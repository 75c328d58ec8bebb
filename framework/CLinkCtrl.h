// A SysLink control that shows one web address and opens it on a click or
// Enter. It is a tab stop whose name for a screen reader is the address. It
// paints its text itself, in the colours its parent answers to the colour query
// of a static text, asked at every paint: the platform's control keeps the link
// colour it found when it was created, which a later theme does not change.
#pragma once

#include "framework/CWnd.h"

#include <string>

class CLinkCtrl : public CWnd
{
public:
    // Registers the control's window class, before a dialog that holds one is made.
    static void InitClass();
    // Binds the object to a SysLink control of a dialog and shows the address in it.
    bool Attach(HWND control, const std::string& address);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnReflectedNotify(NMHDR& header, LRESULT& result) override;

private:
    std::string address;

    void Paint(HDC dc);
    void Open();
};
