#include "framework/CPage.h"

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
