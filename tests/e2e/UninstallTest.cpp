// uninstall.exe ends a running Velmora through its exit sequence, removes the
// user's "Start with Windows" value and hands the product to the Installer,
// whose result it ends with; the package goes.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"

#include "framework/Text.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <objbase.h>

namespace
{
bool RunValueExists()
{
    return RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName, RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}
}

TEST(Uninstall, EndsTheRunningProgramAndRemovesThePackageThroughTheInstaller)
{
    const std::string folder = InstalledFolder();
    ASSERT_FALSE(folder.empty());
    // Running hidden in the notification area, set to start with Windows, its settings not yet saved.
    DeleteFileW(Widen(UserSettingsPath()).c_str());
    ProgramUnderTest velmora(folder + "Velmora.exe");
    HWND window = velmora.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_HIDE);
    const std::wstring command = L"\"" + Widen(folder) + L"Velmora.exe\"";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName, REG_SZ, command.c_str(),
                              static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);

    // The installed uninstaller hands the work to a copy of itself and ends.
    ProgramUnderTest uninstaller(folder + "uninstall.exe");
    EXPECT_EQ(uninstaller.WaitForExit(), 0u);
    EXPECT_EQ(velmora.WaitForExit(60000), 0u);
    EXPECT_TRUE(FileExists(UserSettingsPath())) << "the exit sequence saves the settings";
    EXPECT_TRUE(WaitUntil([] { return !RunValueExists(); }));

    // The product can read as absent while the Installer is still at work: wait for its end too.
    EXPECT_TRUE(WaitUntil([] { return !ProductInstalled() && !MsiexecRunning(); }, 120000));
    EXPECT_FALSE(ProductInstalled());
    for (const char* file : {"Velmora.exe", "uninstall.exe", "Velmora.chm"})
        EXPECT_FALSE(FileExists(folder + file)) << file;
    EXPECT_EQ(GetFileAttributesW(Widen(folder).c_str()), INVALID_FILE_ATTRIBUTES);
    CLSID productCode = {};
    EXPECT_NE(CLSIDFromProgID(L"Velmora.1.0", &productCode), S_OK);
}

TEST(Uninstall, StartsNoInstallerWhenTheProductIsUnknown)
{
    ASSERT_FALSE(ProductInstalled());
    ASSERT_TRUE(WaitUntil([] { return !MsiexecRunning(); }, 60000));

    ProgramUnderTest uninstaller(BuildPath("VELMORA_UNINSTALL"));
    ASSERT_TRUE(uninstaller.Started());
    EXPECT_EQ(uninstaller.WaitForExit(), 0u);
    // The shell starts a program before it returns, so a started installer would show here.
    EXPECT_FALSE(MsiexecRunning());
}
