// The modal password prompt that guards the hidden main window.
#pragma once

#include "framework/CDialog.h"

#include <atomic>
#include <string>

class CWiperSettings;

class CCheckPassword : public CDialog
{
public:
    // Set while a prompt is on screen, so a second request does not stack another one.
    static std::atomic<bool> passwordPromptOpen;

    explicit CCheckPassword(CWiperSettings* settings);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    CWiperSettings* settings;
    std::string enteredText;
    // True for the prompt that set passwordPromptOpen; only it clears the flag.
    bool holdsFlag = false;

    void ReleaseFlag();
    void ShowError(const std::string& text);
};
