#include "framework/CListCtrl.h"

#include "framework/Text.h"

void CListCtrl::AddStyle(DWORD style)
{
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | style);
}

void CListCtrl::SetExtendedStyle(DWORD exStyle)
{
    SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, exStyle, exStyle);
}

HWND CListCtrl::GetHeader() const
{
    return (HWND)SendMessageW(hwnd, LVM_GETHEADER, 0, 0);
}

int CListCtrl::GetColumnCount() const
{
    return (int)SendMessageW(GetHeader(), HDM_GETITEMCOUNT, 0, 0);
}

int CListCtrl::GetColumnWidth(int column) const
{
    return (int)SendMessageW(hwnd, LVM_GETCOLUMNWIDTH, column, 0);
}

void CListCtrl::InsertColumn(int column, const std::string& heading, int format, int width)
{
    std::wstring text = Widen(heading);
    LVCOLUMNW info = {};
    info.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    info.fmt = format;
    info.cx = width;
    info.pszText = text.data();
    info.iSubItem = column;
    SendMessageW(hwnd, LVM_INSERTCOLUMNW, column, (LPARAM)&info);
}

int CListCtrl::GetItemCount() const
{
    return (int)SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0);
}

void CListCtrl::InsertItem(int row, const std::string& text, LPARAM data)
{
    std::wstring wide = Widen(text);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = wide.data();
    item.lParam = data;
    SendMessageW(hwnd, LVM_INSERTITEMW, 0, (LPARAM)&item);
}

void CListCtrl::SetItemText(int row, int column, const std::string& text)
{
    std::wstring wide = Widen(text);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(hwnd, LVM_SETITEMTEXTW, row, (LPARAM)&item);
}

LPARAM CListCtrl::GetItemData(int row) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(hwnd, LVM_GETITEMW, 0, (LPARAM)&item);
    return item.lParam;
}

void CListCtrl::DeleteAllItems()
{
    SendMessageW(hwnd, LVM_DELETEALLITEMS, 0, 0);
}

void CListCtrl::SetItemCount(int count)
{
    SendMessageW(hwnd, LVM_SETITEMCOUNT, count, 0);
}

int CListCtrl::GetNextItem(int after, UINT flags) const
{
    return (int)SendMessageW(hwnd, LVM_GETNEXTITEM, after, MAKELPARAM(flags, 0));
}

void CListCtrl::SetItemState(int row, UINT state, UINT mask)
{
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(hwnd, LVM_SETITEMSTATE, row, (LPARAM)&item);
}

UINT CListCtrl::GetItemState(int row, UINT mask) const
{
    return (UINT)SendMessageW(hwnd, LVM_GETITEMSTATE, row, mask);
}

void CListCtrl::SetRedraw(bool redraw)
{
    SendMessageW(hwnd, WM_SETREDRAW, redraw, 0);
    if (redraw)
        InvalidateRect(hwnd, nullptr, TRUE);
}
