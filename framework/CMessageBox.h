// A message with an "Ok" button.
#pragma once

#include "framework/CPromptDialog.h"

class CMessageBox : public CPromptDialog
{
public:
    CMessageBox(const std::string& caption, const std::string& heading, const std::string& text, int iconId);

protected:
    BOOL OnInitDialog() override;
};
