// A question answered "Yes" or "No"; "No" is the default.
#pragma once

#include "framework/CPromptDialog.h"

class CAnswerBox : public CPromptDialog
{
public:
    CAnswerBox(const std::string& caption, const std::string& heading, const std::string& text, int iconId);

protected:
    BOOL OnInitDialog() override;
};
