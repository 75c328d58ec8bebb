#include "framework/CAnswerBox.h"

#include "resources/resource.h"

CAnswerBox::CAnswerBox(const std::string& caption, const std::string& heading, const std::string& text,
                       int iconId)
    : CPromptDialog(IDD_ANSWER_BOX, caption, heading, text, iconId)
{
}

BOOL CAnswerBox::OnInitDialog()
{
    int height = LayoutText(265, 280, 290);
    MoveWindow(GetItem(IDOK), Scaled(5), height + Scaled(35), Scaled(100), Scaled(20), FALSE);
    MoveWindow(GetItem(IDCANCEL), Scaled(190), height + Scaled(35), Scaled(100), Scaled(20), FALSE);
    SizeAndCentre(Scaled(300), height + Scaled(60));
    // "No" first: Enter on a question about deleting must not mean yes.
    SendMessageW(hwnd, WM_NEXTDLGCTL, (WPARAM)GetItem(IDCANCEL), TRUE);
    return FALSE;
}
