#include "framework/CLinkCtrl.h"

#include "framework/Text.h"

#include <commctrl.h>
#include <shellapi.h>

void CLinkCtrl::InitClass()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
}

bool CLinkCtrl::Attach(HWND control, const std::string& address)
{
    if (!SubclassControl(control))
        return false;
    this->address = address;
    SetText("<a href=\"" + address + "\">" + address + "</a>");
    return true;
}

LRESULT CLinkCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_ERASEBKGND:
        // Painting fills the whole control.
        return TRUE;
    case WM_PAINT:
    {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        Paint(dc);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

bool CLinkCtrl::OnReflectedNotify(NMHDR& header, LRESULT& result)
{
    if (header.code != NM_CLICK && header.code != NM_RETURN)
        return false;
    Open();
    result = 0;
    return true;
}

void CLinkCtrl::Paint(HDC dc)
{
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH background = reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    FillRect(dc, &client, background ? background : GetSysColorBrush(COLOR_BTNFACE));

    LOGFONTW underlined = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(underlined), &underlined);
    underlined.lfUnderline = TRUE;
    HFONT font = CreateFontIndirectW(&underlined);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    // Where the control places the link's text, so that clicks on the text reach it.
    const std::wstring text = Widen(address);
    RECT textRect = client;
    DrawTextW(dc, text.c_str(), -1, &textRect, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    DrawTextW(dc, text.c_str(), -1, &textRect, DT_SINGLELINE | DT_NOPREFIX);
    if (GetFocus() == hwnd)
        DrawFocusRect(dc, &textRect);
    SelectObject(dc, previous);
    DeleteObject(font);
}

void CLinkCtrl::Open()
{
    // A failure to open the address is not reported.
    ShellExecuteW(GetParent(hwnd), L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
