// A question with five buttons whose captions, enable states and results the caller chooses.
#pragma once

#include "framework/CPromptDialog.h"
#include "framework/Prompts.h"

#include <array>

class CAnswerBoxFull : public CPromptDialog
{
public:
    // The answer of the pressed button.
    Choice choice = Choice::Cancel;

    CAnswerBoxFull(const std::string& caption, const std::string& heading, const std::string& text, int iconId,
                   const std::array<int, 5>& enabled, const std::array<std::string, 5>& captions);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;

private:
    std::array<int, 5> enabled;
    std::array<std::string, 5> captions;
};
