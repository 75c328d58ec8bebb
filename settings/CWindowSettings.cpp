#include "settings/CWindowSettings.h"

#include "framework/Prompts.h"
#include "framework/DataExchange.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/CWiperSettings.h"
#include "settings/StartupEntry.h"

namespace
{
// How much of the digest the password boxes show for a stored password.
const size_t kPlaceholderLength = 8;
}

CWindowSettings::CWindowSettings(CWiperSettings* settings) : CPage(IDD_SETTINGS_PAGE, 480, 350), settings(settings)
{
}

bool CWindowSettings::OnCommand(int id, int code)
{
    switch (id)
    {
    case IDC_APPLY:
        if (code == BN_CLICKED)
            OnApply();
        return true;
    case IDC_RESET:
        if (code == BN_CLICKED)
            Reset();
        return true;
    case IDC_START_WITH_WINDOWS:
        if (code == BN_CLICKED)
            OnStartWithWindows();
        return true;
    case IDC_PROTECT:
        if (code == BN_CLICKED)
            OnProtect();
        return true;
    case IDC_PASSWORD:
    case IDC_CONFIRM_PASSWORD:
        if (code == EN_CHANGE)
            OnPasswordChange();
        return true;
    }
    // Enter and Escape come here as IDOK and IDCANCEL.
    return CPage::OnCommand(id, code);
}

// A page made again (a new main window) starts without unapplied changes.
BOOL CWindowSettings::OnInitDialog()
{
    Reset();
    return TRUE;
}

void CWindowSettings::DoDataExchange(bool save)
{
    ExchangeCheck(hwnd, IDC_START_WITH_WINDOWS, startWithWindowsBox, save);
    ExchangeCheck(hwnd, IDC_PROTECT, protectBox, save);
    ExchangeText(hwnd, IDC_PASSWORD, passwordText, save);
    ExchangeText(hwnd, IDC_CONFIRM_PASSWORD, confirmText, save);
}

void CWindowSettings::LoadFromRecord()
{
    // What Windows will do, not what settings.dat last said.
    startWithWindowsBox = ReadStartupEntry().StartsThisProgram() ? 1 : 0;
    protectBox = settings->passwordProtected ? 1 : 0;
    passwordEdited = 0;
    // Eight hidden characters stand for the stored password.
    passwordText = settings->passwordHash.substr(0, kPlaceholderLength);
    confirmText = passwordText;
    ShowMembers();
    EnablePasswordBoxes();
}

void CWindowSettings::ShowMembers()
{
    filling = true;
    DoDataExchange(false);
    filling = false;
}

void CWindowSettings::Reset()
{
    LoadFromRecord();
    EnableCommitButtons(false);
    modified = 0;
}

bool CWindowSettings::ConfirmLeave(HWND owner)
{
    if (!modified)
        return true;
    if (!AskYesNo(owner, "Warning", "", "You didn't apply any changes. Do you want to reset them?",
                  IDI_QUESTION_MARK))
        return false;
    Reset();
    return true;
}

void CWindowSettings::OnApply()
{
    DoDataExchange(true);
    if (protectBox)
    {
        if (passwordText.empty())
        {
            ShowWarning("Protected password is empty. Please try again.");
            return;
        }
        if (passwordText != confirmText)
        {
            ShowWarning("The confirmation protected password is wrong. Please try again.");
            return;
        }
    }
    settings->startWithWindows = startWithWindowsBox ? 1 : 0;
    // Whatever differs from the registry is written, however it came to differ;
    // a refusal is tried again by the next Apply.
    const StartupEntry entry = ReadStartupEntry();
    if (startWithWindowsBox && !entry.StartsThisProgram())
        WriteStartupEntry();
    else if (!startWithWindowsBox && entry.exists && entry.namesThisProgram)
        DeleteStartupEntry();
    // Untouched boxes hold the placeholder, not a password: the stored digest stays.
    if ((protectBox && !settings->passwordProtected) || passwordEdited)
    {
        settings->SetPassword(passwordText);
        passwordEdited = 0;
    }
    settings->passwordProtected = protectBox ? 1 : 0;
    if (protectBox)
    {
        passwordText = settings->passwordHash.substr(0, kPlaceholderLength);
        confirmText = passwordText;
    }
    else
    {
        settings->passwordHash.clear();
        passwordText.clear();
        confirmText.clear();
    }
    // The record holds the applied values either way.
    SettingsFailure failure;
    if (!settings->Save(&failure))
        ShowSettingsFailure(nullptr, failure);
    ShowMembers();
    modified = 0;
    EnableCommitButtons(false);
}

void CWindowSettings::OnStartWithWindows()
{
    MarkModified();
}

void CWindowSettings::OnProtect()
{
    ExchangeCheck(hwnd, IDC_PROTECT, protectBox, true);
    EnablePasswordBoxes();
    MarkModified();
}

void CWindowSettings::OnPasswordChange()
{
    if (filling)
        return;
    passwordEdited = 1;
    MarkModified();
}

void CWindowSettings::MarkModified()
{
    modified = 1;
    EnableCommitButtons(true);
}

void CWindowSettings::EnablePasswordBoxes()
{
    // The label greys with its box, and its access key rests with it.
    for (int id : {IDC_PASSWORD, IDC_CONFIRM_LABEL, IDC_CONFIRM_PASSWORD})
        EnableItem(id, protectBox != 0);
}

void CWindowSettings::EnableCommitButtons(bool enable)
{
    EnableItem(IDC_APPLY, enable);
    EnableItem(IDC_RESET, enable);
}

void CWindowSettings::ShowWarning(const std::string& text)
{
    ShowMessage(hwnd, "Warning", "", text, IDI_EXCLAMATION_MARK);
}
