// The package installs silently, with its files, Start-menu entries and ProgID.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"

#include "framework/Text.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <cstddef>
#include <cstdint>

namespace
{
// The flag in the program's own header, read from the file.
bool TerminalServerAware(const std::string& path)
{
    const std::string image = ReadWholeFile(path);
    if (image.size() < 0x40)
        return false;
    const uint32_t header = *reinterpret_cast<const uint32_t*>(image.data() + 0x3C);
    // The signature, the file header, then the optional header, whose flags lie at the same place in both forms.
    const size_t flags = header + 4 + sizeof(IMAGE_FILE_HEADER) + offsetof(IMAGE_OPTIONAL_HEADER32, DllCharacteristics);
    if (image.size() < flags + sizeof(WORD))
        return false;
    return (*reinterpret_cast<const WORD*>(image.data() + flags) & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE) != 0;
}

std::string ManifestOf(const std::string& path)
{
    HMODULE module = LoadLibraryExW(Widen(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return "";
    std::string text;
    if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)))
        text.assign(static_cast<const char*>(LockResource(LoadResource(module, found))), SizeofResource(module, found));
    FreeLibrary(module);
    return text;
}
}

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

    // Both marked terminal-server aware, with a manifest that runs them as the user and names the
    // systems they were written for, and with the package's version.
    for (const char* program : {"Velmora.exe", "uninstall.exe"})
    {
        EXPECT_TRUE(TerminalServerAware(folder + program)) << program;
        const std::string manifest = ManifestOf(folder + program);
        EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << program;
        for (const char* system : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                                   "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
            EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + system + "\"/>"), std::string::npos)
                << program << " " << system;
        EXPECT_NE(manifest.find("version=\"" + FileVersionOf(folder + program) + "\""), std::string::npos) << program;
    }

    // The package's ProgID names the product it belongs to.
    CLSID productCode = {};
    ASSERT_EQ(CLSIDFromProgID(L"Velmora.1.0", &productCode), S_OK);
    LPOLESTR text = nullptr;
    ASSERT_EQ(StringFromCLSID(productCode, &text), S_OK);
    EXPECT_EQ(Narrow(text), Narrow(InstalledProductCode()));
    CoTaskMemFree(text);
}
