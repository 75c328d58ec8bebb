// A report list whose column headings show tooltips with their long titles.
// It is bound to a list control of a dialog with SubclassControl, to see its
// heading's notifications.
#pragma once

#include "framework/CListCtrl.h"
#include "framework/CToolTipCtrl.h"
#include "framework/CToolTipRelay.h"

#include <string>

class CCustomList : public CListCtrl
{
public:
    void InitToolTips();
    // False when the list has no such column.
    bool SetColumnToolTip(int column, const std::string& text);
    // Follows the column widths after a heading changed.
    void UpdateToolTipRects();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CToolTipCtrl toolTip;
    // The heading's mouse messages, for the tooltip.
    CToolTipRelay headerRelay;

    void OnNotify(const NMHDR& header);
    RECT ColumnRect(int column) const;
};
