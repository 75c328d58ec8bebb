// A newer package replaces the installed one and keeps the user's settings; an
// older one is refused and changes nothing.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace
{
// Starts the installed program, lets it save its settings through Exit, and waits for its end.
void RunAndExit(const std::string& folder)
{
    ProgramUnderTest velmora(folder + "Velmora.exe");
    HWND window = velmora.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, ID_EXIT_NOW, 0);
    EXPECT_EQ(velmora.WaitForExit(), 0u);
}
}

TEST(Upgrade, ANewerPackageReplacesTheInstalledOneAndAnOlderOneIsRefused)
{
    const std::string first = BuildPath("VELMORA_MSI");
    const std::string newer = BuildPath("VELMORA_NEXT_MSI");
    const std::string newerVersion = BuildPath("VELMORA_NEXT_VERSION") + ".0";
    ASSERT_FALSE(ProductInstalled());
    ASSERT_EQ(RunToEnd("msiexec /i \"" + first + "\" /qn"), 0u);
    const std::wstring firstCode = InstalledProductCode();
    const std::string folder = InstalledFolder();
    ASSERT_FALSE(folder.empty());
    RunAndExit(folder);
    const std::string settings = ReadWholeFile(UserSettingsPath());
    ASSERT_FALSE(settings.empty());

    EXPECT_EQ(RunToEnd("msiexec /i \"" + newer + "\" /qn"), 0u);
    const std::vector<std::wstring> products = InstalledProductCodes();
    ASSERT_EQ(products.size(), 1u);
    EXPECT_NE(products[0], firstCode);
    EXPECT_EQ(InstalledFolder(), folder);
    for (const char* program : {"Velmora.exe", "uninstall.exe"})
        EXPECT_EQ(FileVersionOf(folder + program), newerVersion) << program;
    EXPECT_EQ(ReadWholeFile(UserSettingsPath()), settings);
    EXPECT_EQ(StartMenuEntryCount(), 2);

    // The older package is refused by the Installer and leaves the newer one as it was.
    EXPECT_NE(RunToEnd("msiexec /i \"" + first + "\" /qn"), 0u);
    EXPECT_EQ(InstalledProductCodes(), products);
    EXPECT_EQ(FileVersionOf(folder + "Velmora.exe"), newerVersion);
    EXPECT_EQ(StartMenuEntryCount(), 2);

    EXPECT_EQ(RunToEnd("msiexec /x " + Narrow(products[0]) + " /qn"), 0u);
    EXPECT_FALSE(ProductInstalled());
}
