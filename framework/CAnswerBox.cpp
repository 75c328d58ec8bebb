#include "framework/CAnswerBox.h"

#include "resources/resource.h"

CAnswerBox::CAnswerBox(const std::string& caption, const std::string& heading, const std::string& text,
                       int iconId)
    : CPromptDialog(IDD_ANSWER_BOX, caption, heading, text, iconId)
{
}

BOOL CAnswerBox::OnInitDialog()
{
    Layout({300, 290, 20, 5}, {GetItem(IDOK), GetItem(IDCANCEL)});
    // "No" first: Enter on a question about deleting must not mean yes.
    SendMessageW(hwnd, WM_NEXTDLGCTL, (WPARAM)GetItem(IDCANCEL), TRUE);
    return FALSE;
}
