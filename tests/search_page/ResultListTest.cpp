// The result list: its place on the page, its rows and their texts, sorting,
// the selection and its total, and the headings' tooltips.
#include "tests/search_page/SearchPageFixture.h"

#include <cstdlib>

namespace
{
struct ToolSearch
{
    HWND header;
    HWND found;
};

// The tooltip of ours among the list's: the one with a tool for the heading's first column.
BOOL CALLBACK FindHeadingToolTipWindow(HWND window, LPARAM param)
{
    ToolSearch* search = reinterpret_cast<ToolSearch*>(param);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = search->header;
    info.uId = 1;
    if (lstrcmpiW(className, TOOLTIPS_CLASSW) == 0 && SendMessageW(window, TTM_GETTOOLINFOW, 0, (LPARAM)&info))
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindHeadingToolTip(HWND header)
{
    ToolSearch search = {header, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindHeadingToolTipWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct Tool
{
    RECT rect = {};
    std::string text;
    bool found = false;
};

Tool GetTool(HWND toolTip, HWND header, UINT id)
{
    Tool tool;
    wchar_t text[100] = {};
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = header;
    info.uId = id;
    info.lpszText = text;
    tool.found = SendMessageW(toolTip, TTM_GETTOOLINFOW, 0, (LPARAM)&info) != 0;
    tool.rect = info.rect;
    tool.text = Narrow(text);
    return tool;
}
}

TEST_F(SearchPage, ResizingPlacesTheResultArea)
{
    auto place = [&](int id) { return RectInParent(Item(id)); };
    RECT page = {};
    MoveWindow(window, 0, 0, 600, 600, TRUE);
    GetClientRect(window, &page);
    const RECT frame = place(IDC_RESULTS_FRAME), list = place(IDC_RESULTS), button = place(IDC_DELETE),
               total = place(IDC_TOTAL_LINE);
    RECT overlap = {};
    // The frame fills the page below the criteria and holds the list and the bottom row.
    for (const RECT& part : {list, button, total})
    {
        EXPECT_TRUE(part.left >= frame.left && part.right <= frame.right && part.top >= frame.top &&
                    part.bottom <= frame.bottom);
        EXPECT_FALSE(IntersectRect(&overlap, &part, &list) && !EqualRect(&part, &list));
    }
    EXPECT_TRUE(frame.left >= 0 && frame.right <= page.right && frame.bottom <= page.bottom);
    EXPECT_LE(page.right - frame.right, 10);
    EXPECT_LE(page.bottom - frame.bottom, 15);
    // Delete at the right end of the bottom row, in line with the list's right edge;
    // the total line at its left end, in line with the list's left edge.
    EXPECT_FALSE(IntersectRect(&overlap, &button, &total));
    EXPECT_EQ(button.top, total.top);
    EXPECT_LE(std::abs(button.right - list.right), 2);
    EXPECT_EQ(total.left, list.left);
    EXPECT_GE(button.top, list.bottom);

    // What the page grows by goes to the list; the criteria above stay where they are.
    MoveWindow(window, 0, 0, 700, 680, TRUE);
    const RECT wider = place(IDC_RESULTS), moved = place(IDC_DELETE);
    EXPECT_EQ(wider.top, list.top);
    EXPECT_EQ(wider.right - list.right, 100);
    EXPECT_EQ(wider.bottom - list.bottom, 80);
    EXPECT_EQ(moved.left - button.left, 100);
    EXPECT_EQ(moved.top - button.top, 80);
    EXPECT_EQ(place(IDC_RESULTS_FRAME).top, frame.top);
}

TEST_F(SearchPage, RefreshListsEachRowWithTheTextsOfItsColumns)
{
    SetRows({Row("big.iso", 5368709120ull, SecondOfJanuary2nd()), Row("small.txt", 9, 2)});

    ASSERT_EQ(RowCount(Results()), 2);
    EXPECT_EQ(Cell(Results(), 0, 0), "1");
    EXPECT_EQ(Cell(Results(), 0, 1), "big.iso");
    EXPECT_EQ(Cell(Results(), 0, 2), "iso");
    EXPECT_EQ(Cell(Results(), 0, 3), "C:\\data\\");
    EXPECT_EQ(Cell(Results(), 0, 4), "5368709120");
    EXPECT_EQ(Cell(Results(), 0, 5), "01/02/24 10:00:00");
    EXPECT_EQ(Cell(Results(), 1, 0), "2");
    EXPECT_EQ(Text(IDC_TOTAL_LINE), "Total number of found files: 2");
    EXPECT_TRUE(Visible(IDC_TOTAL_LINE));
    EXPECT_TRUE(Enabled(IDC_FIND));
    EXPECT_TRUE(Enabled(IDC_DELETE));
}

TEST_F(SearchPage, RefreshDuringAnOperationLeavesFindAndDeleteAlone)
{
    HoldSearch();
    SetRows({Row("a.txt", 1, 1)});
    EXPECT_EQ(RowCount(Results()), 1);
    EXPECT_FALSE(Enabled(IDC_FIND));
    EXPECT_FALSE(Enabled(IDC_DELETE));
    ReleaseOperation();
    EXPECT_TRUE(Enabled(IDC_FIND));
}

TEST_F(SearchPage, SortsBySizeNumericallyByNameIgnoringCaseAndByDateTime)
{
    SetRows({Row("beta.txt", 10, 300), Row("Alpha.txt", 5368709120ull, 100), Row("alpha_b.txt", 9, 200),
             Row("Gamma.txt", 4294967296ull, 400)});

    ClickHeading(ColumnName);
    ClickHeading(ColumnSize);
    EXPECT_EQ(ColumnTexts(ColumnSize), (std::vector<std::string>{"9", "10", "4294967296", "5368709120"}));
    ClickHeading(ColumnSize);
    EXPECT_EQ(ColumnTexts(ColumnSize), (std::vector<std::string>{"5368709120", "4294967296", "10", "9"}));

    ClickHeading(ColumnName);
    EXPECT_EQ(ColumnTexts(ColumnName),
              (std::vector<std::string>{"Alpha.txt", "alpha_b.txt", "beta.txt", "Gamma.txt"}));
    // The "N" texts travel with their rows.
    EXPECT_EQ(ColumnTexts(ColumnN), (std::vector<std::string>{"2", "3", "1", "4"}));

    ClickHeading(ColumnDate);
    EXPECT_EQ(ColumnTexts(ColumnN), (std::vector<std::string>{"2", "3", "1", "4"}));
    ClickHeading(ColumnDate);
    EXPECT_EQ(ColumnTexts(ColumnN), (std::vector<std::string>{"4", "1", "3", "2"}));
}

// "Sort by" in the context menu is the keyboard's heading click; the heading
// shows the direction on the sorted column only, and a new search none.
TEST_F(SearchPage, SortByInTheMenuSortsAsTheHeadingDoesAndTheHeadingShowsTheDirection)
{
    SetRows({Row("a", 2, 0), Row("b", 1, 0), Row("c", 3, 0)});
    HWND heading = (HWND)SendMessageW(Results(), LVM_GETHEADER, 0, 0);
    auto arrows = [&] {
        std::vector<int> shown;
        for (int column = 0; column < 6; column++)
        {
            HDITEMW item = {};
            item.mask = HDI_FORMAT;
            SendMessageW(heading, HDM_GETITEMW, column, (LPARAM)&item);
            shown.push_back(item.fmt & HDF_SORTUP ? 1 : item.fmt & HDF_SORTDOWN ? -1 : 0);
        }
        return shown;
    };
    Command(ID_RESULTS_SORT_N + ColumnName);
    Command(ID_RESULTS_SORT_N + ColumnSize);
    EXPECT_EQ(ColumnTexts(ColumnSize), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(arrows(), (std::vector<int>{0, 0, 0, 0, 1, 0}));
    Command(ID_RESULTS_SORT_N + ColumnSize);
    EXPECT_EQ(ColumnTexts(ColumnSize), (std::vector<std::string>{"3", "2", "1"}));
    EXPECT_EQ(arrows(), (std::vector<int>{0, 0, 0, 0, -1, 0}));
    ClickHeading(ColumnDate);
    EXPECT_EQ(arrows(), (std::vector<int>{0, 0, 0, 0, 0, 1}));
    ClickAndAnswer(IDC_FIND);
    EXPECT_EQ(arrows(), (std::vector<int>(6, 0)));
}

// The keyboard's place in the list survives what rebuilds it.
TEST_F(SearchPage, TheFocusedFileStaysFocusedThroughSelectAllAndARefresh)
{
    SetRows(NumberedRows(5));
    SortBy(ColumnSize, false);
    ClickRow(3);
    const std::string focused = Cell(Results(), FocusedRow(), ColumnName);
    PressListKey('A', true);
    ASSERT_GE(FocusedRow(), 0);
    EXPECT_EQ(Cell(Results(), FocusedRow(), ColumnName), focused);
    page->RefreshResults();
    ASSERT_GE(FocusedRow(), 0);
    EXPECT_EQ(Cell(Results(), FocusedRow(), ColumnName), focused);
}

TEST_F(SearchPage, FirstClickAfterARefreshOnTheLastSortedColumnSortsDescending)
{
    SetRows({Row("a", 2, 0), Row("b", 1, 0), Row("c", 3, 0)});
    ClickHeading(ColumnName);
    ClickHeading(ColumnSize);
    EXPECT_EQ(ColumnTexts(ColumnSize), (std::vector<std::string>{"1", "2", "3"}));
    SetRows({Row("a", 2, 0), Row("b", 1, 0), Row("c", 3, 0)});
    EXPECT_EQ(ColumnTexts(ColumnSize), (std::vector<std::string>{"2", "1", "3"}));
    ClickHeading(ColumnSize);
    EXPECT_EQ(ColumnTexts(ColumnSize), (std::vector<std::string>{"3", "2", "1"}));
}

TEST_F(SearchPage, HeadingToolTipsCoverTheirColumnsAndFollowWidthChanges)
{
    HWND header = (HWND)SendMessageW(Results(), LVM_GETHEADER, 0, 0);
    HWND toolTip = FindHeadingToolTip(header);
    ASSERT_NE(toolTip, nullptr);
    EXPECT_EQ(SendMessageW(toolTip, TTM_GETMAXTIPWIDTH, 0, 0), 100);
    RECT headerRect = {};
    GetClientRect(header, &headerRect);
    // Each tool lies over its heading, from the top of the heading to its bottom.
    auto overItsColumns = [&](const char* step) {
        for (UINT id = 1; id <= 6; id++)
        {
            Tool tool = GetTool(toolTip, header, id);
            RECT heading = {};
            SendMessageW(header, HDM_GETITEMRECT, id - 1, (LPARAM)&heading);
            ASSERT_TRUE(tool.found) << id;
            EXPECT_EQ(tool.rect.left, heading.left) << step << id;
            EXPECT_EQ(tool.rect.right, heading.right) << step << id;
            EXPECT_EQ(tool.rect.top, 0);
            EXPECT_EQ(tool.rect.bottom, headerRect.bottom);
        }
        EXPECT_FALSE(GetTool(toolTip, header, 7).found);
    };

    const char* texts[] = {"Number", "File Name", "File Type", "File Location", "File Size", "Date"};
    for (UINT id = 1; id <= 6; id++)
        EXPECT_EQ(GetTool(toolTip, header, id).text, texts[id - 1]);
    overItsColumns("as opened, ");
    const RECT before = GetTool(toolTip, header, 2).rect;
    SendMessageW(Results(), LVM_SETCOLUMNWIDTH, 1, before.right - before.left + 70);
    EXPECT_EQ(GetTool(toolTip, header, 2).rect.right, before.right + 70);
    overItsColumns("after a width change, ");
}

TEST_F(SearchPage, MouseAndKeyboardSelectionStaysWithTheFilesAndIsTotalled)
{
    SetRows(NumberedRows(20));
    EXPECT_EQ(SelectionText(), "Selected: 0 file(s)");
    ClickRow(2);
    ClickRow(5, MK_SHIFT);
    ClickRow(8, MK_CONTROL);
    EXPECT_EQ(SelectedNumbers(), (std::set<std::string>{"3", "4", "5", "6", "9"}));
    EXPECT_EQ(SelectionText(), "Selected: 5 file(s), 22 bytes");
    ClickRow(3, MK_CONTROL);
    EXPECT_EQ(SelectionText(), "Selected: 4 file(s), 19 bytes");

    // By date, newest last: the rows come in reverse, the same files stay selected.
    SortBy(ColumnDate);
    EXPECT_EQ(Cell(Results(), 0, ColumnN), "20");
    EXPECT_EQ(SelectedNumbers(), (std::set<std::string>{"3", "5", "6", "9"}));
    EXPECT_EQ(Cell(Results(), FocusedRow(), ColumnN), "4");
    // The Shift anchor moved with its file too: a range from it covers the files 4 to 2.
    ClickRow(18, MK_SHIFT);
    EXPECT_EQ(SelectedNumbers(), (std::set<std::string>{"2", "3", "4"}));

    PressListKey('A', true);
    EXPECT_EQ(SelectedRows(Results()).size(), 20u);
    EXPECT_EQ(SelectionText(), "Selected: 20 file(s), 190 bytes");
    ClickRow(0);
    EXPECT_EQ(SelectedNumbers(), (std::set<std::string>{"20"}));
    EXPECT_EQ(SelectionText(), "Selected: 1 file(s), 19 bytes");
    EXPECT_TRUE(Visible(IDC_SELECTION_TOTAL));
}

TEST_F(SearchPage, SelectionTotalSitsBesideTheTotalLineClearOfDelete)
{
    MoveWindow(window, 0, 0, 530, 520, TRUE);
    SetRows(NumberedRows(1));
    RECT total = RectInParent(Item(IDC_TOTAL_LINE));
    RECT selection = RectInParent(Item(IDC_SELECTION_TOTAL));
    RECT button = RectInParent(Item(IDC_DELETE));
    RECT overlap = {};
    EXPECT_FALSE(IntersectRect(&overlap, &total, &selection));
    EXPECT_FALSE(IntersectRect(&overlap, &button, &selection));
    EXPECT_GT(selection.right - selection.left, 100);
    EXPECT_LE(selection.bottom, 520);
}
