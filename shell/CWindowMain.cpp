#include "shell/CWindowMain.h"

#include "framework/Gdi.h"
#include "resources/resource.h"
#include "shell/Globals.h"
#include "shell/ShellMessages.h"

#include <shellapi.h>

CWindowMain* CWindowMain::instance = nullptr;
std::string CWindowMain::title;

namespace
{
const COLORREF kMaskBlue = RGB(0, 0, 255);
// Sizes at 96 DPI.
const int kToolbarImageWidth = 40;
const int kToolbarImageHeight = 32;
// The gap between the toolbar's button groups.
const int kToolbarSeparatorWidth = 24;
const int kFullScale = 100;
// The last search, kept beside settings.dat.
const char kKeptSearchName[] = "last search.txt";
const char kDeletionRecordName[] = "deletions.csv";

BOOL CALLBACK TellOfColourChange(HWND child, LPARAM)
{
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}
}

CWindowMain::CWindowMain(const UpdateServer& updateServer) : updatePage(updateServer)
{
    instance = this;
    title = "Velmora";
    taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
}

CWindowMain::~CWindowMain()
{
    if (toolbarImages)
        ImageList_Destroy(toolbarImages);
    if (trayIcon)
        DestroyIcon(trayIcon);
    if (instance == this)
        instance = nullptr;
}

int CWindowMain::SetUp()
{
    SettingsFailure failure;
    const SettingsLoad loaded = wiperSettings.Load(&failure);
    if (loaded == SettingsLoad::Failed)
        ShowSettingsFailure(nullptr, failure);
    dpi = DpiOfWindow(hwnd);
    keys = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_KEYS));
    trayMenu.ChooseLinks();
    if (!CreateToolbar())
        return 0;
    if (!CreatePanel(rightPanel) || !CreatePages())
        return 0;
    searchPage.UseKeptSearch(wiperSettings.Folder() + kKeptSearchName);
    searchPage.UseDeletionRecord(wiperSettings.Folder() + kDeletionRecordName);
    if (!CreatePanel(leftPanel) || !leftPanel.CreateTree())
        return 0;
    RECT bar = {Scaled(wiperSettings.splitterPos), 0, 0, 0};
    if (!splitterBar.Create(WS_CHILD | WS_VISIBLE, bar, hwnd, IDC_SPLITTER))
        return 0;
    SendMessageW(hwnd, WM_SHOW_PAGE, PageSettings, 0);
    SetFocus(leftPanel.hwnd);
    trayMenu.Prepare(title);
    LoadTrayIcon();
    AddTrayIcon();
    PlaceFromSettings(loaded != SettingsLoad::Read);
    return 1;
}

bool CWindowMain::CreateToolbarImages()
{
    int scale = NearestImageScale(dpi);
    HIMAGELIST images = ImageList_Create(kToolbarImageWidth * scale / kFullScale,
                                         kToolbarImageHeight * scale / kFullScale, ILC_COLOR24 | ILC_MASK, 7, 0);
    if (!images)
        return false;
    // Each bitmap is loaded afresh: adding with a mask blackens the source's mask colour.
    const int imageBitmaps[] = {IDB_TOOLBAR_TOOLS, IDB_TOOLBAR_HELP, IDB_TOOLBAR_UNLOCK,
                                IDB_TOOLBAR_LOCK, IDB_TOOLBAR_UNLOCK, IDB_TOOLBAR_EXIT};
    for (int id : imageBitmaps)
    {
        HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ScaledImageId(id, scale)));
        ImageList_AddMasked(images, bitmap, kMaskBlue);
        DeleteObject(bitmap);
    }
    if (toolbar)
    {
        SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
        SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    }
    if (toolbarImages)
        ImageList_Destroy(toolbarImages);
    toolbarImages = images;
    return true;
}

bool CWindowMain::CreateToolbar()
{
    if (!CreateToolbarImages())
        return false;

    toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT, 0, 0, 0, 0, hwnd,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_TOOLBAR)), GetModuleHandleW(nullptr),
                              nullptr);
    if (!toolbar)
        return false;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages));
    static const wchar_t strings[] = L"Tools\0Help\0Separator\0Lock\0Separator\0Exit\0Unlock\0";
    SendMessageW(toolbar, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(strings));
    // Separators keep the groups apart: a screen reader passes over them, as it
    // would not over a blank button.
    TBBUTTON buttons[6] = {
        {0, ID_TOOLBAR_TOOLS, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {1, ID_TOOLBAR_HELP, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 1},
        {Scaled(kToolbarSeparatorWidth), 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, -1},
        {3, ID_TOOLBAR_LOCK, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 3},
        {Scaled(kToolbarSeparatorWidth), 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, -1},
        {5, ID_TOOLBAR_EXIT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 5},
    };
    SendMessageW(toolbar, TB_ADDBUTTONSW, 6, reinterpret_cast<LPARAM>(buttons));
    SendMessageW(toolbar, TB_PRESSBUTTON, ID_TOOLBAR_TOOLS, TRUE);
    return true;
}

bool CWindowMain::CreatePanel(CWnd& panel)
{
    // The panels share the main window's class, and so its dialog-style defaults.
    wchar_t className[256] = {};
    GetClassNameW(hwnd, className, 256);
    return panel.Create({.className = className, .style = WS_CHILD | WS_VISIBLE, .parent = hwnd});
}

bool CWindowMain::CreatePages()
{
    if (!aboutPage.Create(rightPanel.hwnd) || !settingsPage.Create(rightPanel.hwnd) ||
        !helpPage.Create(rightPanel.hwnd) || !updatePage.Create(rightPanel.hwnd) ||
        !searchPage.Create(rightPanel.hwnd))
        return false;
    pages = {{PageAbout, &aboutPage},
             {PageSettings, &settingsPage},
             {PageHelp, &helpPage},
             {PageCheckUpdates, &updatePage},
             {PageDeleteFiles, &searchPage}};
    return true;
}

int CWindowMain::Scaled(int value) const
{
    return ScaleForDpi(value, dpi);
}

LRESULT CWindowMain::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == taskbarCreatedMessage && taskbarCreatedMessage != 0)
    {
        OnTaskbarCreated();
        return 0;
    }
    switch (message)
    {
    case WM_SIZE:
        OnSize(LOWORD(lParam));
        break;
    case WM_TIMER:
        if (wParam == kTrayRetryTimer)
            AddTrayIcon();
        return 0;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SYSCOMMAND:
        OnSysCommand(wParam);
        break;
    case WM_ENDSESSION:
    {
        LRESULT result = Default(message, wParam, lParam);
        OnEndSession(wParam != FALSE);
        return result;
    }
    case WM_TRAY_NOTIFY:
        return OnTrayNotify(wParam, lParam);
    case WM_SPLITTER_MOVED:
        OnSplitterMoved(static_cast<int>(lParam));
        return 0;
    case WM_SHOW_PAGE:
        return ShowPage(static_cast<PageId>(wParam));
    case WM_MEASUREITEM:
    {
        auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure.CtlType != ODT_MENU)
            break;
        trayMenu.Measure(measure);
        return TRUE;
    }
    case WM_DRAWITEM:
    {
        auto& draw = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (draw.CtlType != ODT_MENU)
            break;
        trayMenu.Draw(draw);
        return TRUE;
    }
    case WM_MENUCHAR:
        // Owner-drawn items leave their access keys to their owner.
        if (reinterpret_cast<HMENU>(lParam) == trayMenu.popup && trayMenu.popup)
            return trayMenu.OnMenuChar(LOWORD(wParam));
        break;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

bool CWindowMain::OnCommand(int id, int)
{
    switch (id)
    {
    case ID_TOOLBAR_TOOLS:
        if (ConfirmLeave())
        {
            SelectToolbarButton(ID_TOOLBAR_TOOLS);
            leftPanel.RebuildTree(0);
        }
        return true;
    case ID_TOOLBAR_HELP:
        if (ConfirmLeave())
        {
            SelectToolbarButton(ID_TOOLBAR_HELP);
            leftPanel.RebuildTree(1);
        }
        return true;
    case ID_TOOLBAR_LOCK:
    case ID_TRAY_LOCK:
        Lock();
        return true;
    case ID_TOOLBAR_EXIT:
    case ID_TRAY_EXIT:
        if (ConfirmLeave())
            ExitProgram();
        return true;
    case ID_TRAY_OPEN:
        ShowMainWindow();
        return true;
    case ID_TRAY_ABOUT:
    case ID_TRAY_HELP:
    case ID_TRAY_CHECK_VERSION:
        if (ConfirmLeave())
        {
            ShowMainWindow();
            SelectToolbarButton(ID_TOOLBAR_HELP);
            leftPanel.RebuildTree(1);
            leftPanel.SelectPage(id == ID_TRAY_ABOUT ? PageAbout : id == ID_TRAY_HELP ? PageHelp : PageCheckUpdates);
        }
        return true;
    case ID_TRAY_LINK1:
    case ID_TRAY_LINK2:
        trayMenu.OpenLink(id);
        return true;
    case ID_EXIT_NOW:
        ExitProgram();
        return true;
    case ID_SHOW_LOCKED:
        ShowFromOutside();
        return true;
    case ID_CLOSE_AT_ONCE:
        // At once: no questions, and the icon, the menu and settings.dat stay as they are.
        Finish(Save::No);
        return true;
    case ID_TRAY_NOTHING:
    case IDCANCEL:
        // A close request arrives as cancel; the window only hides.
        return true;
    }
    return false;
}

void CWindowMain::SelectToolbarButton(int id)
{
    for (int button : {ID_TOOLBAR_TOOLS, ID_TOOLBAR_HELP, ID_TOOLBAR_LOCK, ID_TOOLBAR_EXIT})
        SendMessageW(toolbar, TB_PRESSBUTTON, button, FALSE);
    SendMessageW(toolbar, TB_PRESSBUTTON, id, TRUE);
}

void CWindowMain::OnSysColorChange()
{
    // Only top-level windows hear of it; the common controls keep the old
    // colours until told. Then everything repaints at once in the new ones.
    EnumChildWindows(hwnd, TellOfColourChange, 0);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CWindowMain::OnSysCommand(WPARAM command)
{
    if ((command & 0xFFF0) == SC_CLOSE && ConfirmLeave())
        ShowWindow(hwnd, SW_HIDE);
}

LRESULT CWindowMain::OnNotify(NMHDR& header)
{
    if (header.hwndFrom != toolbar || header.code != NM_CUSTOMDRAW)
        return 0;
    auto& draw = reinterpret_cast<NMCUSTOMDRAW&>(header);
    if (draw.dwDrawStage == CDDS_PREPAINT)
    {
        // An etched line under the buttons.
        RECT band;
        GetClientRect(toolbar, &band);
        band.bottom -= 2;
        band.right += 1;
        band.top = band.bottom - 2;
        DrawSunkenFrame(draw.hdc, band);
    }
    return CDRF_DODEFAULT;
}

LRESULT CWindowMain::ShowPage(PageId id)
{
    if (id == PageNone)
        return 1;
    if (!ConfirmLeave())
        return 1;
    auto current = pages.find(currentPage);
    if (current != pages.end())
    {
        // A page switched by a key or the tray may hold the focus: a hidden
        // control would keep it from the keyboard.
        const bool hadFocus = IsChild(current->second->hwnd, GetFocus());
        ShowWindow(current->second->hwnd, SW_HIDE);
        if (hadFocus)
            SetFocus(leftPanel.tree);
    }
    auto requested = pages.find(id);
    if (requested != pages.end())
    {
        HWND page = requested->second->hwnd;
        ShowWindow(page, SW_SHOWNA);
        RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        SIZE minimum = requested->second->MinimumSize();
        minPageWidth = minimum.cx;
        minPageHeight = minimum.cy;
    }
    currentPage = id;
    // Moving to the same place makes the platform apply the new minimum size and lay out again.
    RECT window;
    GetWindowRect(hwnd, &window);
    MoveWindow(hwnd, window.left, window.top, window.right - window.left, window.bottom - window.top, TRUE);
    FitCurrentPage();
    RECT client;
    GetClientRect(hwnd, &client);
    SetSplitterRange(client.right);
    return 0;
}

