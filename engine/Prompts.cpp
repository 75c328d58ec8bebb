#include "engine/Prompts.h"

#include "engine/CAnswerBox.h"
#include "engine/CAnswerBoxFull.h"
#include "engine/CMessageBox.h"

void ShowMessage(HWND owner, const std::string& caption, const std::string& heading, const std::string& text,
                 int iconId)
{
    CMessageBox box(caption, heading, text, iconId);
    box.DoModal(owner);
}

bool AskYesNo(HWND owner, const std::string& caption, const std::string& heading, const std::string& text,
              int iconId)
{
    CAnswerBox box(caption, heading, text, iconId);
    return box.DoModal(owner) == IDOK;
}

int AskChoice(HWND owner, const std::string& caption, const std::string& heading, const std::string& text,
              int iconId, const std::array<int, 5>& enabled, const std::array<std::string, 5>& captions)
{
    CAnswerBoxFull box(caption, heading, text, iconId, enabled, captions);
    return box.DoModal(owner) == IDOK ? box.choice : 0;
}
