// The program's only top-level window: toolbar, page tree, pages, splitter bar
// and the notification icon with its menu. Closing it only hides it; the
// program ends through Exit or when Windows ends the session.
#pragma once

#include "engine/Operation.h"
#include "framework/CWnd.h"
#include "framework/Dpi.h"
#include "help/CWindowHelp.h"
#include "help/CWindowHelpAbout.h"
#include "help/CWindowHelpCheckUpdates.h"
#include "shell/CSplitterBar.h"
#include "shell/CTrayMenu.h"
#include "shell/CWindowLeftPanel.h"
#include "shell/CWindowRightPanel.h"
#include "shell/PageId.h"

#include <commctrl.h>
#include <shellapi.h>

#include <map>
#include <string>

class CPage;

// The scale of the taskbar's monitor, where the notification icon is shown; 0 while there is no taskbar.
UINT TaskbarDpi();
// The notification icon at the small-icon size of `dpi`, or of the system when 0.
HICON LoadTrayIconAt(int iconId, UINT dpi);

class CWindowMain : public CWnd
{
public:
    // The one main window, for the windows that send it requests.
    static CWindowMain* instance;
    // "Velmora": the caption, the tray tip and the tray menu's title.
    static std::string title;

    CTrayMenu trayMenu;
    HICON trayIcon = nullptr;
    CSplitterBar splitterBar;
    HWND toolbar = nullptr;
    HIMAGELIST toolbarImages = nullptr;
    int minPageWidth = 450;
    int minPageHeight = 450;
    // The DPI the window is laid out for; WM_DPICHANGED moves it.
    UINT dpi = kBaseDpi;
    PageId currentPage = PageNone;
    CWindowLeftPanel leftPanel;
    CWindowRightPanel rightPanel;
    CWindowHelpAbout aboutPage;
    CWindowHelp helpPage;
    CWindowHelpCheckUpdates updatePage;

    std::map<PageId, CPage*> pages;

    // The update check asks `updateServer`; tests give it a local one.
    explicit CWindowMain(const UpdateServer& updateServer = ConfiguredUpdateServer());
    ~CWindowMain() override;

    // Builds everything inside the created window; 1 when ready.
    int SetUp();
    void ShowMainWindow();
    void ExitProgram();
    // Makes Tools and Help behave as a pair of tabs.
    void SelectToolbarButton(int id);
    // The toolbar's keys; Tab and Shift+Tab from the tree into the page and out of
    // its last or first control back to the tree; F6 and Shift+F6 between the two,
    // as in Explorer.
    bool PreTranslateMessage(MSG& msg) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(int id, int code) override;

private:
    // Sent by the shell when the notification area is created again (Explorer
    // restarted) and after a change of scale.
    UINT taskbarCreatedMessage = 0;
    // How often the icon is tried again while the taskbar is not there yet.
    static const UINT kTrayRetryMs = 2000;
    HACCEL keys = nullptr;
    // The icon's next context menu comes from a right click, not from the keyboard.
    bool trayMenuByMouse = false;

    bool CreateToolbar();
    // The toolbar's pictures in the set drawn nearest to the window's scale.
    bool CreateToolbarImages();
    bool CreatePages();
    bool CreatePanel(CWnd& panel);
    // The tray icon at the small-icon size of the taskbar's scale.
    void LoadTrayIcon();
    void AddTrayIcon();
    void OnTaskbarCreated();
    // defaults: no settings were read, so the window takes room for every page.
    void PlaceFromSettings(bool defaults);
    void OnSize(int width);
    void OnGetMinMaxInfo(MINMAXINFO& info);
    SIZE MinimumWindowSize() const;
    // The window's outer size that gives a page of this size its room beside a left panel this wide.
    SIZE WindowSizeForPage(SIZE page, int leftWidth) const;
    void OnDpiChanged(UINT newDpi, const RECT& suggested);
    int Scaled(int value) const;
    void OnSysCommand(WPARAM command);
    void OnSysColorChange();
    // The icon's event (NOTIFYICON_VERSION_4): the event and the icon in `event`, the point in `anchor`.
    LRESULT OnTrayNotify(WPARAM anchor, LPARAM event);
    // The tray menu at `anchor`; its command is carried out after it closes.
    void ShowTrayMenu(POINT anchor, bool byKeyboard);
    void OnSplitterMoved(int delta);
    LRESULT OnNotify(NMHDR& header);
    LRESULT ShowPage(PageId id);
    void FitCurrentPage();
    void SetSplitterRange(int clientWidth);
    void Lock();
    void ShowFromOutside();
    // The end shared by Exit, the outside close and the end of the Windows session:
    // placement stored, settings saved as asked, window destroyed.
    enum class Save
    {
        No,
        ShowingFailure,
        Silently
    };
    void Finish(Save save);
    void OnEndSession(bool sessionEnds);
    bool PasswordAccepted();
    NOTIFYICONDATAW TrayIconData() const;
    // The settings page's question about unapplied changes; true when the way is free.
    bool ConfirmLeave();
    // Asks before abandoning a running worker; true to go on with the exit.
    bool ConfirmStopWorker(Operation operation, const std::string& caption, const std::string& text);
    void StorePlacement();
    // The page shown, or null.
    HWND CurrentPageWindow() const;
    // The focus to the page's first or last tab stop, as the page's own Tab would put it.
    bool FocusPage(bool last);
};
