// uninstall.exe hands the product to the Installer and ends; the package goes.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <objbase.h>

TEST(Uninstall, RemovesThePackageThroughTheInstaller)
{
    const std::string folder = InstalledFolder();
    ASSERT_FALSE(folder.empty());

    ProgramUnderTest uninstaller(folder + "uninstall.exe");
    EXPECT_EQ(uninstaller.WaitForExit(), 0u);

    // The product can read as absent while the Installer is still at work: wait for its end too.
    EXPECT_TRUE(WaitUntil([] { return !ProductInstalled() && !MsiexecRunning(); }, 120000));
    EXPECT_FALSE(ProductInstalled());
    for (const char* file : {"Velmora.exe", "uninstall.exe", "Velmora.chm"})
        EXPECT_FALSE(FileExists(folder + file)) << file;
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
