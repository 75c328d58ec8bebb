#include "tests/shell/MainWindowFixture.h"
#include "tests/support/ScreenCapture.h"

namespace
{
LRESULT CALLBACK CountColourChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR told)
{
    *reinterpret_cast<int*>(told) += message == WM_SYSCOLORCHANGE;
    return DefSubclassProc(window, message, wParam, lParam);
}
}

TEST_F(MainWindow, StartsOnTheSettingsPageWhereTheLastRunLeftIt)
{
    Saved([](CWiperSettings& s) {
        s.windowLeft = 40;
        s.windowTop = 30;
        s.windowWidth = 760;
        s.windowHeight = 560;
        s.splitterPos = 180;
    });
    Open();

    RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(Width(rect), 760);
    EXPECT_EQ(Height(rect), 560);
    EXPECT_TRUE(Visible());
    EXPECT_EQ(GetWindowTextUtf8(window), "Velmora");

    EXPECT_EQ(app->currentPage, PageSettings);
    EXPECT_TRUE(IsWindowVisible(settingsPage.hwnd));
    EXPECT_FALSE(IsWindowVisible(searchPage.hwnd));
    EXPECT_EQ(TreeView_GetCount(app->leftPanel.tree), 2u);
    EXPECT_EQ(SelectedTreePage(), PageSettings);
    EXPECT_EQ(SendMessageW(app->toolbar, TB_BUTTONCOUNT, 0, 0), 6);
    EXPECT_TRUE(Pressed(ID_TOOLBAR_TOOLS));
    EXPECT_FALSE(Pressed(ID_TOOLBAR_HELP));

    // Left panel up to the splitter, the 3-pixel bar, then the right panel, all below the toolbar.
    RECT toolbar = RectInParent(app->toolbar);
    RECT left = RectInParent(app->leftPanel.hwnd);
    RECT bar = RectInParent(app->splitterBar.hwnd);
    RECT right = RectInParent(app->rightPanel.hwnd);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(left.top, toolbar.bottom);
    EXPECT_EQ(left.right, 180);
    EXPECT_EQ(bar.left, 180);
    EXPECT_EQ(Width(bar), 3);
    EXPECT_EQ(right.left, 183);
    EXPECT_EQ(right.right, client.right);
    EXPECT_EQ(left.bottom, client.bottom);
    // The page fills the right panel.
    RECT page = RectInParent(settingsPage.hwnd);
    EXPECT_EQ(Width(page), Width(right));
    EXPECT_EQ(Height(page), Height(right));
}

TEST_F(MainWindow, HiddenStartShowsNothingUntilTheIconIsDoubleClicked)
{
    Saved([](CWiperSettings& s) { s.windowShowCmd = SW_HIDE; });
    Open();
    EXPECT_FALSE(Visible());

    DoubleClickIcon();
    EXPECT_TRUE(Visible());
    // Laid out on the first showing, though every earlier size change came while hidden.
    EXPECT_EQ(Width(RectInParent(app->leftPanel.hwnd)), wiperSettings.splitterPos);
    EXPECT_GT(Width(RectInParent(settingsPage.hwnd)), 0);

    // Asking to show a shown window never hides it, though the stored show command says hidden.
    Command(ID_TRAY_OPEN);
    EXPECT_TRUE(Visible());
}

TEST_F(MainWindow, ShowingAMinimisedStartRestoresAndNeverMinimisesAgain)
{
    Saved([](CWiperSettings& s) { s.windowShowCmd = SW_SHOWMINIMIZED; });
    Open();
    EXPECT_TRUE(IsIconic(window));
    Command(ID_TRAY_OPEN);
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(Visible());
    Command(ID_TRAY_OPEN);
    EXPECT_FALSE(IsIconic(window));
}

TEST_F(MainWindow, CloseHidesAndTheIconBringsTheWindowBack)
{
    Open();
    EXPECT_TRUE(CloseBox().empty());
    EXPECT_FALSE(Visible());
    EXPECT_TRUE(IsWindow(window));

    // Other icons' events and other mouse messages do nothing.
    NotifyIcon(WM_LBUTTONDBLCLK, {}, IDC_TRAY_ICON + 1);
    NotifyIcon(WM_LBUTTONUP);
    EXPECT_FALSE(Visible());

    DoubleClickIcon();
    EXPECT_TRUE(Visible());
}

TEST_F(MainWindow, UnappliedSettingsAskBeforeClosingOrSwitching)
{
    Open();
    ClickStartWithWindows();
    ASSERT_TRUE(StartWithWindowsChecked());

    // No: the window stays, and so do the edits.
    EXPECT_EQ(CloseBox({IDCANCEL}), std::vector<std::string>{kResetQuestion});
    EXPECT_TRUE(Visible());
    EXPECT_TRUE(StartWithWindowsChecked());

    EXPECT_EQ(ChooseTreeItem(PageDeleteFiles, {IDCANCEL}), std::vector<std::string>{kResetQuestion});
    EXPECT_EQ(app->currentPage, PageSettings);
    EXPECT_EQ(SelectedTreePage(), PageSettings);
    EXPECT_TRUE(IsWindowVisible(settingsPage.hwnd));
    EXPECT_TRUE(StartWithWindowsChecked());

    // The toolbar's Help asks too.
    EXPECT_EQ(Command(ID_TOOLBAR_HELP, {IDCANCEL}), std::vector<std::string>{kResetQuestion});
    EXPECT_EQ(app->leftPanel.pageSet, 0);

    // Yes: the edits are dropped and the switch goes ahead.
    EXPECT_EQ(ChooseTreeItem(PageDeleteFiles, {IDOK}), std::vector<std::string>{kResetQuestion});
    EXPECT_EQ(app->currentPage, PageDeleteFiles);
    EXPECT_TRUE(IsWindowVisible(searchPage.hwnd));
    EXPECT_FALSE(IsWindowVisible(settingsPage.hwnd));
    EXPECT_FALSE(StartWithWindowsChecked());

    // Without edits nothing is asked; Yes on close resets and hides.
    EXPECT_TRUE(ChooseTreeItem(PageSettings).empty());
    ClickStartWithWindows();
    EXPECT_EQ(CloseBox({IDOK}), std::vector<std::string>{kResetQuestion});
    EXPECT_FALSE(Visible());
    EXPECT_FALSE(StartWithWindowsChecked());
}

TEST_F(MainWindow, ToolbarAndTrayCommandsSwitchBetweenThePageSets)
{
    Open();
    Command(ID_TOOLBAR_HELP);
    EXPECT_EQ(app->leftPanel.pageSet, 1);
    EXPECT_EQ(TreeView_GetCount(app->leftPanel.tree), 3u);
    EXPECT_EQ(app->currentPage, PageAbout);
    EXPECT_TRUE(Pressed(ID_TOOLBAR_HELP));
    EXPECT_FALSE(Pressed(ID_TOOLBAR_TOOLS));
    // No page is left showing from the other set.
    EXPECT_FALSE(IsWindowVisible(settingsPage.hwnd));

    Command(ID_TOOLBAR_TOOLS);
    EXPECT_EQ(app->leftPanel.pageSet, 0);
    EXPECT_EQ(app->currentPage, PageSettings);
    EXPECT_TRUE(IsWindowVisible(settingsPage.hwnd));
    EXPECT_TRUE(Pressed(ID_TOOLBAR_TOOLS));

    // The tray's Help shows the hidden window on the help set's Help entry.
    CloseBox();
    ASSERT_FALSE(Visible());
    Command(ID_TRAY_HELP);
    EXPECT_TRUE(Visible());
    EXPECT_EQ(app->leftPanel.pageSet, 1);
    EXPECT_EQ(app->currentPage, PageHelp);
    EXPECT_EQ(SelectedTreePage(), PageHelp);
    EXPECT_TRUE(Pressed(ID_TOOLBAR_HELP));
    Command(ID_TRAY_CHECK_VERSION);
    EXPECT_EQ(app->currentPage, PageCheckUpdates);
    Command(ID_TRAY_ABOUT);
    EXPECT_EQ(app->currentPage, PageAbout);

    // A page that is not registered is taken but shows nothing; no id is refused.
    EXPECT_EQ(SendMessageW(window, WM_SHOW_PAGE, 0, 0), 1);
    EXPECT_EQ(SendMessageW(window, WM_SHOW_PAGE, 12345, 0), 0);
    EXPECT_EQ(app->currentPage, 12345);
}

TEST_F(MainWindow, LockHidesOnlyWhenProtectedAndThePasswordBringsItBack)
{
    Open();
    EXPECT_EQ(Command(ID_TOOLBAR_LOCK), std::vector<std::string>{std::string("Velmora: ") + kLockMessage});
    EXPECT_TRUE(Visible());
    EXPECT_EQ(Command(ID_TRAY_LOCK), std::vector<std::string>{std::string("Velmora: ") + kLockMessage});
    EXPECT_TRUE(Visible());

    Protect("open sesame");
    EXPECT_TRUE(Command(ID_TRAY_LOCK).empty());
    EXPECT_FALSE(Visible());

    // Cancel and a wrong password keep it hidden, and a later exit would store it hidden.
    EXPECT_TRUE(DoubleClickIconAnswering({""}).empty());
    EXPECT_FALSE(Visible());
    EXPECT_EQ(wiperSettings.windowShowCmd, SW_HIDE);
    EXPECT_EQ(DoubleClickIconAnswering({"open sesam", ""}), std::vector<std::string>{"Error: Wrong password."});
    EXPECT_FALSE(Visible());

    EXPECT_TRUE(DoubleClickIconAnswering({"open sesame"}).empty());
    EXPECT_TRUE(Visible());
    EXPECT_EQ(wiperSettings.windowShowCmd, SW_SHOWNORMAL);

    // A shown window is not asked for again.
    Command(ID_TRAY_OPEN);
    EXPECT_TRUE(Visible());
}

TEST_F(MainWindow, TheMinimumSizeFollowsThePageShown)
{
    Open();
    // At its smallest the window gives the page exactly its bounds, or its
    // template's size where this display's font makes that larger.
    SIZE search = searchPage.TemplateExtent();
    SIZE settings = settingsPage.TemplateExtent();
    ASSERT_GT(search.cx, 0);
    SIZE searchMinimum = {std::max<LONG>(530, search.cx), std::max<LONG>(520, search.cy)};
    SIZE settingsMinimum = {std::max<LONG>(480, settings.cx), std::max<LONG>(350, settings.cy)};
    auto pageRoom = [&] {
        RECT room;
        GetClientRect(app->rightPanel.hwnd, &room);
        return SIZE{room.right, room.bottom};
    };
    auto same = [](SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; };

    ChooseTreeItem(PageDeleteFiles);
    MoveWindow(window, 10, 10, 100, 100, TRUE);
    EXPECT_TRUE(same(pageRoom(), searchMinimum)) << pageRoom().cx << "x" << pageRoom().cy;

    ChooseTreeItem(PageSettings);
    MoveWindow(window, 10, 10, 100, 100, TRUE);
    EXPECT_TRUE(same(pageRoom(), settingsMinimum)) << pageRoom().cx << "x" << pageRoom().cy;

    // Showing a page that needs more room grows the window to it.
    ChooseTreeItem(PageDeleteFiles);
    EXPECT_TRUE(same(pageRoom(), searchMinimum)) << pageRoom().cx << "x" << pageRoom().cy;
}

// With no settings yet, the window has room for every page, whatever the display's dialog font.
TEST_F(MainWindow, TheFirstWindowHasRoomForEveryPage)
{
    Open();
    RECT room;
    GetClientRect(app->rightPanel.hwnd, &room);
    for (const auto& [id, page] : app->pages)
    {
        SIZE need = page->MinimumSize();
        EXPECT_GE(room.right, need.cx) << "page " << id;
        EXPECT_GE(room.bottom, need.cy) << "page " << id;
    }
}

// A change of theme (High Contrast Black here) reaches the common controls, which
// keep the old colours until told.
TEST_F(MainWindow, AChangeOfSystemColoursReachesEveryControl)
{
    Open();
    int told = 0;
    const int lists[] = {IDC_RESULTS, IDC_LOCATIONS};
    for (int id : lists)
        SetWindowSubclass(GetDlgItem(searchPage.hwnd, id), CountColourChanges, 1, (DWORD_PTR)&told);
    int toldOfTheChange = 0;
    {
        HighContrastBlack theme;
        PumpUntil([] { return false; }, 50);
        toldOfTheChange = told;
    }
    for (int id : lists)
        RemoveWindowSubclass(GetDlgItem(searchPage.hwnd, id), CountColourChanges, 1);
    EXPECT_EQ(toldOfTheChange, (int)std::size(lists));
}

TEST_F(MainWindow, SplitterSavedBeyondTheWindowIsPulledBackAndMovesThePanels)
{
    Saved([](CWiperSettings& s) { s.splitterPos = 5000; });
    Open();
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(RectInParent(app->splitterBar.hwnd).left, client.right - 6);
    EXPECT_EQ(RectInParent(app->leftPanel.hwnd).right, client.right - 6);
}

TEST_F(MainWindow, DraggingTheSplitterMovesBothPanelsAndThePage)
{
    Open();
    RECT left = RectInParent(app->leftPanel.hwnd);
    RECT right = RectInParent(app->rightPanel.hwnd);
    SendMessageW(window, WM_SPLITTER_MOVED, 0, 25);
    EXPECT_EQ(RectInParent(app->leftPanel.hwnd).right, left.right + 25);
    EXPECT_EQ(RectInParent(app->rightPanel.hwnd).left, right.left + 25);
    EXPECT_EQ(Width(RectInParent(settingsPage.hwnd)), Width(right) - 25);
    SendMessageW(window, WM_SPLITTER_MOVED, 0, -25);
    EXPECT_EQ(RectInParent(app->leftPanel.hwnd).right, left.right);
    EXPECT_EQ(Width(RectInParent(settingsPage.hwnd)), Width(right));
}

// The icon comes back whichever way the taskbar takes it again: when Explorer
// announces a new taskbar, or, at sign-in before there is one, by the retry.
TEST_F(MainWindow, TheIconIsAddedAgainWhenTheTaskbarComesBack)
{
    Open();
    NOTIFYICONDATAW data = TrayIconOf(window);
    data.uFlags = NIF_TIP;
    const std::pair<UINT, WPARAM> comebacks[] = {{RegisterWindowMessageW(L"TaskbarCreated"), 0},
                                                 {WM_TIMER, kTrayRetryTimer}};
    for (const auto& [message, wParam] : comebacks)
    {
        ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data));
        ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
        EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data));
        SendMessageW(window, message, wParam, 0);
        EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data)) << message;
    }
}

// The taskbar announces itself again after a change of scale too, keeping the
// icon: the icon is drawn again at the taskbar's size, and nothing is left retrying.
TEST_F(MainWindow, TheIconIsDrawnAgainAtTheTaskbarsSizeWhenTheTaskbarAnnouncesItself)
{
    Open();
    HICON before = app->trayIcon;
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_NE(app->trayIcon, before);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(app->trayIcon, &info));
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    const UINT taskbarDpi = TaskbarDpi();
    EXPECT_EQ(bitmap.bmWidth, taskbarDpi ? SmallIconSize(taskbarDpi) : GetSystemMetrics(SM_CXSMICON));
    EXPECT_FALSE(KillTimer(window, kTrayRetryTimer)) << "a retry still runs though the icon is there";
}

// Wine grants a named mutex whatever its access list says, so the elevated
// instance's mutex is told by the answer Windows gives.
TEST(SingleInstance, AMutexThisUserMayNotOpenMeansAnInstanceRuns)
{
    HANDLE mutex = reinterpret_cast<HANDLE>(1);
    EXPECT_TRUE(AnotherInstanceRuns(nullptr, ERROR_ACCESS_DENIED));
    EXPECT_TRUE(AnotherInstanceRuns(mutex, ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(AnotherInstanceRuns(mutex, ERROR_SUCCESS));
    EXPECT_FALSE(AnotherInstanceRuns(nullptr, ERROR_INVALID_HANDLE));
    // Only the elevated one is out of this process's reach, and must show itself.
    EXPECT_TRUE(RunningInstanceIsAbove(nullptr, ERROR_ACCESS_DENIED));
    EXPECT_FALSE(RunningInstanceIsAbove(mutex, ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(RunningInstanceIsAbove(nullptr, ERROR_INVALID_HANDLE));
}
