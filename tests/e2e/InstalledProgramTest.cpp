// The installed program finds its folder through the Installer, wherever it is
// started from, and keeps its settings in the user's own folder.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"
#include "tests/e2e/RemoteControls.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace
{
// Sent by other programs: exit without any question.
const WPARAM kExitCommand = 2066;
}

TEST(InstalledProgram, KeepsItsSettingsInTheUsersFolderWhateverTheCurrentFolder)
{
    const std::string folder = InstalledFolder();
    ASSERT_FALSE(folder.empty());
    const std::string settingsPath = UserSettingsPath();
    DeleteFileW(Widen(settingsPath).c_str());

    ProgramUnderTest velmora(folder + "Velmora.exe", "C:\\windows");
    HWND window = velmora.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    SetWindowPos(window, nullptr, 90, 70, 760, 580, SWP_NOZORDER | SWP_NOACTIVATE);

    PostMessageW(window, WM_COMMAND, kExitCommand, 0);
    EXPECT_EQ(velmora.WaitForExit(), 0u);

    const std::string bytes = ReadWholeFile(settingsPath);
    PersistedSettings saved;
    ASSERT_EQ(DecodeSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), saved),
              SettingsDecode::Ok);
    EXPECT_EQ(saved.windowLeft, 90);
    EXPECT_EQ(saved.windowTop, 70);
    EXPECT_EQ(saved.windowWidth, 760);
    EXPECT_EQ(saved.windowHeight, 580);
    EXPECT_EQ(saved.windowShowCmd, SW_SHOWNORMAL);
    EXPECT_FALSE(FileExists("C:\\windows\\settings.dat"));
    EXPECT_FALSE(FileExists(folder + "settings.dat"));
    DeleteFileW(Widen(settingsPath).c_str());
}

namespace
{
struct PageSearch
{
    int id;
    HWND page;
};

BOOL CALLBACK NotePage(HWND child, LPARAM data)
{
    auto& search = *reinterpret_cast<PageSearch*>(data);
    if (GetDlgCtrlID(child) != search.id)
        return TRUE;
    search.page = GetParent(child);
    return FALSE;
}

// The page of the main window that holds the control `id`, or null.
HWND PageHolding(HWND mainWindow, int id)
{
    PageSearch search = {id, nullptr};
    EnumChildWindows(mainWindow, NotePage, reinterpret_cast<LPARAM>(&search));
    return search.page;
}

void TypeInto(HWND page, int id, const wchar_t* text)
{
    SendMessageW(GetDlgItem(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}
}

// A standard user cannot write into the installation folder. Modelled by the
// folder made immutable on the Linux side around this group (tests/e2e/
// unwritable-install.sh), so that Wine answers "access denied" as Windows does.
TEST(StandardUser, AppliesAndExitsWithoutAMessageAndTheNextStartFindsItAll)
{
    const std::string folder = InstalledFolder();
    ASSERT_FALSE(folder.empty());
    HANDLE probe = CreateFileW(Widen(folder + "probe.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe != INVALID_HANDLE_VALUE)
    {
        CloseHandle(probe);
        GTEST_SKIP() << "NOT RUN here: the installation folder could not be made unwritable "
                        "(chattr +i needs root and a file system that keeps the flag)";
    }
    ForgetUserFiles();
    {
        ProgramUnderTest velmora(folder + "Velmora.exe");
        HWND window = velmora.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(ChoosePage(velmora, window, "Settings"));
        HWND settingsPage = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (settingsPage = PageHolding(window, IDC_PROTECT)) != nullptr; }));
        Click(settingsPage, IDC_PROTECT);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(settingsPage, IDC_PASSWORD)) != 0; }));
        TypeInto(settingsPage, IDC_PASSWORD, L"standard");
        TypeInto(settingsPage, IDC_CONFIRM_PASSWORD, L"standard");
        Click(settingsPage, IDC_APPLY);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(settingsPage, IDC_APPLY)); }));
        EXPECT_EQ(velmora.Dialog("Error"), nullptr) << "a message after Apply";

        SetWindowPos(window, nullptr, 90, 70, 760, 580, SWP_NOZORDER | SWP_NOACTIVATE);
        // The close box hides the window into the notification area.
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
        PostMessageW(window, WM_COMMAND, kExitCommand, 0);
        EXPECT_EQ(velmora.WaitForExit(10000), 0u) << "held up at the exit";
    }
    EXPECT_FALSE(FileExists(folder + "settings.dat"));

    const std::string bytes = ReadWholeFile(UserSettingsPath());
    PersistedSettings saved;
    ASSERT_EQ(DecodeSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), saved),
              SettingsDecode::Ok);
    EXPECT_EQ(saved.windowLeft, 90);
    EXPECT_EQ(saved.windowWidth, 760);
    EXPECT_EQ(saved.windowShowCmd, SW_HIDE);
    EXPECT_EQ(saved.passwordProtected, 1);

    ProgramUnderTest next(folder + "Velmora.exe");
    HWND window = next.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    PostMessageW(window, WM_COMMAND, kExitCommand, 0);
    EXPECT_EQ(next.WaitForExit(10000), 0u);
    ForgetUserFiles();
}
