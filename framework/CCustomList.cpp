#include "framework/CCustomList.h"

LRESULT CCustomList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        break;
    case WM_DESTROY:
        // Before the heading goes, whose messages the tooltip watches.
        toolTip.Destroy();
        break;
    }
    return CListCtrl::WindowProc(message, wParam, lParam);
}

void CCustomList::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom == GetHeader() && (header.code == HDN_ITEMCHANGEDA || header.code == HDN_ITEMCHANGEDW))
        UpdateToolTipRects();
}

void CCustomList::InitToolTips()
{
    if (!toolTip.Create(hwnd))
        return;
    // Our window layer has no PreTranslateMessage: the heading relays its own mouse messages.
    headerRelay.Attach(GetHeader(), toolTip);
    toolTip.SetMaxTipWidth(100);
    toolTip.Activate(true);
}

RECT CCustomList::ColumnRect(int column) const
{
    RECT rect = {};
    for (int i = 0; i < column; i++)
        rect.left += GetColumnWidth(i);
    rect.right = rect.left + GetColumnWidth(column);
    RECT headerRect = {};
    GetClientRect(GetHeader(), &headerRect);
    rect.bottom = headerRect.bottom;
    return rect;
}

bool CCustomList::SetColumnToolTip(int column, const std::string& text)
{
    if (column < 0 || column >= GetColumnCount())
        return false;
    toolTip.AddTool(GetHeader(), column + 1, ColumnRect(column), text);
    return true;
}

void CCustomList::UpdateToolTipRects()
{
    if (!toolTip.hwnd)
        return;
    int count = GetColumnCount();
    for (int column = 0; column < count; column++)
        toolTip.SetToolRect(GetHeader(), column + 1, ColumnRect(column));
}
