// The exit sequence: what Exit, a close and the end of the Windows session store and stop.
#include "tests/shell/MainWindowFixture.h"

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
        return PumpUntil([] { return searchPage.RunningOperation() == Operation::Search; });
    };

    ASSERT_TRUE(find());
    std::vector<std::string> asked = Command(ID_TOOLBAR_EXIT, {IDCANCEL});
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked[0], kSearchQuestion);
    EXPECT_TRUE(IsWindow(window));
    // No: the search goes on to its end, past the limit's message.
    {
        DialogCloser limit;
        EXPECT_TRUE(PumpUntil([] { return searchPage.RunningOperation() == Operation::None; }));
    }
    EXPECT_EQ(searchPage.Found().FoundCount(), 100000u);

    ASSERT_TRUE(find());
    asked = Command(ID_TOOLBAR_EXIT, {IDOK});
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked[0], kSearchQuestion);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(FileExists(wiperSettings.FilePath()));
    {
        DialogCloser rest;
        EXPECT_TRUE(PumpUntil([] { return searchPage.RunningOperation() == Operation::None; }));
    }
    // Stopped early.
    EXPECT_LT(searchPage.Found().FoundCount(), 100000u);
}
