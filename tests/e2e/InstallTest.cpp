// The package installs silently, with its files, Start-menu entries and ProgID.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"

#include "framework/Text.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <objbase.h>

TEST(Install, SilentInstallPutsEverythingInItsPlace)
{
    const std::string package = BuildPath("VELMORA_MSI");
    ASSERT_FALSE(package.empty());
    ASSERT_FALSE(ProductInstalled());

    EXPECT_EQ(RunToEnd("msiexec /i \"" + package + "\" /qn"), 0u);

    ASSERT_TRUE(ProductInstalled());
    const std::string folder = InstalledFolder();
    EXPECT_EQ(folder, ProgramFilesFolder() + "\\Velmora\\");
    for (const char* file : {"Velmora.exe", "uninstall.exe", "Velmora.chm"})
        EXPECT_TRUE(FileExists(folder + file)) << file;
    // The programs of this build's own platform, not the other package's.
    for (const char* program : {"Velmora.exe", "uninstall.exe"})
    {
        DWORD kind = 0;
        EXPECT_TRUE(GetBinaryTypeW(Widen(folder + program).c_str(), &kind)) << program;
        EXPECT_EQ(kind, DWORD(sizeof(void*) == 8 ? SCS_64BIT_BINARY : SCS_32BIT_BINARY)) << program;
    }
    for (const char* shortcut : {"Velmora.lnk", "Uninstall Velmora.lnk"})
        EXPECT_TRUE(StartMenuEntryExists(shortcut)) << shortcut;

    // The uninstaller's only way to the product code.
    CLSID productCode = {};
    ASSERT_EQ(CLSIDFromProgID(L"Velmora.1.0", &productCode), S_OK);
    LPOLESTR text = nullptr;
    ASSERT_EQ(StringFromCLSID(productCode, &text), S_OK);
    EXPECT_EQ(Narrow(text), Narrow(kProductCode));
    CoTaskMemFree(text);
}
