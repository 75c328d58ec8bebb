#include "shell/CWindowMain.h"

#include "engine/WorkerMessages.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/CCheckPassword.h"
#include "shell/CWiperApp.h"
#include "shell/Globals.h"
#include "shell/ShellMessages.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
const char kLockMessage[] = "To lock the program, you need to turn on 'Protect with password' option!";
const char kResetQuestion[] = "Warning: You didn't apply any changes. Do you want to reset them?";
const char kSearchQuestion[] = "Files Searching:  Searching is in progress. Do you really want to exit?";

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

int Width(const RECT& rect)
{
    return rect.right - rect.left;
}

int Height(const RECT& rect)
{
    return rect.bottom - rect.top;
}

// Answers the password prompt once it shows: each attempt is typed and confirmed,
// and an empty one cancels with Escape.
void AnswerPassword(HWND prompt, const std::vector<std::string>& attempts)
{
    if (!prompt)
        return;
    for (const std::string& attempt : attempts)
    {
        if (attempt.empty())
        {
            PressKey(prompt, VK_ESCAPE);
            return;
        }
        SetDlgItemTextW(prompt, IDC_ENTERED_PASSWORD, Widen(attempt).c_str());
        ClickButton(prompt, IDOK);
        if (&attempt == &attempts.back())
            return;
        // A wrong password is told in a message; the prompt stays for the next attempt.
        HWND error = WaitForDialog("Error");
        while (error && IsWindowVisible(error))
            Sleep(10);
    }
}

class MainWindow : public testing::Test
{
protected:
    TempFolder folder;
    std::unique_ptr<CWindowMain> app;
    HWND window = nullptr;

    void SetUp() override
    {
        wiperSettings.SetDefaults();
        wiperSettings.locations.clear();
        wiperSettings.foundFiles.clear();
        wiperSettings.foundCount = 0;
        wiperSettings.installFolder = folder.Path();
        wiperSettings.settingsFolder.clear();
    }

    void TearDown() override
    {
        if (app && app->hwnd)
        {
            NOTIFYICONDATAW data = {};
            data.cbSize = sizeof(data);
            data.hWnd = window;
            data.uID = IDC_TRAY_ICON;
            Shell_NotifyIconW(NIM_DELETE, &data);
            app->DestroyWindow();
        }
        // The main window ends the thread's message loop when it goes.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        {
        }
        app.reset();
    }

    // settings.dat as an earlier run left it.
    void Saved(const std::function<void(CWiperSettings&)>& change)
    {
        CWiperSettings saved;
        saved.SetDefaults();
        saved.installFolder = folder.Path();
        change(saved);
        ASSERT_TRUE(saved.Save());
    }

    PersistedSettings LoadedBack() const
    {
        CWiperSettings loaded;
        loaded.installFolder = folder.Path();
        loaded.Load();
        return loaded;
    }

    void Open()
    {
        // Start-up loads the rich edit control the update page uses.
        ASSERT_NE(LoadLibraryW(L"riched20.dll"), nullptr);
        ASSERT_TRUE(CWnd::RegisterDialogClass(L"Velmora", nullptr));
        app = std::make_unique<CWindowMain>();
        ASSERT_TRUE(app->Create({.className = L"Velmora", .title = CWindowMain::title, .style = WS_OVERLAPPEDWINDOW}));
        window = app->hwnd;
        ASSERT_EQ(app->SetUp(), 1);
        PumpUntil([] { return false; }, 50);
    }

    // Sends a command as the toolbar or the tray menu does; returns the prompts it raised.
    std::vector<std::string> Command(int id, std::vector<int> answers = {})
    {
        DialogCloser closer(answers);
        SendMessageW(window, WM_COMMAND, id, 0);
        return Texts(closer.Stop());
    }

    std::vector<std::string> CloseBox(std::vector<int> answers = {})
    {
        DialogCloser closer(answers);
        SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        PumpUntil([] { return false; }, 50);
        return Texts(closer.Stop());
    }

    std::vector<std::string> ChooseTreeItem(PageId id, std::vector<int> answers = {})
    {
        DialogCloser closer(answers);
        TreeView_SelectItem(app->leftPanel.tree, app->leftPanel.items[id]);
        return Texts(closer.Stop());
    }

    static std::vector<std::string> Texts(const std::vector<SeenPrompt>& prompts)
    {
        std::vector<std::string> texts;
        for (const SeenPrompt& prompt : prompts)
            texts.push_back(prompt.caption + ": " + prompt.text);
        return texts;
    }

    void DoubleClickIcon() { SendMessageW(window, WM_TRAY_NOTIFY, IDC_TRAY_ICON, WM_LBUTTONDBLCLK); }

    // Double-clicks the icon while a helper answers the password prompt; returns
    // the messages shown on the way.
    std::vector<std::string> DoubleClickIconAnswering(const std::vector<std::string>& attempts)
    {
        DialogCloser errors;
        {
            DialogDriver driver("Enter password", [&](HWND prompt) { AnswerPassword(prompt, attempts); });
            DoubleClickIcon();
        }
        return Texts(errors.Stop());
    }

    void Protect(const std::string& password)
    {
        wiperSettings.passwordProtected = 1;
        wiperSettings.SetPassword(password);
    }

    bool Visible() const { return IsWindowVisible(window) != 0; }
    PageId SelectedTreePage() const
    {
        TVITEMW item = {};
        item.mask = TVIF_PARAM;
        item.hItem = TreeView_GetSelection(app->leftPanel.tree);
        TreeView_GetItem(app->leftPanel.tree, &item);
        return static_cast<PageId>(item.lParam);
    }
    bool Pressed(int id) const { return SendMessageW(app->toolbar, TB_ISBUTTONPRESSED, id, 0) != 0; }
    bool StartWithWindowsChecked() const
    {
        return IsDlgButtonChecked(settingsPage.hwnd, IDC_START_WITH_WINDOWS) == BST_CHECKED;
    }
    void ClickStartWithWindows()
    {
        SendMessageW(GetDlgItem(settingsPage.hwnd, IDC_START_WITH_WINDOWS), BM_CLICK, 0, 0);
    }
};
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
    SendMessageW(window, WM_TRAY_NOTIFY, IDC_TRAY_ICON + 1, WM_LBUTTONDBLCLK);
    SendMessageW(window, WM_TRAY_NOTIFY, IDC_TRAY_ICON, WM_LBUTTONUP);
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

TEST_F(MainWindow, ExitStoresThePlacementAndEnds)
{
    Open();
    MoveWindow(window, 33, 44, 800, 650, TRUE);
    // A drag of 20 pixels: the bar moves itself, the window moves the panels.
    RECT bar = RectInParent(app->splitterBar.hwnd);
    app->splitterBar.MoveBy(bar.left + 20 + 1, 0);
    SendMessageW(window, WM_SPLITTER_MOVED, 0, 20);
    Command(ID_TOOLBAR_EXIT);
    EXPECT_FALSE(IsWindow(window));

    PersistedSettings saved = LoadedBack();
    EXPECT_EQ(saved.windowLeft, 33);
    EXPECT_EQ(saved.windowTop, 44);
    EXPECT_EQ(saved.windowWidth, 800);
    EXPECT_EQ(saved.windowHeight, 650);
    EXPECT_EQ(saved.windowShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(saved.splitterPos, 160);
}

TEST_F(MainWindow, ExitWhileHiddenStoresAHiddenStart)
{
    Open();
    CloseBox();
    Command(ID_TRAY_EXIT);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(LoadedBack().windowShowCmd, SW_HIDE);
}

TEST_F(MainWindow, ExitWithUnappliedSettingsAsksFirst)
{
    Open();
    ClickStartWithWindows();
    EXPECT_EQ(Command(ID_TOOLBAR_EXIT, {IDCANCEL}), std::vector<std::string>{kResetQuestion});
    EXPECT_TRUE(IsWindow(window));
    // From outside there is no question.
    EXPECT_TRUE(Command(ID_EXIT_NOW).empty());
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(MainWindow, CloseAtOnceWritesNoSettingsFile)
{
    Open();
    Command(ID_CLOSE_AT_ONCE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(FileExists(wiperSettings.FilePath()));
}

// Windows ends the session whatever the program answers: nothing may wait for the user.
TEST_F(MainWindow, TheEndOfTheSessionSavesAndEndsAndACancelledOneChangesNothing)
{
    Open();
    MoveWindow(window, 33, 44, 800, 650, TRUE);
    std::vector<std::string> shown;
    {
        DialogCloser closer;
        SendMessageW(window, WM_ENDSESSION, FALSE, 0);
        shown = Texts(closer.Stop());
    }
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(FileExists(wiperSettings.FilePath()));

    {
        DialogCloser closer;
        SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        shown = Texts(closer.Stop());
    }
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(LoadedBack().windowLeft, 33);
}

TEST_F(MainWindow, ASaveThatFailsAtTheEndOfTheSessionIsNotShown)
{
    Saved([](CWiperSettings&) {});
    ASSERT_TRUE(SetFileAttributesW(Widen(wiperSettings.FilePath()).c_str(), FILE_ATTRIBUTE_READONLY));
    Open();
    std::vector<std::string> shown;
    {
        DialogCloser closer;
        SendMessageW(window, WM_ENDSESSION, TRUE, 0);
        shown = Texts(closer.Stop());
    }
    SetFileAttributesW(Widen(wiperSettings.FilePath()).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(MainWindow, ExitDuringASearchAsksAndOnlyYesStopsIt)
{
    Open();
    ChooseTreeItem(PageDeleteFiles);
    ASSERT_TRUE(FileExists(FixtureTrees() + "\\big\\readme.txt")) << "the large trees are made before the tests";
    ASSERT_TRUE(searchPage.AddLocation(FixtureTrees() + "\\big"));
    auto find = [&] {
        SendMessageW(GetDlgItem(searchPage.hwnd, IDC_FIND), BM_CLICK, 0, 0);
        return PumpUntil([] { return wiperSettings.runningOperation == Operation::Search; });
    };

    ASSERT_TRUE(find());
    std::vector<std::string> asked = Command(ID_TOOLBAR_EXIT, {IDCANCEL});
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked[0], kSearchQuestion);
    EXPECT_TRUE(IsWindow(window));
    // No: the search goes on to its end, past the limit's message.
    {
        DialogCloser limit;
        EXPECT_TRUE(PumpUntil([] { return wiperSettings.runningOperation == Operation::None; }));
    }
    EXPECT_EQ(wiperSettings.foundCount, 100000u);

    ASSERT_TRUE(find());
    asked = Command(ID_TOOLBAR_EXIT, {IDOK});
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked[0], kSearchQuestion);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(FileExists(wiperSettings.FilePath()));
    {
        DialogCloser rest;
        EXPECT_TRUE(PumpUntil([] { return wiperSettings.runningOperation == Operation::None; }));
    }
    // Stopped early.
    EXPECT_LT(wiperSettings.foundCount, 100000u);
}

TEST_F(MainWindow, TheIconIsAddedAgainWhenTheTaskbarComesBack)
{
    Open();
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = IDC_TRAY_ICON;
    data.uFlags = NIF_TIP;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data));
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data));
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data));
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
}
