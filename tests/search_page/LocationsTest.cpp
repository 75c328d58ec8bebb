// The locations list: Add, Remove and Empty list, and their buttons.
#include "tests/search_page/SearchPageFixture.h"

#include "tests/support/TempFolder.h"

#include <shlobj.h>

namespace
{
std::string SelectedTreeText(HWND tree)
{
    wchar_t text[MAX_PATH] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (!item.hItem || !SendMessageW(tree, TVM_GETITEMW, 0, (LPARAM)&item))
        return std::string();
    return Narrow(text);
}
}

TEST_F(SearchPage, AddRefusesOnlyTheExactSamePath)
{
    EXPECT_TRUE(page->AddLocation("C:\\Data"));
    EXPECT_TRUE(Enabled(IDC_FIND));
    EXPECT_TRUE(Enabled(IDC_EMPTY_LIST));
    EXPECT_FALSE(Enabled(IDC_REMOVE));
    {
        DialogCloser closer;
        EXPECT_FALSE(page->AddLocation("C:\\Data"));
        std::vector<SeenPrompt> seen = closer.Stop();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, "Warning");
        EXPECT_EQ(seen[0].text, "This folder is already in list");
    }
    EXPECT_TRUE(page->AddLocation("c:\\data"));
    EXPECT_TRUE(page->AddLocation("C:\\Data\\"));
    EXPECT_EQ(page->Locations(), (std::vector<std::string>{"C:\\Data", "c:\\data", "C:\\Data\\"}));
    HWND list = Item(IDC_LOCATIONS);
    ASSERT_EQ(RowCount(list), 3);
    EXPECT_EQ(Cell(list, 2, 0), "3");
    EXPECT_EQ(Cell(list, 1, 1), "c:\\data");
}

TEST_F(SearchPage, AddTakesTheFolderChosenInTheBrowser)
{
    TempFolder folder;
    std::string path = folder.Path().substr(0, folder.Path().size() - 1);
    std::string title;
    auto chooseAndAccept = [&](HWND browser) {
        if (!browser)
            return;
        title = GetWindowTextUtf8(browser);
        // Windows takes the path typed into the "Folder:" box, Wine the folder chosen in the tree.
        std::wstring widePath = Widen(path);
        HWND edit = FindWindowExW(browser, nullptr, L"Edit", nullptr);
        SendMessageW(edit, WM_SETTEXT, 0, (LPARAM)widePath.c_str());
        // The tree may still be filling when the browser shows: choose until it holds the folder.
        HWND tree = FindWindowExW(browser, nullptr, WC_TREEVIEWW, nullptr);
        std::string name = path.substr(path.rfind('\\') + 1);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 10000 && SelectedTreeText(tree) != name;)
        {
            SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, (LPARAM)widePath.c_str());
            Sleep(50);
        }
        ClickButton(browser, IDOK);
    };
    std::vector<std::string> prompts;
    for (int round = 0; round < 2; round++)
    {
        DialogDriver driver("Browse for Folder", chooseAndAccept);
        prompts = ClickAndAnswer(IDC_ADD);
    }
    EXPECT_EQ(title, "Browse for Folder");
    EXPECT_EQ(page->Locations(), std::vector<std::string>{path});
    EXPECT_EQ(prompts, std::vector<std::string>{"Warning: This folder is already in list"});
}

TEST_F(SearchPage, RemoveTakesTheSelectedLocationsAndRenumbers)
{
    for (const char* path : {"C:\\1", "C:\\2", "C:\\3", "C:\\4", "C:\\5"})
        page->AddLocation(path);
    HWND list = Item(IDC_LOCATIONS);
    Select(list, 1);
    Select(list, 3);
    EXPECT_TRUE(Enabled(IDC_REMOVE));

    EXPECT_EQ(ClickAndAnswer(IDC_REMOVE),
              std::vector<std::string>{"Warning: Do you want to remove 2 item(s) from list?"});
    EXPECT_EQ(page->Locations().size(), 5u);

    ClickAndAnswer(IDC_REMOVE, {IDOK});
    EXPECT_EQ(page->Locations(), (std::vector<std::string>{"C:\\1", "C:\\3", "C:\\5"}));
    ASSERT_EQ(RowCount(list), 3);
    EXPECT_EQ(Cell(list, 2, 0), "3");
    EXPECT_EQ(Cell(list, 2, 1), "C:\\5");
    EXPECT_FALSE(Enabled(IDC_REMOVE));
}

TEST_F(SearchPage, EmptyListAsksAndThenLeavesOnlyFindEnabled)
{
    page->AddLocation("C:\\1");
    page->AddLocation("C:\\2");
    Select(Item(IDC_LOCATIONS), 0);
    EXPECT_EQ(ClickAndAnswer(IDC_EMPTY_LIST), std::vector<std::string>{"Warning: Do you want to empty list?"});
    EXPECT_EQ(page->Locations().size(), 2u);

    ClickAndAnswer(IDC_EMPTY_LIST, {IDOK});
    EXPECT_TRUE(page->Locations().empty());
    EXPECT_EQ(RowCount(Item(IDC_LOCATIONS)), 0);
    EXPECT_FALSE(Enabled(IDC_EMPTY_LIST));
    EXPECT_FALSE(Enabled(IDC_REMOVE));
    EXPECT_TRUE(Enabled(IDC_FIND));
}

TEST_F(SearchPage, NoSearchCanStartBesideARunningDeletion)
{
    SetRows({Row("a.txt", 1, 0)});
    Select(Results(), 0);
    HoldDeletion();
    page->AddLocation("C:\\1");
    Select(Item(IDC_LOCATIONS), 0);
    EXPECT_FALSE(Enabled(IDC_FIND));
    EXPECT_FALSE(Enabled(IDC_REMOVE));
    EXPECT_FALSE(Enabled(IDC_EMPTY_LIST));
    ReleaseOperation();
}
