#include "help/CWindowHelpAbout.h"

#include "framework/DataExchange.h"
#include "framework/Dpi.h"
#include "framework/Gdi.h"
#include "resources/resource.h"

#include <cstdio>

namespace
{
const char kProductName[] = "Velmora";
const int kVersionMajor = 1;
const int kVersionMinor = 0;
const char kProductAddress[] = "http://www.corvath.com/velmora/";

// Where the picture goes in the page, and its transparent colour.
const int kPictureLeft = 100;
const int kPictureTop = 150;
const int kPictureSize = 250;
const COLORREF kPictureTransparent = RGB(0, 0, 255);
// The link's colour outside high contrast.
const COLORREF kLinkColour = RGB(0, 0, 255);

std::string VersionText()
{
    char text[32];
    std::snprintf(text, sizeof(text), "- v.%d.%d", kVersionMajor, kVersionMinor);
    return text;
}
}

CWindowHelpAbout::CWindowHelpAbout()
    : CPage(IDD_ABOUT_PAGE, 480, 450), versionText(VersionText()),
      titleText(std::string(kProductName) + " " + versionText),
      handCursor(LoadCursorW(nullptr, IDC_HAND))
{
    CLinkCtrl::InitClass();
}

LRESULT CWindowHelpAbout::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_SETCURSOR:
        if (!OnSetCursor(reinterpret_cast<HWND>(wParam)))
            return FALSE;
        SetResult(TRUE);
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return TRUE;
    case WM_PRINTCLIENT:
        // A copy of the page into another device context shows the picture too.
        DrawPicture(reinterpret_cast<HDC>(wParam));
        return TRUE;
    }
    return CPage::WindowProc(message, wParam, lParam);
}

BOOL CWindowHelpAbout::OnInitDialog()
{
    link.Attach(GetItem(IDC_ABOUT_LINK), kProductAddress);
    DoDataExchange(false);
    return TRUE;
}

void CWindowHelpAbout::DoDataExchange(bool save)
{
    ExchangeText(hwnd, IDC_ABOUT_TITLE, titleText, save);
    ExchangeText(hwnd, IDC_ABOUT_VERSION, versionText, save);
    ExchangeText(hwnd, IDC_ABOUT_NOTES, notesText, save);
}

HBRUSH CWindowHelpAbout::OnCtlColorStatic(HDC dc, HWND control)
{
    if (control != GetItem(IDC_ABOUT_LINK))
        return nullptr;
    // Under high contrast the system's colour for links, which reads on its backgrounds.
    SetTextColor(dc, IsHighContrast() ? GetSysColor(COLOR_HOTLIGHT) : kLinkColour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

bool CWindowHelpAbout::OnSetCursor(HWND window)
{
    if (window != GetItem(IDC_ABOUT_LINK))
        return false;
    SetCursor(handCursor);
    return true;
}

void CWindowHelpAbout::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    DrawPicture(dc);
    EndPaint(hwnd, &paint);
}

void CWindowHelpAbout::DrawPicture(HDC dc)
{
    // The picture drawn nearest to the display's scale, so it is barely stretched.
    UINT dpi = DpiOfWindow(hwnd);
    DrawResourceBitmap(dc, ScaledImageId(IDB_ABOUT_PICTURE, NearestImageScale(dpi)), ScaleForDpi(kPictureLeft, dpi),
                       ScaleForDpi(kPictureTop, dpi), ScaleForDpi(kPictureSize, dpi), ScaleForDpi(kPictureSize, dpi),
                       kPictureTransparent);
}
