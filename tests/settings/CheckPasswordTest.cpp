// The password prompt shown before the hidden window comes back while the lock is on.
#include "settings/CCheckPassword.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/CWiperSettings.h"
#include "tests/support/DialogDriver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace
{
class CheckPassword : public testing::Test
{
protected:
    CWiperSettings settings;

    void SetUp() override
    {
        settings.SetDefaults();
        settings.passwordProtected = 1;
        settings.SetPassword("secret");
    }

    void TearDown() override
    {
        CCheckPassword::passwordPromptOpen = false;
    }
};

// Presses Ok with `text` in the prompt.
void Submit(HWND prompt, const std::string& text)
{
    SetDlgItemTextW(prompt, IDC_ENTERED_PASSWORD, Widen(text).c_str());
    ClickButton(prompt, IDOK);
}

// Presses Ok with `text` and answers the message it must raise; returns its text, or "" when none showed.
std::string SubmitRefused(HWND prompt, const std::string& text)
{
    Submit(prompt, text);
    HWND message = WaitForDialog("Error", 5000);
    if (!message)
        return "";
    std::string shown = ControlText(message, IDC_PROMPT_TEXT);
    PressKey(message, VK_RETURN);
    DWORD start = GetTickCount();
    while (IsWindowVisible(message) && GetTickCount() - start < 5000)
        Sleep(10);
    return shown;
}

// A control's text once it has become `expected`, or its text at the deadline.
std::string WaitForText(HWND dialog, int id, const std::string& expected)
{
    DWORD start = GetTickCount();
    std::string text = ControlText(dialog, id);
    while (text != expected && GetTickCount() - start < 5000)
    {
        Sleep(10);
        text = ControlText(dialog, id);
    }
    return text;
}
}

TEST_F(CheckPassword, RefusesEmptyAndWrongPasswordsAndAcceptsTheRightOne)
{
    CCheckPassword prompt(&settings);
    std::vector<std::string> messages;
    std::string boxAfterWrong = "<unread>";
    bool stillOpen = false;
    bool focusOnBox = false;
    {
        DialogDriver driver("Enter password", [&](HWND dialog) {
            if (!dialog)
                return;
            messages.push_back(SubmitRefused(dialog, ""));
            messages.push_back(SubmitRefused(dialog, "Secret"));
            boxAfterWrong = WaitForText(dialog, IDC_ENTERED_PASSWORD, "");
            GUITHREADINFO info = {};
            info.cbSize = sizeof(info);
            GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
            focusOnBox = info.hwndFocus == GetDlgItem(dialog, IDC_ENTERED_PASSWORD);
            stillOpen = IsWindowVisible(dialog) != 0;
            Submit(dialog, "secret");
        });
        EXPECT_EQ(prompt.DoModal(nullptr), IDOK);
    }
    EXPECT_EQ(messages, (std::vector<std::string>{"Please enter password.", "Wrong password."}));
    EXPECT_EQ(boxAfterWrong, "");
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(focusOnBox);
    EXPECT_FALSE(CCheckPassword::passwordPromptOpen);
}

TEST_F(CheckPassword, EscapeAndTheCloseBoxCancelAndFreeTheFlag)
{
    {
        CCheckPassword prompt(&settings);
        DialogDriver driver("Enter password", [](HWND dialog) {
            if (dialog)
                PressKey(dialog, VK_ESCAPE);
        });
        EXPECT_EQ(prompt.DoModal(nullptr), IDCANCEL);
    }
    EXPECT_FALSE(CCheckPassword::passwordPromptOpen);
    {
        CCheckPassword prompt(&settings);
        DialogDriver driver("Enter password", [](HWND dialog) {
            if (dialog)
                CloseWithCloseBox(dialog);
        });
        EXPECT_EQ(prompt.DoModal(nullptr), IDCANCEL);
    }
    EXPECT_FALSE(CCheckPassword::passwordPromptOpen);
}

TEST_F(CheckPassword, ASecondPromptClosesAtOnceAndTheFirstStillWorks)
{
    CCheckPassword first(&settings);
    INT_PTR secondResult = 0;
    bool flagWhileFirstOpen = false;
    {
        DialogDriver driver("Enter password", [&](HWND dialog) {
            if (!dialog)
                return;
            CCheckPassword second(&settings);
            secondResult = second.DoModal(nullptr);
            flagWhileFirstOpen = CCheckPassword::passwordPromptOpen;
            Submit(dialog, "secret");
        });
        EXPECT_EQ(first.DoModal(nullptr), IDOK);
    }
    EXPECT_EQ(secondResult, IDCANCEL);
    EXPECT_TRUE(flagWhileFirstOpen);
    EXPECT_FALSE(CCheckPassword::passwordPromptOpen);

    // With the first one gone, a new prompt shows again.
    CCheckPassword third(&settings);
    bool shown = false;
    {
        DialogDriver driver("Enter password", [&](HWND dialog) {
            shown = dialog != nullptr;
            if (dialog)
                CloseWithCloseBox(dialog);
        });
        EXPECT_EQ(third.DoModal(nullptr), IDCANCEL);
    }
    EXPECT_TRUE(shown);
}
