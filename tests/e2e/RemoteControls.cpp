#include "tests/e2e/RemoteControls.h"

#include "tests/e2e/RemoteMemory.h"

#include "framework/Text.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <shlobj.h>

namespace
{
const size_t kCellChars = 1024;

BOOL CALLBACK FindFindButton(HWND child, LPARAM param)
{
    if (GetDlgCtrlID(child) == IDC_FIND && IsWindowVisible(GetParent(child)))
    {
        *reinterpret_cast<HWND*>(param) = GetParent(child);
        return FALSE;
    }
    return TRUE;
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

// A cell read through a block that holds an item record and its text, so
// that many cells need one block.
class CellReader
{
public:
    CellReader(HANDLE process, HWND list)
        : list(list), memory(process, sizeof(LVITEMW) + kCellChars * sizeof(wchar_t))
    {
    }

    bool Read(int row, int column, std::string& text)
    {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(memory.Address(sizeof(LVITEMW)));
        item.cchTextMax = kCellChars;
        wchar_t wide[kCellChars] = {};
        if (!memory.Write(&item, sizeof(item)) || SendMessageW(list, LVM_GETITEMTEXTW, row, memory.Address()) < 0 ||
            !memory.Read(wide, sizeof(wide) - sizeof(wchar_t), sizeof(LVITEMW)))
            return false;
        text = Narrow(wide);
        return true;
    }

private:
    HWND list;
    RemoteMemory memory;
};
}

bool ChoosePage(ProgramUnderTest& program, HWND mainWindow, const std::string& caption)
{
    HWND tree = nullptr;
    for (HWND panel = FindWindowExW(mainWindow, nullptr, nullptr, nullptr); panel && !tree;
         panel = FindWindowExW(mainWindow, panel, nullptr, nullptr))
        tree = FindWindowExW(panel, nullptr, WC_TREEVIEWW, nullptr);
    for (HTREEITEM item = TreeItem(tree, TVGN_ROOT); item; item = TreeItem(tree, TVGN_NEXT, item))
    {
        if (TreeItemText(program.Handle(), tree, item) == caption)
            return SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
    }
    return false;
}

HWND OpenSearchPage(ProgramUnderTest& program, HWND mainWindow)
{
    if (!ChoosePage(program, mainWindow, "Delete Files"))
        return nullptr;
    // The shown page that carries the "Find" button.
    HWND page = nullptr;
    WaitUntil([&] {
        EnumChildWindows(mainWindow, FindFindButton, reinterpret_cast<LPARAM>(&page));
        return page != nullptr;
    });
    return page;
}

HWND OpenFolderBrowser(ProgramUnderTest& program, HWND searchPage)
{
    Click(searchPage, IDC_ADD);
    return program.WaitForDialog("Browse for Folder");
}

bool ChooseFolder(ProgramUnderTest& program, HWND browser, const std::string& folder)
{
    const std::wstring path = Widen(folder);
    SendMessageW(FindWindowExW(browser, nullptr, L"Edit", nullptr), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(path.c_str()));
    RemoteMemory remotePath(program.Handle(), (path.size() + 1) * sizeof(wchar_t));
    if (!remotePath.Write(path.c_str(), (path.size() + 1) * sizeof(wchar_t)))
        return false;
    HWND tree = FindWindowExW(browser, nullptr, WC_TREEVIEWW, nullptr);
    const std::string name = folder.substr(folder.rfind('\\') + 1);
    return WaitUntil([&] {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, remotePath.Address());
        const std::string chosen = TreeItemText(program.Handle(), tree, TreeItem(tree, TVGN_CARET));
        return _stricmp(chosen.c_str(), name.c_str()) == 0;
    });
}

void ChooseEntry(HWND page, int id, int index)
{
    HWND combo = GetDlgItem(page, id);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void Click(HWND dialog, int id)
{
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

int RowCount(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string CellText(HANDLE process, HWND list, int row, int column)
{
    std::string text;
    CellReader(process, list).Read(row, column, text);
    return text;
}

std::vector<std::string> JoinedColumns(HANDLE process, HWND list, int first, int second)
{
    CellReader reader(process, list);
    const int count = RowCount(list);
    std::vector<std::string> rows;
    rows.reserve(count);
    std::string firstText;
    std::string secondText;
    for (int row = 0; row < count; row++)
    {
        if (!reader.Read(row, first, firstText) || !reader.Read(row, second, secondText))
            return {};
        rows.push_back(firstText + secondText);
    }
    return rows;
}

bool SelectRows(HANDLE process, HWND list, const std::vector<int>& rows)
{
    RemoteMemory memory(process, sizeof(LVITEMW));
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    if (!memory.Write(&item, sizeof(item)))
        return false;
    for (int row : rows)
    {
        if (!SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), memory.Address()))
            return false;
    }
    return true;
}
