// The exit sequence: what Exit, a close and the end of the Windows session store and stop.
#include "tests/shell/MainWindowFixture.h"

#include <set>

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

namespace
{
void AgeFile(const std::string& path, int days)
{
    HANDLE file = CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER when = {{now.dwLowDateTime, now.dwHighDateTime}};
    when.QuadPart -= days * 86400ull * 10000000ull;
    FILETIME aged = {when.LowPart, when.HighPart};
    SetFileTime(file, nullptr, nullptr, &aged);
    CloseHandle(file);
}

std::set<std::string> FoundNames()
{
    std::set<std::string> names;
    SearchResults::Reading rows(searchPage.Found());
    for (const FoundFile& row : rows.Rows())
        names.insert(std::string(row.Name()));
    return names;
}
}

// A search with an age and a folder to skip is there again at the next start,
// and Find, with no control touched, finds the same files. A kept file that
// cannot be read gives the first state and is kept aside, not written over.
TEST_F(MainWindow, TheLastSearchComesBackAtTheNextStart)
{
    const std::string data = folder.Path() + "data";
    for (const char* name : {"\\old.log", "\\new.log", "\\cache\\old.log", "\\keep\\old.log"})
        folder.WriteFile("data" + std::string(name), "x");
    for (const char* name : {"\\old.log", "\\cache\\old.log", "\\keep\\old.log"})
        AgeFile(data + name, 40);
    auto find = [&] {
        DialogCloser closer({IDOK});
        SendMessageW(GetDlgItem(searchPage.hwnd, IDC_FIND), BM_CLICK, 0, 0);
        EXPECT_TRUE(PumpUntil([] { return searchPage.RunningOperation() == Operation::None; }));
        return FoundNames();
    };
    const std::set<std::string> old = {"old.log"};

    Open();
    ChooseTreeItem(PageDeleteFiles);
    ASSERT_TRUE(searchPage.AddLocation(data));
    SendDlgItemMessageW(searchPage.hwnd, IDC_DATE_CONDITION, CB_SETCURSEL, 5, 0);
    SendMessageW(searchPage.hwnd, WM_COMMAND, MAKEWPARAM(IDC_DATE_CONDITION, CBN_SELCHANGE), 0);
    SetDlgItemTextW(searchPage.hwnd, IDC_AGE_AMOUNT, L"30");
    SetDlgItemTextW(searchPage.hwnd, IDC_SKIP_FOLDERS, L" CACHE ;");
    ASSERT_EQ(find(), old);
    ASSERT_EQ(searchPage.Found().RowCount(), 2u);
    Command(ID_TOOLBAR_EXIT);
    ASSERT_FALSE(IsWindow(window));

    // As a new process would start: the page object outlives its window here.
    searchPage.Found().Clear();
    Open();
    ChooseTreeItem(PageDeleteFiles);
    EXPECT_EQ(find(), old);
    EXPECT_EQ(searchPage.Found().RowCount(), 2u);
    CloseMainWindow(app);

    const std::string kept = folder.Path() + "last search.txt";
    const std::string damaged = "Velmora search, version 1\r\nlocation=C:\\\r\nage=0\r\n";
    folder.WriteFile("last search.txt", damaged);
    Open();
    EXPECT_TRUE(searchPage.Locations().empty());
    Command(ID_TOOLBAR_EXIT);
    EXPECT_EQ(ReadWholeFile(kept + ".unreadable"), damaged);
    EXPECT_NE(ReadWholeFile(kept).find("date condition=any"), std::string::npos);
}
