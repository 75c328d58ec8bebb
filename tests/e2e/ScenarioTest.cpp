// A user's session with the installed program: open the search page, add a
// folder through the folder browser, state the criteria, find, select every
// result, delete them, and exit; then look at the disk and at settings.dat.
#include "tests/e2e/Installation.h"
#include "tests/e2e/ProgramUnderTest.h"
#include "tests/e2e/RemoteMemory.h"
#include "tests/e2e/Screenshot.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

namespace
{
const WPARAM kToolbarExit = 2005;

BOOL CALLBACK FindFindButton(HWND child, LPARAM param)
{
    if (GetDlgCtrlID(child) == IDC_FIND && IsWindowVisible(GetParent(child)))
    {
        *reinterpret_cast<HWND*>(param) = GetParent(child);
        return FALSE;
    }
    return TRUE;
}

// The shown page that carries the "Find" button.
HWND SearchPage(HWND mainWindow)
{
    HWND page = nullptr;
    EnumChildWindows(mainWindow, FindFindButton, reinterpret_cast<LPARAM>(&page));
    return page;
}

int RowCount(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

// One cell of a list view of another process.
std::string CellText(HANDLE process, HWND list, int row, int column)
{
    const size_t textChars = 1024;
    RemoteMemory memory(process, sizeof(LVITEMW) + textChars * sizeof(wchar_t));
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(memory.Address(sizeof(LVITEMW)));
    item.cchTextMax = textChars;
    wchar_t text[textChars] = {};
    if (!memory.Write(&item, sizeof(item)) ||
        SendMessageW(list, LVM_GETITEMTEXTW, row, memory.Address()) < 0 ||
        !memory.Read(text, sizeof(text) - sizeof(wchar_t), sizeof(LVITEMW)))
        return std::string();
    return Narrow(text);
}

void SelectEveryRow(HANDLE process, HWND list)
{
    RemoteMemory memory(process, sizeof(LVITEMW));
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    ASSERT_TRUE(memory.Write(&item, sizeof(item)));
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), memory.Address());
}

std::string TreeItemText(HANDLE process, HWND tree, HTREEITEM treeItem)
{
    if (!treeItem)
        return std::string();
    const size_t textChars = MAX_PATH;
    RemoteMemory memory(process, sizeof(TVITEMW) + textChars * sizeof(wchar_t));
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = treeItem;
    item.pszText = reinterpret_cast<wchar_t*>(memory.Address(sizeof(TVITEMW)));
    item.cchTextMax = textChars;
    wchar_t text[textChars] = {};
    if (!memory.Write(&item, sizeof(item)) || !SendMessageW(tree, TVM_GETITEMW, 0, memory.Address()) ||
        !memory.Read(text, sizeof(text) - sizeof(wchar_t), sizeof(TVITEMW)))
        return std::string();
    return Narrow(text);
}

HTREEITEM TreeItem(HWND tree, UINT relation, HTREEITEM from = nullptr)
{
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
}

// Clicks a top-level item of the main window's page tree, by its caption.
bool ChoosePage(ProgramUnderTest& velmora, HWND mainWindow, const std::string& caption)
{
    HWND tree = nullptr;
    for (HWND panel = FindWindowExW(mainWindow, nullptr, nullptr, nullptr); panel && !tree;
         panel = FindWindowExW(mainWindow, panel, nullptr, nullptr))
        tree = FindWindowExW(panel, nullptr, WC_TREEVIEWW, nullptr);
    for (HTREEITEM item = TreeItem(tree, TVGN_ROOT); item; item = TreeItem(tree, TVGN_NEXT, item))
    {
        if (TreeItemText(velmora.Handle(), tree, item) == caption)
            return SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
    }
    return false;
}

// Picks `folder` in the browser as a user would: typed into the "Folder:" box
// and chosen in the tree (Wine takes the tree's choice), then OK.
void ChooseFolder(ProgramUnderTest& velmora, HWND browser, const std::string& folder)
{
    const std::wstring path = Widen(folder);
    SendMessageW(FindWindowExW(browser, nullptr, L"Edit", nullptr), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(path.c_str()));
    RemoteMemory remotePath(velmora.Handle(), (path.size() + 1) * sizeof(wchar_t));
    ASSERT_TRUE(remotePath.Write(path.c_str(), (path.size() + 1) * sizeof(wchar_t)));
    HWND tree = FindWindowExW(browser, nullptr, WC_TREEVIEWW, nullptr);
    const std::string name = folder.substr(folder.rfind('\\') + 1);
    EXPECT_TRUE(WaitUntil([&] {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, remotePath.Address());
        const std::string chosen = TreeItemText(velmora.Handle(), tree, TreeItem(tree, TVGN_CARET));
        return _stricmp(chosen.c_str(), name.c_str()) == 0;
    }));
    SaveScreenshot("2-folder-browser");
    PostMessageW(GetDlgItem(browser, IDOK), BM_CLICK, 0, 0);
}

// Chooses an entry of a drop-down list and tells the page, as a user's choice does.
void ChooseEntry(HWND page, int id, int index)
{
    HWND combo = GetDlgItem(page, id);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void Click(HWND page, int id)
{
    PostMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0);
}
}

TEST(Scenario, FindAndDeleteLargeTmpFilesThenExit)
{
    const std::string installFolder = InstalledFolder();
    ASSERT_FALSE(installFolder.empty());
    DeleteFileW(Widen(installFolder + "settings.dat").c_str());

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

    ASSERT_TRUE(ChoosePage(velmora, mainWindow, "Delete Files"));
    HWND page = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (page = SearchPage(mainWindow)) != nullptr; }));

    // Add: the folder browser of the program's own process.
    Click(page, IDC_ADD);
    HWND browser = velmora.WaitForDialog("Browse for Folder");
    ASSERT_NE(browser, nullptr);
    ChooseFolder(velmora, browser, root);
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

    SelectEveryRow(velmora.Handle(), results);
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

    const std::string bytes = ReadWholeFile(installFolder + "settings.dat");
    PersistedSettings saved;
    ASSERT_EQ(DecodeSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), saved),
              SettingsDecode::Ok);
    EXPECT_EQ(saved.windowLeft, placement.rcNormalPosition.left);
    EXPECT_EQ(saved.windowTop, placement.rcNormalPosition.top);
    EXPECT_EQ(saved.windowWidth, placement.rcNormalPosition.right - placement.rcNormalPosition.left);
    EXPECT_EQ(saved.windowHeight, placement.rcNormalPosition.bottom - placement.rcNormalPosition.top);
    EXPECT_EQ(saved.windowShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(saved.passwordProtected, 0);
    DeleteFileW(Widen(installFolder + "settings.dat").c_str());
}
