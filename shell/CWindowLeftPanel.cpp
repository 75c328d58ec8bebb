#include "shell/CWindowLeftPanel.h"

#include "resources/resource.h"
#include "shell/CWindowMain.h"
#include "shell/ShellMessages.h"

bool CWindowLeftPanel::CreateTree()
{
    mainWindow = CWindowMain::instance;
    RECT client;
    GetClientRect(hwnd, &client);
    // The tree has no visible label; this hidden one, just before it, names it for a screen reader.
    CreateWindowExW(0, L"STATIC", L"Pages", WS_CHILD | SS_LEFT, 0, 0, 0, 0, hwnd, nullptr, GetModuleHandleW(nullptr),
                    nullptr);
    tree = CreateWindowExW(0, WC_TREEVIEWW, L"",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                               TVS_SHOWSELALWAYS,
                           0, 0, client.right, client.bottom, hwnd,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_PAGE_TREE)),
                           GetModuleHandleW(nullptr), nullptr);
    if (!tree)
        return false;
    RebuildTree(0);
    return true;
}

void CWindowLeftPanel::RebuildTree(int set)
{
    TreeView_DeleteAllItems(tree);
    items.clear();
    if (set == 1)
    {
        AddItem(L"About", PageAbout);
        AddItem(L"Help", PageHelp);
        AddItem(L"Check for updates", PageCheckUpdates);
    }
    else
    {
        AddItem(L"Settings", PageSettings);
        AddItem(L"Delete Files", PageDeleteFiles);
    }
    pageSet = set;
    // Selecting goes through the main window, which shows the page.
    TreeView_SelectItem(tree, items[set == 1 ? PageAbout : PageSettings]);
}

void CWindowLeftPanel::SelectPage(PageId id)
{
    auto found = items.find(id);
    if (found == items.end())
        return;
    TreeView_EnsureVisible(tree, found->second);
    TreeView_SelectItem(tree, found->second);
}

void CWindowLeftPanel::AddItem(const wchar_t* caption, PageId id)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(caption);
    insert.item.lParam = id;
    items[id] = TreeView_InsertItem(tree, &insert);
}

LRESULT CWindowLeftPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_SIZE:
    {
        LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (tree)
            MoveWindow(tree, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return result;
    }
    case WM_ERASEBKGND:
        // The tree covers the whole panel.
        return 0;
    case WM_SETFOCUS:
        if (tree)
            SetFocus(tree);
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CWindowLeftPanel::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom != tree || !mainWindow || !mainWindow->hwnd)
        return 0;
    // Both forms: the tree sends whichever its parent's character set asks for.
    if (header.code == TVN_SELCHANGINGW || header.code == TVN_SELCHANGINGA)
    {
        LPARAM page = header.code == TVN_SELCHANGINGW
                          ? reinterpret_cast<const NMTREEVIEWW&>(header).itemNew.lParam
                          : reinterpret_cast<const NMTREEVIEWA&>(header).itemNew.lParam;
        // The main window's answer is the tree's: 1 keeps the old selection.
        return SendMessageW(mainWindow->hwnd, WM_SHOW_PAGE, page, 0);
    }
    return 0;
}
