// The about page: the program's name and version, the maker's rights notice,
// a link to the product's web site and a picture.
#pragma once

#include "framework/CDialog.h"

#include <string>

class CWindowHelpAbout : public CDialog
{
public:
    // Lower bounds of the page's size for the window that hosts it.
    int minWidth = 480;
    int minHeight = 450;

    CWindowHelpAbout();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(int id, int code) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    // "- v.1.0"
    std::string versionText;
    // The product name, a blank and versionText.
    std::string titleText;
    std::string notesText;
    HCURSOR handCursor;

    void DoDataExchange(bool save);
    void OnLinkClicked();
    // The link's colour; null leaves every other control to the dialog's default.
    HBRUSH OnCtlColorStatic(HDC dc, HWND control);
    bool OnSetCursor(HWND window);
    void OnPaint();
    void DrawPicture(HDC dc);
};
