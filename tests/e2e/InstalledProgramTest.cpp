// The installed program finds its folder through the Installer, wherever it is started from.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"

#include "framework/Text.h"
#include "settings/SettingsFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace
{
// Sent by other programs: exit without any question.
const WPARAM kExitCommand = 2066;
}

TEST(InstalledProgram, KeepsItsSettingsInTheInstallFolderWhateverTheCurrentFolder)
{
    const std::string folder = InstalledFolder();
    ASSERT_FALSE(folder.empty());
    const std::string settingsPath = folder + "settings.dat";
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
    DeleteFileW(Widen(settingsPath).c_str());
}
