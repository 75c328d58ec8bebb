// However Velmora is removed (its uninstaller, or the Installer directly, as
// Settings > Apps does), a running Velmora ends through its exit sequence, the
// user's "Start with Windows" value goes, and nothing of the package is left.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"

#include "framework/Text.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <memory>

namespace
{
const wchar_t kPendingRenamesKey[] = L"System\\CurrentControlSet\\Control\\Session Manager";

bool RunValueExists()
{
    return RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName, RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

// The files Windows is asked to move or delete at the next restart.
std::string PendingRenames()
{
    wchar_t data[8192] = {};
    DWORD size = sizeof(data) - 2 * sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kPendingRenamesKey, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ,
                     nullptr, data, &size) != ERROR_SUCCESS)
        return "";
    std::wstring text(data, size / sizeof(wchar_t));
    for (wchar_t& c : text)
        if (c == L'\0')
            c = L'\n';
    return Narrow(text);
}

// Programs and DLLs left in the temporary folder by the removal.
std::vector<std::string> ProgramsInTemp()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::vector<std::string> found;
    for (const wchar_t* pattern : {L"*.exe", L"*.dll", L"*.tmp"})
    {
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((std::wstring(temp) + pattern).c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do
            found.push_back(Narrow(entry.cFileName));
        while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    return found;
}

class Uninstall : public testing::Test
{
protected:
    std::string folder;
    std::unique_ptr<ProgramUnderTest> velmora;
    std::vector<std::string> tempBefore = ProgramsInTemp();

    // Installed, running hidden in the notification area, set to start with
    // Windows, its settings not yet saved.
    void StartHiddenToStartWithWindows()
    {
        if (!ProductInstalled())
        {
            ASSERT_EQ(RunToEnd("msiexec /i \"" + BuildPath("VELMORA_MSI") + "\" /qn"), 0u);
        }
        folder = InstalledFolder();
        ASSERT_FALSE(folder.empty());
        ForgetUserFiles();
        velmora = std::make_unique<ProgramUnderTest>(folder + "Velmora.exe");
        HWND window = velmora->WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_HIDE);
        const std::wstring command = L"\"" + Widen(folder) + L"Velmora.exe\"";
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName, REG_SZ, command.c_str(),
                                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        tempBefore = ProgramsInTemp();
    }

    void ExpectEndedAndGone()
    {
        EXPECT_EQ(velmora->WaitForExit(60000), 0u);
        EXPECT_TRUE(FileExists(UserSettingsPath())) << "the exit sequence saves the settings";
        // The product can read as absent while the Installer is still at work: wait for its end too.
        EXPECT_TRUE(WaitUntil([] { return !ProductInstalled() && !MsiexecRunning(); }, 120000));
        EXPECT_FALSE(ProductInstalled());
        EXPECT_FALSE(RunValueExists());
        for (const char* file : {"Velmora.exe", "uninstall.exe", "Velmora.chm"})
            EXPECT_FALSE(FileExists(folder + file)) << file;
        EXPECT_EQ(GetFileAttributesW(Widen(folder).c_str()), INVALID_FILE_ATTRIBUTES);
        CLSID productCode = {};
        EXPECT_NE(CLSIDFromProgID(L"Velmora.1.0", &productCode), S_OK);
        // No copy of a program or of the package's DLL stays behind, now or at the next restart.
        EXPECT_EQ(ProgramsInTemp(), tempBefore);
        const std::string pending = PendingRenames();
        EXPECT_EQ(pending.find("Velmora"), std::string::npos) << pending;
        EXPECT_EQ(pending.find("uninstall"), std::string::npos) << pending;
    }
};
}

TEST_F(Uninstall, TheUninstallerHandsTheProductToTheInstallerAndEndsAtOnce)
{
    StartHiddenToStartWithWindows();
    ProgramUnderTest uninstaller(folder + "uninstall.exe");
    EXPECT_EQ(uninstaller.WaitForExit(), 0u);
    ExpectEndedAndGone();
}

TEST_F(Uninstall, RemovingThroughTheInstallerAloneCleansUpTheSame)
{
    StartHiddenToStartWithWindows();
    EXPECT_EQ(RunToEnd("msiexec /x " + Narrow(InstalledProductCode()) + " /qn"), 0u);
    ExpectEndedAndGone();
}

TEST_F(Uninstall, StartsNoInstallerWhenTheProductIsUnknown)
{
    ASSERT_FALSE(ProductInstalled());
    ASSERT_TRUE(WaitUntil([] { return !MsiexecRunning(); }, 60000));

    ProgramUnderTest uninstaller(BuildPath("VELMORA_UNINSTALL"));
    ASSERT_TRUE(uninstaller.Started());
    EXPECT_EQ(uninstaller.WaitForExit(), 0u);
    // The shell starts a program before it returns, so a started installer would show here.
    EXPECT_FALSE(MsiexecRunning());
}
