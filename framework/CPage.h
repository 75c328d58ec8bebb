// A page of the main window: a child dialog shown in the right panel, with
// the smallest size at which the window that hosts it may show it. Enter and
// Escape never close a page: OK and Cancel do nothing unless a page gives
// them a meaning of its own.
#pragma once

#include "framework/CDialog.h"

class CPage : public CDialog
{
public:
    // Lower bounds of the page's size for the window that hosts it, at 96 DPI.
    const int minWidth;
    const int minHeight;

    CPage(int templateId, int minWidth, int minHeight);

    // The smallest client size that shows the whole page on its display: the
    // bounds above at the page's DPI, or what its template takes when that is
    // more (a wider font, say).
    SIZE MinimumSize() const;

protected:
    void OnOK() override;
    void OnCancel() override;
};
