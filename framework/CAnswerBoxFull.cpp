#include "framework/CAnswerBoxFull.h"

#include "framework/Text.h"
#include "resources/resource.h"

// The buttons from left to right and what each one answers.
static const int buttonIds[5] = {IDOK, IDC_CHOICE_YES_FOR_ALL, IDCANCEL, IDC_CHOICE_NO, IDC_CHOICE_NO_FOR_ALL};
static const Choice buttonChoices[5] = {Choice::Yes, Choice::YesForAll, Choice::Cancel, Choice::No,
                                       Choice::NoForAll};

CAnswerBoxFull::CAnswerBoxFull(const std::string& caption, const std::string& heading, const std::string& text,
                               int iconId, const std::array<int, 5>& enabled,
                               const std::array<std::string, 5>& captions)
    : CPromptDialog(IDD_ANSWER_BOX_FULL, caption, heading, text, iconId), enabled(enabled), captions(captions)
{
}

BOOL CAnswerBoxFull::OnInitDialog()
{
    std::vector<HWND> buttons;
    for (int i = 0; i < 5; i++)
    {
        HWND button = GetItem(buttonIds[i]);
        EnableWindow(button, enabled[i] != 0);
        SetWindowTextW(button, Widen(captions[i]).c_str());
        buttons.push_back(button);
    }
    Layout({535, 525, 25, 10}, buttons);
    // "Cancel" first, which is always there: Enter must not pick an answer that deletes.
    SendMessageW(hwnd, WM_NEXTDLGCTL, (WPARAM)GetItem(IDCANCEL), TRUE);
    return FALSE;
}

bool CAnswerBoxFull::OnCommand(int id, int)
{
    for (int i = 0; i < 5; i++)
    {
        if (id == buttonIds[i])
        {
            // Enter reaches a disabled default button's command too; only cancelling stays possible.
            if (id != IDCANCEL && !IsWindowEnabled(GetItem(id)))
                return true;
            choice = buttonChoices[i];
            EndDialog(id == IDCANCEL ? IDCANCEL : IDOK);
            return true;
        }
    }
    return false;
}
