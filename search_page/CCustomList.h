// A report list whose column headings show tooltips with their long titles.
#pragma once

#include "framework/CListCtrl.h"
#include "framework/CToolTipCtrl.h"

#include <string>

class CCustomList : public CListCtrl
{
public:
    ~CCustomList() override;

    // Binds the object to a list control of a dialog, to see its heading's notifications.
    bool Attach(HWND list);
    void InitToolTips();
    // False when the list has no such column.
    bool SetColumnToolTip(int column, const std::string& text);
    // Follows the column widths after a heading changed.
    void UpdateToolTipRects();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CToolTipCtrl toolTip;

    void OnNotify(const NMHDR& header);
    void Detach();
    RECT ColumnRect(int column) const;

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
};
