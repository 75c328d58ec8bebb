// A second start brings the running instance forward and ends; a hidden,
// protected instance is shown only after the right password.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/CWiperSettings.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
const WPARAM kExitCommand = 2066;
const char kPassword[] = "open sesame";

class SecondStart : public testing::Test
{
protected:
    std::string folder = InstalledFolder();

    void SetUp() override
    {
        ASSERT_FALSE(folder.empty());
        RemoveSettings();
    }

    void TearDown() override { RemoveSettings(); }

    void RemoveSettings() { ForgetUserFiles(); }

    // What the first instance finds at its start.
    void WriteSettings(bool protect, int showCmd)
    {
        CWiperSettings settings;
        settings.SetDefaults();
        settings.installFolder = folder;
        settings.settingsFolder = UserSettingsFolder();
        settings.windowShowCmd = showCmd;
        if (protect)
        {
            settings.passwordProtected = 1;
            settings.SetPassword(kPassword);
        }
        ASSERT_TRUE(settings.Save());
    }

    std::unique_ptr<ProgramUnderTest> Start()
    {
        return std::make_unique<ProgramUnderTest>(folder + "Velmora.exe");
    }

    // A second start that needs no answer ends by itself.
    void StartSecondAndExpectItToEnd()
    {
        auto second = Start();
        EXPECT_EQ(second->WaitForExit(), 0u);
    }

    void Exit(ProgramUnderTest& program, HWND window)
    {
        PostMessageW(window, WM_COMMAND, kExitCommand, 0);
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
};
}

TEST_F(SecondStart, RestoresAMinimisedOrShownInstanceWithoutAskingThePassword)
{
    WriteSettings(true, SW_SHOWNORMAL);
    auto first = Start();
    HWND window = first->WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(IsWindowVisible(window));

    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != 0; }));
    StartSecondAndExpectItToEnd();
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetForegroundWindow(), window);

    StartSecondAndExpectItToEnd();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(CountMainWindows(), 1);
    Exit(*first, window);
}

TEST_F(SecondStart, ShowsAHiddenUnprotectedInstanceAtOnce)
{
    WriteSettings(false, SW_HIDE);
    auto first = Start();
    HWND window = first->WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(IsWindowVisible(window));

    StartSecondAndExpectItToEnd();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(GetForegroundWindow(), window);
    Exit(*first, window);
}

TEST_F(SecondStart, ShowsAHiddenProtectedInstanceOnlyAfterTheRightPassword)
{
    WriteSettings(true, SW_HIDE);
    auto first = Start();
    HWND window = first->WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(IsWindowVisible(window));

    // Refused: the prompt is closed, the window stays hidden and the second start still ends.
    {
        auto second = Start();
        HWND prompt = second->WaitForDialog("Enter password");
        ASSERT_NE(prompt, nullptr);
        PostMessageW(prompt, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(second->WaitForExit(), 0u);
        EXPECT_FALSE(IsWindowVisible(window));
    }
    // A wrong password keeps the prompt open; the right one shows the window.
    {
        auto second = Start();
        HWND prompt = second->WaitForDialog("Enter password");
        ASSERT_NE(prompt, nullptr);
        HWND edit = GetDlgItem(prompt, IDC_ENTERED_PASSWORD);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"guess"));
        PostMessageW(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        HWND error = second->WaitForDialog("Error");
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(WindowText(GetDlgItem(error, IDC_PROMPT_TEXT)), "Wrong password.");
        PostMessageW(error, WM_COMMAND, IDOK, 0);
        // The prompt empties its box after the message; type only then.
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(error) && WindowText(edit).empty(); }));
        EXPECT_TRUE(second->Running());
        EXPECT_FALSE(IsWindowVisible(window));

        const std::wstring password = Widen(kPassword);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password.c_str()));
        PostMessageW(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(second->WaitForExit(), 0u);
        EXPECT_TRUE(IsWindowVisible(window));
    }
    EXPECT_EQ(CountMainWindows(), 1);
    Exit(*first, window);
}

TEST_F(SecondStart, TwoQuickStartsLeaveOneInstance)
{
    auto one = Start();
    auto other = Start();
    ASSERT_TRUE(WaitUntil([&] { return !one->Running() || !other->Running(); }));
    ProgramUnderTest& ended = one->Running() ? *other : *one;
    ProgramUnderTest& survivor = one->Running() ? *one : *other;
    EXPECT_EQ(ended.WaitForExit(), 0u);
    HWND window = survivor.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CountMainWindows(), 1);
    Exit(survivor, window);
}

TEST_F(SecondStart, BringsForwardItsOwnWindowNotAnotherOneWithItsTitle)
{
    WriteSettings(false, SW_SHOWNORMAL);
    auto first = Start();
    HWND window = first->WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != 0; }));
    // Another class with the program's title, as Explorer's window on a folder named
    // Velmora has; made after the program's window, so it lies above it.
    HWND decoy = CreateWindowExW(0, L"STATIC", L"Velmora", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_NE(decoy, nullptr);

    StartSecondAndExpectItToEnd();
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_FALSE(IsWindowVisible(decoy));
    DestroyWindow(decoy);
    Exit(*first, window);
}
