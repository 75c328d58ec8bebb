#include "framework/CMessageBox.h"

#include "resources/resource.h"

CMessageBox::CMessageBox(const std::string& caption, const std::string& heading, const std::string& text,
                         int iconId)
    : CPromptDialog(IDD_MESSAGE_BOX, caption, heading, text, iconId)
{
}

BOOL CMessageBox::OnInitDialog()
{
    HWND ok = CreateWindowExW(0, L"BUTTON", L"Ok", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
                              hwnd, (HMENU)(INT_PTR)IDOK, GetModuleHandleW(nullptr), nullptr);
    Layout({300, 290, 20, 5}, {ok});
    SetFocus(ok);
    return FALSE;
}
