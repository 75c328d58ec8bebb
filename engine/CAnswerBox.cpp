#include "engine/CAnswerBox.h"

#include "resources/resource.h"

CAnswerBox::CAnswerBox(const std::string& caption, const std::string& heading, const std::string& text,
                       int iconId)
    : CPromptDialog(IDD_ANSWER_BOX, caption, heading, text, iconId)
{
}

BOOL CAnswerBox::OnInitDialog()
{
    int height = LayoutText(265, 280, 290);
    MoveWindow(GetItem(IDOK), 5, height + 35, 100, 20, FALSE);
    MoveWindow(GetItem(IDCANCEL), 190, height + 35, 100, 20, FALSE);
    SizeAndCentre(300, height + 60);
    // The dialog manager focuses the first tab stop, "No".
    return TRUE;
}
