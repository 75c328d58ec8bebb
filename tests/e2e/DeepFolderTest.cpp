// Installed in a folder deeper than MAX_PATH, the program still finds it and starts as usual.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"

#include "framework/Text.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

TEST(DeepFolder, ProgramFindsAnInstallFolderLongerThanMaxPath)
{
    ASSERT_FALSE(ProductInstalled());
    std::string folder = "C:\\velmora-deep";
    for (const char* level : {"\\first", "\\second", "\\third", "\\fourth"})
        folder += level + std::string(60, '-');
    folder += "\\Velmora\\";
    ASSERT_GT(folder.size(), static_cast<size_t>(MAX_PATH));
    ASSERT_EQ(RunToEnd("msiexec /i \"" + BuildPath("VELMORA_MSI") + "\" INSTALLDIR=\"" + folder + "\" /qn"), 0u);
    // A buffer of MAX_PATH characters cannot hold it.
    ASSERT_EQ(InstalledFolder(), "");
    ASSERT_TRUE(ProductInstalled());

    // Programs are started by paths shorter than MAX_PATH: its short form.
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(LongPath(folder + "Velmora.exe").c_str(), shortPath, MAX_PATH), 0u);
    ForgetUserFiles();
    ProgramUnderTest velmora(Narrow(shortPath));
    ASSERT_TRUE(velmora.Started()) << Narrow(shortPath);
    HWND window = velmora.WaitForMainWindow();
    EXPECT_NE(window, nullptr);
    EXPECT_EQ(velmora.Dialog("Error"), nullptr);
    PostMessageW(window, WM_COMMAND, 2066, 0);
    EXPECT_EQ(velmora.WaitForExit(), 0u);
    EXPECT_TRUE(FileExists(UserSettingsPath()));

    EXPECT_EQ(RunToEnd("msiexec /x " + Narrow(InstalledProductCode()) + " /qn"), 0u);
    EXPECT_FALSE(ProductInstalled());
}
