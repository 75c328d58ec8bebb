// A list-view control in report mode, bound to a control of a dialog.
#pragma once

#include "framework/CWnd.h"

#include <commctrl.h>

#include <string>

class CListCtrl : public CWnd
{
public:
    void AddStyle(DWORD style);
    void SetExtendedStyle(DWORD exStyle);
    HWND GetHeader() const;
    int GetColumnCount() const;
    int GetColumnWidth(int column) const;
    void InsertColumn(int column, const std::string& heading, int format, int width);

    int GetItemCount() const;
    // Inserts a row whose first column shows text and which carries data.
    void InsertItem(int row, const std::string& text, LPARAM data);
    void SetItemText(int row, int column, const std::string& text);
    LPARAM GetItemData(int row) const;
    void DeleteAllItems();
    // The row count of an owner-data list, whose texts its parent supplies.
    void SetItemCount(int count);
    // The next row after `after` (-1: from the start) in the given LVNI_ state, or -1.
    int GetNextItem(int after, UINT flags) const;
    // Sets the bits of mask in a row's state (row -1: every row).
    void SetItemState(int row, UINT state, UINT mask);
    // The bits of mask in a row's state.
    UINT GetItemState(int row, UINT mask) const;
    void SetRedraw(bool redraw);
};
