#include "help/CWindowHelp.h"

#include "framework/Text.h"
#include "framework/UserFolder.h"
#include "help/HtmlHelpLoader.h"
#include "resources/resource.h"

#include <htmlhelp.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <utility>

namespace
{
const char kWindowType[] = "Velmora Help";
// The viewer's wide entry reads the record with wide texts, as the header declares it here.
static_assert(sizeof(*HH_WINTYPE().pszType) == sizeof(wchar_t), "a wide window-type record");

// Invalidate, erase and repaint the window and all its children now.
void RedrawNow(HWND window)
{
    if (window)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
}

CWindowHelp::CWindowHelp() : CWindowHelp(ProgramFolder() + "Velmora.chm")
{
}

CWindowHelp::CWindowHelp(std::string helpFile) : CPage(IDD_HELP_PAGE, 480, 450), helpFile(std::move(helpFile))
{
}

LRESULT CWindowHelp::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_PAINT:
        OnPaint();
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    }
    return CPage::WindowProc(message, wParam, lParam);
}

BOOL CWindowHelp::OnInitDialog()
{
    // A copy, where the viewer cannot open the file where it lies, goes to the user's own folder on this PC.
    helpFile = ViewableHelpFile(helpFile, UserSettingsFolder());
    HWND help = ShowContents();
    // Without the viewer or the help file the page stays empty, and the
    // viewer is not asked about a window it never made.
    if (help)
    {
        AdoptViewerWindow(help);
        helpReady = 1;
    }
    return TRUE;
}

HWND CWindowHelp::ShowContents()
{
    const std::wstring toc = Widen(helpFile + "::/Table of Contents.hhc");
    const std::wstring home = Widen(helpFile + "::/Introduction.html");
    const std::wstring windowType = Widen(kWindowType);
    HH_WINTYPE type = {};
    type.cbStruct = sizeof(type);
    type.fUniCodeStrings = TRUE;
    type.pszType = windowType.c_str();
    type.fsValidMembers = HHWIN_PARAM_PROPERTIES | HHWIN_PARAM_STYLES | HHWIN_PARAM_EXSTYLES | HHWIN_PARAM_RECT |
                          HHWIN_PARAM_NAV_WIDTH | HHWIN_PARAM_SHOWSTATE | HHWIN_PARAM_TB_FLAGS |
                          HHWIN_PARAM_EXPANSION | HHWIN_PARAM_CUR_TAB;
    type.fsWinProperties = HHWIN_PROP_NOTITLEBAR | HHWIN_PROP_NODEF_STYLES | HHWIN_PROP_TRI_PANE;
    type.dwStyles = WS_CHILD;
    type.dwExStyles = 0;
    type.rcWindowPos = {0, 0, 400, 400};
    type.nShowState = SW_SHOW;
    type.iNavWidth = 250;
    type.pszToc = toc.c_str();
    type.pszFile = home.c_str();
    type.pszHome = home.c_str();
    type.fsToolBarFlags = HHWIN_BUTTON_BACK | HHWIN_BUTTON_HOME | HHWIN_BUTTON_PRINT;
    type.fNotExpanded = FALSE;
    type.curNavType = HHWIN_NAVTYPE_TOC;
    CallHtmlHelp(hwnd, helpFile, HH_SET_WIN_TYPE, reinterpret_cast<DWORD_PTR>(&type));
    HWND help = CallHtmlHelp(hwnd, helpFile + ">" + kWindowType, HH_DISPLAY_TOC, 0);
    return IsWindow(help) ? help : nullptr;
}

void CWindowHelp::AdoptViewerWindow(HWND help)
{
    if (GetParent(help) != hwnd)
    {
        LONG_PTR style = GetWindowLongPtrW(help, GWL_STYLE);
        style &= ~(WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
        SetWindowLongPtrW(help, GWL_STYLE, style | WS_CHILD | WS_CLIPCHILDREN);
        LONG_PTR exStyle = GetWindowLongPtrW(help, GWL_EXSTYLE);
        exStyle &= ~(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_TOPMOST);
        SetWindowLongPtrW(help, GWL_EXSTYLE, exStyle);
        SetParent(help, hwnd);
    }
    RECT client = {};
    GetClientRect(hwnd, &client);
    SetWindowPos(help, nullptr, 0, 0, client.right, client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void CWindowHelp::OnSize(int width, int height)
{
    if (helpReady)
        RefreshViewer(width, height);
}

void CWindowHelp::OnPaint()
{
    PAINTSTRUCT paint;
    BeginPaint(hwnd, &paint);
    if (helpReady)
        RefreshViewer(-1, -1);
    EndPaint(hwnd, &paint);
}

void CWindowHelp::RefreshViewer(int width, int height)
{
    // The documented viewer hands back a pointer to its own record; Wine's
    // copies the record into ours. Only the copy fills in the type's name.
    union
    {
        HH_WINTYPE record;
        HH_WINTYPE* pointer;
    } answer = {};
    CallHtmlHelp(hwnd, helpFile + ">" + kWindowType, HH_GET_WIN_TYPE, reinterpret_cast<DWORD_PTR>(&answer));
    const HH_WINTYPE* type = answer.record.pszType ? &answer.record : answer.pointer;
    if (!type)
        return;
    if (width >= 0)
        MoveWindow(type->hwndHelp, 0, 0, width, height, FALSE);
    RedrawNow(type->hwndHTML);
    RedrawNow(type->hwndNavigation);
    RedrawNow(type->hwndToolBar);
    RedrawNow(type->hwndHelp);
}

void CWindowHelp::OnDestroy()
{
    CallHtmlHelp(nullptr, "", HH_CLOSE_ALL, 0);
    helpReady = 0;
}
