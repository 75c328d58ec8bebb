// A user's session with the installed program: open the search page, add a
// folder through the folder browser, state the criteria, find, select every
// result, delete them, and exit; then look at the disk and at settings.dat.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"
#include "tests/e2e/RemoteControls.h"
#include "tests/e2e/Screenshot.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace
{
const WPARAM kToolbarExit = 2005;
}

TEST(Scenario, FindAndDeleteLargeTmpFilesThenExit)
{
    const std::string installFolder = InstalledFolder();
    ASSERT_FALSE(installFolder.empty());
    ForgetUserFiles();

    TempFolder files;
    const std::string root = files.Path().substr(0, files.Path().size() - 1);
    const std::string kilobytes2(2000, 'x');
    const std::string kilobytes5(5000, 'y');
    files.WriteFile("small.tmp", "tiny");
    files.WriteFile("large.tmp", kilobytes2);
    files.WriteFile("nested\\deeper\\large.tmp", kilobytes5);
    files.WriteFile("large.txt", kilobytes5);
    files.WriteFile("nested\\notes.TMP.txt", kilobytes5);

    ProgramUnderTest velmora(installFolder + "Velmora.exe");
    HWND mainWindow = velmora.WaitForMainWindow();
    ASSERT_NE(mainWindow, nullptr);
    // Room for the whole search page.
    SetWindowPos(mainWindow, nullptr, 40, 30, 900, 720, SWP_NOZORDER);
    SaveScreenshot("1-main-window");

    HWND page = OpenSearchPage(velmora, mainWindow);
    ASSERT_NE(page, nullptr);

    // Add: the folder browser of the program's own process.
    HWND browser = OpenFolderBrowser(velmora, page);
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(ChooseFolder(velmora, browser, root));
    SaveScreenshot("2-folder-browser");
    Click(browser, IDOK);
    HWND locations = GetDlgItem(page, IDC_LOCATIONS);
    ASSERT_TRUE(WaitUntil([&] { return RowCount(locations) == 1; }));
    EXPECT_EQ(CellText(velmora.Handle(), locations, 0, 1), root);

    // Only *.tmp files of more than 1 KB.
    Click(page, IDC_SPECIFY_TYPE);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(page, IDC_FILE_TYPE)) != 0; }));
    SendMessageW(GetDlgItem(page, IDC_FILE_TYPE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"*.tmp"));
    ChooseEntry(page, IDC_SIZE_CONDITION, 1);
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_SIZE_FROM)));
    SendMessageW(GetDlgItem(page, IDC_SIZE_FROM), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    ChooseEntry(page, IDC_SIZE_UNIT, 1);

    HWND results = GetDlgItem(page, IDC_RESULTS);
    Click(page, IDC_FIND);
    ASSERT_TRUE(WaitUntil([&] {
        return RowCount(results) == 2 && IsWindowEnabled(GetDlgItem(page, IDC_FIND)) &&
               !velmora.Dialog("Files Searching");
    }));
    SaveScreenshot("3-results");

    ASSERT_TRUE(SelectRows(velmora.Handle(), results, {-1}));
    Click(page, IDC_DELETE);
    HWND question = velmora.WaitForDialog("Warning");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(question, IDC_PROMPT_TEXT)), "Do you really want to delete selected file(s)?");
    SaveScreenshot("4-question");
    PostMessageW(GetDlgItem(question, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] {
        return RowCount(results) == 0 && IsWindowEnabled(GetDlgItem(page, IDC_FIND)) &&
               !velmora.Dialog("Deleting Files");
    }));
    SaveScreenshot("5-after-deletion");

    EXPECT_FALSE(FileExists(files.Path() + "large.tmp"));
    EXPECT_FALSE(FileExists(files.Path() + "nested\\deeper\\large.tmp"));
    EXPECT_TRUE(FileExists(files.Path() + "small.tmp"));
    EXPECT_TRUE(FileExists(files.Path() + "large.txt"));
    EXPECT_TRUE(FileExists(files.Path() + "nested\\notes.TMP.txt"));

    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    ASSERT_TRUE(GetWindowPlacement(mainWindow, &placement));
    PostMessageW(mainWindow, WM_COMMAND, kToolbarExit, 0);
    EXPECT_EQ(velmora.WaitForExit(), 0u);

    const std::string bytes = ReadWholeFile(UserSettingsPath());
    PersistedSettings saved;
    ASSERT_EQ(DecodeSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), saved),
              SettingsDecode::Ok);
    EXPECT_EQ(saved.windowLeft, placement.rcNormalPosition.left);
    EXPECT_EQ(saved.windowTop, placement.rcNormalPosition.top);
    EXPECT_EQ(saved.windowWidth, placement.rcNormalPosition.right - placement.rcNormalPosition.left);
    EXPECT_EQ(saved.windowHeight, placement.rcNormalPosition.bottom - placement.rcNormalPosition.top);
    EXPECT_EQ(saved.windowShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(saved.passwordProtected, 0);
    ForgetUserFiles();
}
