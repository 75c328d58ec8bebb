// The settings page: "Start with Windows", the password lock and its password,
// committed by Apply or dropped by Reset.
#pragma once

#include "framework/CPage.h"

#include <string>

class CWiperSettings;

class CWindowSettings : public CPage
{
public:
    // Lower bounds of the page's size for the window that hosts it.
    int minWidth = 480;
    int minHeight = 350;
    // 1 once the user changed a control since the last load, Apply or Reset.
    int modified = 0;

    explicit CWindowSettings(CWiperSettings* settings);

    // Drops the unapplied changes: the page shows the record again.
    void Reset();
    // Asked before the page is left: true when there is nothing unapplied or the
    // user chose to reset it, false when the page must stay with its edits.
    bool ConfirmLeave(HWND owner);

protected:
    bool OnCommand(int id, int code) override;
    BOOL OnInitDialog() override;

private:
    CWiperSettings* settings;
    // Mirrors of the controls.
    int startWithWindowsBox = 0;
    int protectBox = 0;
    std::string passwordText;
    std::string confirmText;
    int passwordEdited = 0;
    // Set while the page fills its controls, whose change notices are not the user's.
    bool filling = false;

    void DoDataExchange(bool save);
    void LoadFromRecord();
    void ShowMembers();
    void OnApply();
    void OnStartWithWindows();
    void OnProtect();
    void OnPasswordChange();
    void MarkModified();
    void EnablePasswordBoxes();
    void EnableCommitButtons(bool enable);
    void ShowWarning(const std::string& text);
};
