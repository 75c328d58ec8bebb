// What the user does with the rows: Find and Delete end to end, the Delete key,
// copying paths, saving the list, opening files and the context menu.
#include "tests/search_page/SearchPageFixture.h"

#include "engine/FileStamp.h"
#include "tests/support/TempFolder.h"

#include <thread>

namespace
{
std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
    {
        text = Narrow(static_cast<const wchar_t*>(GlobalLock(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}
}

TEST_F(SearchPage, DeleteMarksTheFilesOfTheSelectedRowsAfterASort)
{
    std::vector<FoundFile> rows;
    for (int i = 0; i < 12; i++)
        rows.push_back(Row(std::to_string(i) + ".dat", 12 - i, 0));
    SetRows(rows);
    ClickHeading(ColumnName);
    ClickHeading(ColumnN);
    ClickHeading(ColumnN);
    std::vector<std::string> numbers = ColumnTexts(ColumnN);
    ASSERT_EQ(std::vector<std::string>(numbers.begin(), numbers.begin() + 4),
              (std::vector<std::string>{"12", "11", "10", "9"}));
    Select(Results(), 0);
    Select(Results(), 2);

    EXPECT_EQ(ClickAndAnswer(IDC_DELETE), std::vector<std::string>{
                                              "Warning: Do you really want to delete selected file(s)?"});
    std::vector<int> flags(12, 0);
    flags[11] = flags[9] = 1;
    EXPECT_EQ(SelectedFlags(), flags);
    EXPECT_FALSE(page->OperationActive());

    // A sort moves the selection with the files, in either direction, and so does the focus.
    Focus(2);
    for (int round = 0; round < 2; round++)
    {
        ClickHeading(ColumnSize);
        EXPECT_EQ(SelectedNumbers(), (std::set<std::string>{"12", "10"})) << round;
        EXPECT_EQ(Cell(Results(), FocusedRow(), ColumnN), "10") << round;
    }
    EXPECT_EQ(SelectionText(), "Selected: 2 file(s), 4 bytes");
    ClickAndAnswer(IDC_DELETE);
    EXPECT_EQ(SelectedFlags(), flags);
}

TEST_F(SearchPage, DeleteIsEnabledAfterAnEmptyResultAndAsksForAFile)
{
    SetRows({});
    EXPECT_TRUE(Enabled(IDC_DELETE));
    EXPECT_EQ(ClickAndAnswer(IDC_DELETE), std::vector<std::string>{"Warning: Please select any file."});

    SetRows({Row("a", 1, 0)});
    EXPECT_EQ(ClickAndAnswer(IDC_DELETE), std::vector<std::string>{"Warning: Please select any file."});
    EXPECT_EQ(SelectedFlags(), std::vector<int>{0});
}

TEST_F(SearchPage, FindSearchesTheLocationsAndDeleteRemovesTheChosenFiles)
{
    TempFolder folder;
    folder.WriteFile("one.txt", "1");
    folder.WriteFile("two.txt", "22");
    folder.WriteFile("sub\\three.txt", "333");
    page->AddLocation(folder.Path().substr(0, folder.Path().size() - 1));
    Click(IDC_FIND);
    EXPECT_FALSE(Enabled(IDC_FIND));
    ASSERT_TRUE(PumpUntil([&] { return !page->OperationActive() && Enabled(IDC_FIND); }));
    ASSERT_TRUE(PumpUntil([] { return !FindWindowW(L"#32770", L"Files Searching"); }));
    EXPECT_TRUE(Enabled(IDC_DELETE));
    EXPECT_EQ(Text(IDC_TOTAL_LINE), "Total number of found files: 3");
    ASSERT_EQ(RowCount(Results()), 3);

    ClickHeading(ColumnName);
    ClickHeading(ColumnSize);
    ASSERT_EQ(Cell(Results(), 1, ColumnName), "two.txt");
    Select(Results(), 1);
    {
        DialogCloser closer({IDOK});
        Click(IDC_DELETE);
        EXPECT_FALSE(Enabled(IDC_DELETE));
        EXPECT_TRUE(PumpUntil([&] { return !page->OperationActive() && Enabled(IDC_DELETE); }));
        EXPECT_TRUE(PumpUntil([] { return !FindWindowW(L"#32770", L"Deleting Files"); }));
    }
    EXPECT_FALSE(FileExists(folder.Path() + "two.txt"));
    EXPECT_TRUE(FileExists(folder.Path() + "one.txt"));
    ASSERT_EQ(RowCount(Results()), 2);
    // The total line keeps the number found; the list holds what is left.
    EXPECT_EQ(Text(IDC_TOTAL_LINE), "Total number of found files: 3");
    EXPECT_NE(Cell(Results(), 0, ColumnName), "two.txt");
    EXPECT_NE(Cell(Results(), 1, ColumnName), "two.txt");
}

TEST_F(SearchPage, DeleteKeyAsksLikeTheButtonAndANewSearchStartsUnselected)
{
    SetRows(NumberedRows(3));
    ClickRow(1);
    {
        DialogCloser closer;
        PressListKey(VK_DELETE);
        std::vector<SeenPrompt> seen = closer.Stop();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].text, "Do you really want to delete selected file(s)?");
    }
    EXPECT_EQ(SelectedFlags(), (std::vector<int>{0, 1, 0}));

    // Disabled while an operation runs, as the button is.
    HoldDeletion();
    {
        DialogCloser closer;
        PressListKey(VK_DELETE);
        PressListKey('A', true);
        EXPECT_TRUE(closer.Stop().empty());
    }
    EXPECT_EQ(SelectedNumbers(), (std::set<std::string>{"2"}));
    ReleaseOperation();

    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kFolderMessage});
    EXPECT_EQ(SelectionText(), "Selected: 0 file(s)");
    EXPECT_TRUE(SelectedRows(Results()).empty());
}

TEST_F(SearchPage, RowsLeftByADeletionStaySelectedInTheirOrderWithTheirNumbers)
{
    TempFolder folder;
    folder.WriteFile("keep.txt", "1");
    folder.WriteFile("gone.txt", "22");
    std::string locked = folder.WriteFile("locked.txt", "333");
    SetFileAttributesW(LongPath(locked).c_str(), FILE_ATTRIBUTE_READONLY);
    page->AddLocation(folder.Path().substr(0, folder.Path().size() - 1));
    Click(IDC_FIND);
    ASSERT_TRUE(PumpUntil([&] { return !page->OperationActive() && Enabled(IDC_DELETE); }));
    ASSERT_TRUE(PumpUntil([] { return !FindWindowW(L"#32770", L"Files Searching"); }));
    SortBy(ColumnName, false);
    ASSERT_EQ(ColumnTexts(ColumnName), (std::vector<std::string>{"locked.txt", "keep.txt", "gone.txt"}));
    const std::vector<std::string> numbers = ColumnTexts(ColumnN);
    ClickRow(0);
    ClickRow(2, MK_CONTROL);
    {
        // Yes to the question, then skip the file that cannot be deleted.
        DialogCloser closer({IDOK, IDC_CHOICE_NO});
        Click(IDC_DELETE);
        EXPECT_TRUE(PumpUntil([&] { return !page->OperationActive() && Enabled(IDC_DELETE); }));
        EXPECT_TRUE(PumpUntil([] { return !FindWindowW(L"#32770", L"Deleting Files"); }));
    }
    SetFileAttributesW(LongPath(locked).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(FileExists(folder.Path() + "gone.txt"));
    ASSERT_EQ(RowCount(Results()), 2);
    // Still sorted as the heading says, each row with the number it was found under.
    EXPECT_EQ(ColumnTexts(ColumnName), (std::vector<std::string>{"locked.txt", "keep.txt"}));
    EXPECT_EQ(ColumnTexts(ColumnN), (std::vector<std::string>{numbers[0], numbers[1]}));
    std::vector<int> rows = SelectedRows(Results());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Cell(Results(), rows[0], ColumnName), "locked.txt");
    EXPECT_EQ(SelectionText(), "Selected: 1 file(s), 3 bytes");
    // The focused file went: the row that took its place has the focus.
    EXPECT_EQ(FocusedRow(), 1);
    ClickHeading(ColumnName);
    EXPECT_EQ(ColumnTexts(ColumnName), (std::vector<std::string>{"keep.txt", "locked.txt"}));
}

// Wine cannot make a file kept online only: the rows say so, as a search of a
// synced folder would have listed them.
TEST_F(SearchPage, FilesKeptOnlineOnlyAreAskedAboutOnceMoreAndSkippedOnRequest)
{
    const std::string question = "2 of the selected files are kept online only. Deleting them removes them from the "
                                 "cloud and from every device that syncs them.";
    const struct
    {
        int button;
        std::set<std::string> left;
    } cases[] = {
        {IDOK, {}},                                          // "Delete all"
        {IDC_CHOICE_YES_FOR_ALL, {"cloud1.txt", "cloud2.txt"}}, // "Skip them"
        {IDCANCEL, {"here.txt", "cloud1.txt", "cloud2.txt"}},   // "Cancel"
    };
    for (const auto& c : cases)
    {
        TempFolder folder;
        std::vector<FoundFile> rows;
        for (const char* name : {"here.txt", "cloud1.txt", "cloud2.txt"})
        {
            const std::string path = folder.WriteFile(name, name);
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data);
            FoundFile row = Row(name, 0, 0, folder.Path());
            RecordSeen(row, data, 0);
            if (name[0] == 'c')
                row.kind |= kKindOnlineOnly;
            rows.push_back(row);
        }
        SetRows(rows);
        PressListKey('A', true);
        std::vector<SeenPrompt> seen;
        {
            DialogCloser closer({IDOK, c.button});
            Click(IDC_DELETE);
            PumpUntil([&] { return !page->OperationActive() && Enabled(IDC_DELETE); });
            PumpUntil([] { return !FindWindowW(L"#32770", L"Deleting Files"); });
            seen = closer.Stop();
        }
        ASSERT_EQ(seen.size(), 2u) << c.button;
        EXPECT_EQ(seen[1].caption, "Warning");
        EXPECT_EQ(seen[1].text, question);
        std::set<std::string> left;
        for (const char* name : {"here.txt", "cloud1.txt", "cloud2.txt"})
        {
            if (FileExists(folder.Path() + name))
                left.insert(name);
        }
        EXPECT_EQ(left, c.left) << c.button;
        // What was not deleted stays listed and selected.
        std::set<std::string> selected;
        for (int row : SelectedRows(Results()))
            selected.insert(Cell(Results(), row, ColumnName));
        EXPECT_EQ(selected, c.left) << c.button;
        EXPECT_EQ(RowCount(Results()), (int)c.left.size()) << c.button;
    }
}

TEST_F(SearchPage, CopyPathPutsTheSelectedPathsInShownOrder)
{
    std::vector<FoundFile> rows = {Row("b.txt", 1, 0), Row("\xE6\x97\xA5\xE6\x9C\xAC.txt", 2, 0),
                                   Row("a.txt", 3, 0, "C:\\other\\")};
    SetRows(rows);
    SortBy(ColumnName);
    PressListKey('A', true);
    PressListKey('C', true);
    EXPECT_EQ(ClipboardText(), "C:\\other\\a.txt\r\nC:\\data\\b.txt\r\nC:\\data\\\xE6\x97\xA5\xE6\x9C\xAC.txt");
    ClickRow(0);
    Command(ID_RESULTS_COPY_PATH);
    EXPECT_EQ(ClipboardText(), "C:\\other\\a.txt");
}

TEST_F(SearchPage, SaveListWritesEveryRowAsCsvInShownOrder)
{
    TempFolder folder;
    std::vector<FoundFile> rows = {Row("plain.txt", 10, SecondOfJanuary2nd()),
                                   Row("a, \"quoted\".doc", 5368709120ull, SecondOfJanuary2nd(), "C:\\\xD0\xB4\xD0\xB0\xD0\xBD\xD1\x96\\")};
    SetRows(rows);
    SortBy(ColumnSize, false);
    DialogDriver driver("Save As", [&](HWND dialog) {
        // The file name box: edt1, or the combo box cmb13 of newer dialogs.
        HWND name = GetDlgItem(dialog, 0x480);
        if (!name)
            name = GetDlgItem(dialog, 0x47c);
        EXPECT_EQ(GetWindowTextUtf8(name), "Velmora results.csv");
        SetWindowTextW(name, Widen(folder.Path() + "list.csv").c_str());
        ClickButton(dialog, IDOK);
    });
    Command(ID_RESULTS_SAVE_LIST);
    EXPECT_EQ(ReadWholeFile(folder.Path() + "list.csv"),
              "\xEF\xBB\xBFN,Name,Type,Location,Size,Date,Path\r\n"
              "2,\"a, \"\"quoted\"\".doc\",doc,C:\\\xD0\xB4\xD0\xB0\xD0\xBD\xD1\x96\\,5368709120,01/02/24 10:00:00,"
              "\"C:\\\xD0\xB4\xD0\xB0\xD0\xBD\xD1\x96\\a, \"\"quoted\"\".doc\"\r\n"
              "1,plain.txt,txt,C:\\data\\,10,01/02/24 10:00:00,C:\\data\\plain.txt\r\n");
}

TEST_F(SearchPage, FailuresOfTheRowCommandsAreReportedAndLeaveNothingBehind)
{
    TempFolder folder;
    SetRows({Row("missing.txt", 1, 0, folder.Path() + "nowhere\\")});
    // A folder stands where the list should go: it cannot be replaced.
    CreateDirectoryW(LongPath(folder.Path() + "list.csv").c_str(), nullptr);
    {
        DialogCloser closer;
        EXPECT_FALSE(page->ResultView().SaveList(folder.Path() + "list.csv"));
        std::vector<SeenPrompt> seen = closer.Stop();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, "Error");
        EXPECT_EQ(seen[0].text.rfind("Could not open file \"" + folder.Path() + "list.csv\", open error ", 0), 0u);
    }
    EXPECT_FALSE(FileExists(folder.Path() + "list.csv.part"));

    ClickRow(0);
    DialogCloser closer;
    Command(ID_RESULTS_OPEN_FOLDER);
    Command(ID_RESULTS_OPEN);
    std::vector<SeenPrompt> seen = closer.Stop();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, "Could not show \"" + folder.Path() + "nowhere\\missing.txt\" in its folder.");
    EXPECT_EQ(seen[1].text, "Could not open \"" + folder.Path() + "nowhere\\missing.txt\".");
}

TEST_F(SearchPage, ContextMenuOffersTheRowCommandsAndGreysThemDuringAnOperation)
{
    SetRows(NumberedRows(2));
    ClickRow(1);
    auto menuItems = [&] {
        std::vector<std::string> items;
        std::thread reader([&] {
            for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(20))
            {
                HWND popup = FindWindowW(L"#32768", nullptr);
                HMENU menu = popup ? (HMENU)SendMessageW(popup, MN_GETHMENU, 0, 0) : nullptr;
                if (!menu)
                    continue;
                for (int i = 0; i < GetMenuItemCount(menu); i++)
                {
                    wchar_t text[64] = {};
                    GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
                    bool grey = GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED;
                    if (text[0])
                        items.push_back(Narrow(text) + (grey ? " (grey)" : ""));
                }
                PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
                return;
            }
        });
        // Shift+F10 and the menu key both come as a context-menu message without a point.
        SendMessageW(Results(), WM_CONTEXTMENU, (WPARAM)Results(), MAKELPARAM(-1, -1));
        reader.join();
        return items;
    };
    EXPECT_EQ(menuItems(),
              (std::vector<std::string>{"&Open", "Open &folder", "&Copy path", "Select &all", "S&kip this folder",
                                        "&Sort by", "Sa&ve list...", "Open deletion &record"}));
    HoldDeletion();
    // Sorting changes no file: it stays offered, as the headings stay clickable.
    EXPECT_EQ(menuItems(), (std::vector<std::string>{"&Open (grey)", "Open &folder (grey)", "&Copy path (grey)",
                                                     "Select &all (grey)", "S&kip this folder (grey)", "&Sort by",
                                                     "Sa&ve list... (grey)", "Open deletion &record (grey)"}));
    ReleaseOperation();
    // With no record yet, the command says so.
    DialogCloser closer;
    Command(ID_RESULTS_OPEN_RECORD);
    const std::vector<SeenPrompt> seen = closer.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Warning");
    EXPECT_EQ(seen[0].text, "No file has been deleted yet.");
}

// "Skip this folder" takes the selected rows' folders into "Skip folders", each
// once, and every row in or below them leaves the list; the files stay.
TEST_F(SearchPage, SkipThisFolderDropsTheRowsInAndBelowTheChosenFolders)
{
    SetRows({Row("a.log", 1, 1, "C:\\data\\"), Row("b.log", 2, 2, "C:\\other\\"), Row("c.log", 3, 3, "c:\\DATA\\deep\\"),
             Row("d.log", 4, 4, "C:\\data\\"), Row("e.log", 5, 5, "C:\\database\\")});
    SetText(IDC_SKIP_FOLDERS, "node_modules");
    ClickRow(0);
    ClickRow(3, MK_CONTROL);
    Command(ID_RESULTS_SKIP_FOLDER);
    EXPECT_EQ(ColumnTexts(ColumnName), (std::vector<std::string>{"b.log", "e.log"}));
    EXPECT_EQ(Text(IDC_SKIP_FOLDERS), "node_modules;C:\\data\\");
    EXPECT_EQ(page->Found().Selection().files, 0u);
}
