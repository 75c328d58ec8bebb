#include "settings/CCheckPassword.h"

#include "framework/Prompts.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"
#include "settings/CWiperSettings.h"

std::atomic<bool> CCheckPassword::passwordPromptOpen{false};

CCheckPassword::CCheckPassword(CWiperSettings* settings) : CDialog(IDD_CHECK_PASSWORD), settings(settings)
{
}

LRESULT CCheckPassword::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_DESTROY:
        // However the prompt goes away, a flag left set would refuse every later prompt.
        ReleaseFlag();
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CCheckPassword::OnInitDialog()
{
    bool expected = false;
    if (!passwordPromptOpen.compare_exchange_strong(expected, true))
    {
        // Another prompt is open; it keeps the flag.
        EndDialog(IDCANCEL);
        return TRUE;
    }
    holdsFlag = true;
    enteredText.clear();
    return TRUE;
}

void CCheckPassword::OnOK()
{
    ExchangeText(hwnd, IDC_ENTERED_PASSWORD, enteredText, true);
    if (enteredText.empty())
    {
        ShowError("Please enter password.");
        return;
    }
    if (settings->CheckPassword(enteredText))
    {
        ReleaseFlag();
        EndDialog(IDOK);
        return;
    }
    ShowError("Wrong password.");
    enteredText.clear();
    ExchangeText(hwnd, IDC_ENTERED_PASSWORD, enteredText, false);
    SetFocus(GetItem(IDC_ENTERED_PASSWORD));
}

// Escape and the close box.
void CCheckPassword::OnCancel()
{
    ReleaseFlag();
    EndDialog(IDCANCEL);
}

void CCheckPassword::ReleaseFlag()
{
    if (holdsFlag)
    {
        holdsFlag = false;
        passwordPromptOpen = false;
    }
}

void CCheckPassword::ShowError(const std::string& text)
{
    ShowMessage(hwnd, "Error", "", text, IDI_EXCLAMATION_MARK);
}
