// The left part of the main window: a tree of the pages of one set, the
// settings set ("Tools") or the help set ("Help"). Selecting an entry asks the
// main window to show its page; the main window may refuse.
#pragma once

#include "framework/CWnd.h"
#include "shell/PageId.h"

#include <commctrl.h>

#include <map>

class CWindowMain;

class CWindowLeftPanel : public CWnd
{
public:
    HWND tree = nullptr;
    std::map<PageId, HTREEITEM> items;
    CWindowMain* mainWindow = nullptr;
    // 0 the settings set, 1 the help set; -1 before the first build.
    int pageSet = -1;

    // Called once the panel's window exists: makes the tree and shows the settings set.
    bool CreateTree();
    // Fills the tree with a set and selects its first entry, which shows that page.
    void RebuildTree(int set);
    // Selects the entry of a page of the set shown; other pages are ignored.
    void SelectPage(PageId id);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void AddItem(const wchar_t* caption, PageId id);
    LRESULT OnNotify(const NMHDR& header);
};
