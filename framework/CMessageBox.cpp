#include "framework/CMessageBox.h"

#include "resources/resource.h"

CMessageBox::CMessageBox(const std::string& caption, const std::string& heading, const std::string& text,
                         int iconId)
    : CPromptDialog(IDD_MESSAGE_BOX, caption, heading, text, iconId)
{
}

BOOL CMessageBox::OnInitDialog()
{
    int height = LayoutText(265, 280, 290);
    HWND ok = CreateWindowExW(0, L"BUTTON", L"Ok", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                              Scaled(100), height + Scaled(35), Scaled(100), Scaled(20), hwnd, (HMENU)(INT_PTR)IDOK,
                              GetModuleHandleW(nullptr), nullptr);
    SendMessageW(ok, WM_SETFONT, (WPARAM)font, FALSE);
    SizeAndCentre(Scaled(300), height + Scaled(60));
    SetFocus(ok);
    return FALSE;
}
