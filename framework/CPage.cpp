#include "framework/CPage.h"

#include "framework/Dpi.h"

#include <algorithm>

CPage::CPage(int templateId, int minWidth, int minHeight)
    : CDialog(templateId), minWidth(minWidth), minHeight(minHeight)
{
}

void CPage::OnOK()
{
}

void CPage::OnCancel()
{
}

SIZE CPage::MinimumSize() const
{
    UINT dpi = DpiOfWindow(hwnd);
    SIZE extent = TemplateExtent();
    return {std::max<LONG>(ScaleForDpi(minWidth, dpi), extent.cx),
            std::max<LONG>(ScaleForDpi(minHeight, dpi), extent.cy)};
}
