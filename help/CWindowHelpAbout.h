// The about page: the program's name and version, the maker's rights notice,
// a link to the product's web site and a picture.
#pragma once

#include "framework/CLinkCtrl.h"
#include "framework/CPage.h"

#include <string>

class CWindowHelpAbout : public CPage
{
public:
    CWindowHelpAbout();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

private:
    // "- v.1.0"
    std::string versionText;
    // The product name, a blank and versionText.
    std::string titleText;
    std::string notesText;
    HCURSOR handCursor;
    CLinkCtrl link;

    void DoDataExchange(bool save);
    // The link's colour; null leaves every other control to the dialog's default.
    HBRUSH OnCtlColorStatic(HDC dc, HWND control);
    bool OnSetCursor(HWND window);
    void OnPaint();
    void DrawPicture(HDC dc);
};
