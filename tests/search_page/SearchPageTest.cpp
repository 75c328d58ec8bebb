#include "search_page/CWindowWiperEntries.h"

#include "engine/LocalZone.h"
#include "engine/Matching.h"
#include "framework/DataExchange.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "search_page/CCustomList.h"
#include "settings/CWiperSettings.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessagePump.h"
#include "tests/support/PageHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <atomic>
#include <climits>
#include <memory>
#include <set>
#include <thread>

namespace
{
// The texts of the rows the tests make; they live as long as the test program.
TextStore rowTexts;

FoundFile Row(const std::string& name, uint64_t size, int64_t testedTime, const std::string& folder = "C:\\data\\")
{
    FoundFile file = rowTexts.AddRow(rowTexts.AddFolder(folder), name, FileTypeOf(name));
    file.size = size;
    file.testedTime = testedTime;
    return file;
}

// The time that local time shows as 01/02/24 10:00:00.
int64_t SecondOfJanuary2nd()
{
    return LocalToSeconds({2024, 1, 2, 10, 0, 0}, CurrentZoneRule());
}

SYSTEMTIME Date(WORD year, WORD month, WORD day, WORD hour = 12, WORD minute = 0, WORD second = 0)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

enum Column
{
    ColumnN = 0,
    ColumnName = 1,
    ColumnSize = 4,
    ColumnDate = 5,
};

class SearchPage : public testing::Test
{
protected:
    CWiperSettings settings;
    PageHost host;
    std::unique_ptr<CWindowWiperEntries> page;
    HWND window = nullptr;

    void SetUp() override
    {
        settings.SetDefaults();
        ASSERT_TRUE(host.Open("Search page test", 800, 700, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        page = std::make_unique<CWindowWiperEntries>(&settings);
        ASSERT_TRUE(page->Create(host.hwnd));
        window = page->hwnd;
        MoveWindow(window, 0, 0, 780, 650, TRUE);
        ShowWindow(window, SW_SHOW);
    }

    void TearDown() override
    {
        host.DestroyWindow();
    }

    HWND Item(int id) const { return GetDlgItem(window, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != 0; }
    bool Visible(int id) const { return IsWindowVisible(Item(id)) != 0; }
    std::string Text(int id) const { return GetWindowTextUtf8(Item(id)); }
    void SetText(int id, const std::string& text) { SetWindowTextW(Item(id), Widen(text).c_str()); }

    // A click as the mouse gives it: a disabled button ignores it.
    void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }

    void Choose(int id, int index)
    {
        SendMessageW(Item(id), CB_SETCURSEL, index, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)Item(id));
    }

    void SetPicker(int id, const SYSTEMTIME& time) { SendMessageW(Item(id), DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&time); }

    SYSTEMTIME Picker(int id) const
    {
        SYSTEMTIME time = {};
        SendMessageW(Item(id), DTM_GETSYSTEMTIME, 0, (LPARAM)&time);
        return time;
    }

    // Clicks a button and returns the texts of the prompts it raised, answering them with `answers`.
    std::vector<std::string> ClickAndAnswer(int id, std::vector<int> answers = {})
    {
        DialogCloser closer(answers);
        Click(id);
        std::vector<std::string> texts;
        for (const SeenPrompt& prompt : closer.Stop())
            texts.push_back(prompt.caption + ": " + prompt.text);
        return texts;
    }

    void SetRows(const std::vector<FoundFile>& rows)
    {
        settings.foundFiles = rows;
        settings.foundCount = rows.size();
        page->RefreshResults();
    }

    HWND Results() const { return Item(IDC_RESULTS); }
    int RowCount(HWND list) const { return (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); }

    std::string Cell(HWND list, int row, int column) const
    {
        wchar_t buffer[300] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 300;
        SendMessageW(list, LVM_GETITEMTEXTW, row, (LPARAM)&item);
        return Narrow(buffer);
    }

    std::vector<std::string> ColumnTexts(int column) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < RowCount(Results()); row++)
            texts.push_back(Cell(Results(), row, column));
        return texts;
    }

    // A left click on a heading of the result list, through the heading control itself.
    void ClickHeading(int column)
    {
        HWND header = (HWND)SendMessageW(Results(), LVM_GETHEADER, 0, 0);
        RECT rect = {};
        SendMessageW(header, HDM_GETITEMRECT, column, (LPARAM)&rect);
        LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(header, WM_LBUTTONUP, 0, point);
    }

    // The sort direction is kept across pages and searches: a click on another
    // column first makes the next click sort ascending.
    void SortBy(int column, bool ascending = true)
    {
        ClickHeading(column == ColumnN ? ColumnName : ColumnN);
        ClickHeading(column);
        if (!ascending)
            ClickHeading(column);
    }

    void Select(HWND list, int row, bool selected = true)
    {
        LVITEMW item = {};
        item.state = selected ? LVIS_SELECTED : 0;
        item.stateMask = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, row, (LPARAM)&item);
    }

    std::vector<int> SelectedRows(HWND list) const
    {
        std::vector<int> rows;
        for (int row = (int)SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED); row != -1;
             row = (int)SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))
            rows.push_back(row);
        return rows;
    }

    // The "N" texts of the rows the list shows selected.
    std::set<std::string> SelectedNumbers() const
    {
        std::set<std::string> numbers;
        for (int row : SelectedRows(Results()))
            numbers.insert(Cell(Results(), row, ColumnN));
        return numbers;
    }

    void Focus(int row)
    {
        LVITEMW item = {};
        item.state = item.stateMask = LVIS_FOCUSED;
        SendMessageW(Results(), LVM_SETITEMSTATE, row, (LPARAM)&item);
    }

    int FocusedRow() const { return (int)SendMessageW(Results(), LVM_GETNEXTITEM, -1, LVNI_FOCUSED); }

    // The selection total, once the page has caught up with the last change.
    std::string SelectionText()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        return Text(IDC_SELECTION_TOTAL);
    }

    // A click on a row as the mouse gives it, with Shift or Ctrl held as asked.
    void ClickRow(int row, UINT keys = 0)
    {
        RECT rect = {LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(Results(), LVM_GETITEMRECT, row, (LPARAM)&rect);
        LPARAM point = MAKELPARAM(rect.left + 40, (rect.top + rect.bottom) / 2);
        HoldKeys(keys & MK_SHIFT, keys & MK_CONTROL);
        SendMessageW(Results(), WM_LBUTTONDOWN, MK_LBUTTON | keys, point);
        SendMessageW(Results(), WM_LBUTTONUP, keys, point);
        HoldKeys(false, false);
    }

    // A key on the result list, with Ctrl held as asked.
    void PressListKey(UINT key, bool control = false)
    {
        HoldKeys(false, control);
        SendMessageW(Results(), WM_KEYDOWN, key, 1);
        SendMessageW(Results(), WM_KEYUP, key, 0xC0000001);
        HoldKeys(false, false);
    }

    static void HoldKeys(bool shift, bool control)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    void Command(int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    std::vector<int> SelectedFlags() const
    {
        std::vector<int> flags;
        for (const FoundFile& file : settings.foundFiles)
            flags.push_back(file.selected);
        return flags;
    }
};

const std::string kTypeMessage = "Warning: Please enter the file type in the following format: *.doc";
const std::string kDateMessage = "Warning: Incorrect date range. The 'To' date should be after the 'From' date";
const std::string kSizeMessage =
    "Warning: Incorrect file size range. The 'To' value should be greater than the 'From' value";
const std::string kFolderMessage = "Warning: Please select any folder.";
}

TEST_F(SearchPage, StartsWithAllFilesAnyDateAnySizeAndNothingToFindOrDelete)
{
    EXPECT_EQ(SendMessageW(Item(IDC_ALL_FILES), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(Item(IDC_SPECIFY_TYPE), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(Text(IDC_FILE_TYPE), "*.doc");
    EXPECT_FALSE(Enabled(IDC_FILE_TYPE));
    EXPECT_EQ(Text(IDC_DATE_KIND), "Modified Date");
    EXPECT_EQ(Text(IDC_DATE_CONDITION), "any");
    EXPECT_EQ(Text(IDC_DATE_MODE), "Date");
    EXPECT_EQ(Text(IDC_SIZE_UNIT), "MB");
    for (int picker : {IDC_DATE_FROM, IDC_DATE_TO, IDC_TIME_FROM, IDC_TIME_TO})
    {
        EXPECT_TRUE(Visible(picker)) << picker;
        EXPECT_FALSE(Enabled(picker)) << picker;
    }
    SYSTEMTIME from = Picker(IDC_TIME_FROM), to = Picker(IDC_TIME_TO);
    EXPECT_EQ(from.wHour * 3600 + from.wMinute * 60 + from.wSecond, 0);
    EXPECT_EQ(to.wHour * 3600 + to.wMinute * 60 + to.wSecond, 86399);
    EXPECT_TRUE(Visible(IDC_SIZE_FROM));
    EXPECT_FALSE(Enabled(IDC_SIZE_FROM));
    EXPECT_EQ(Text(IDC_SIZE_FROM), "0");
    EXPECT_FALSE(Visible(IDC_SIZE_TO));
    EXPECT_FALSE(Visible(IDC_TOTAL_LINE));
    EXPECT_TRUE(Enabled(IDC_ADD));
    for (int button : {IDC_FIND, IDC_DELETE, IDC_REMOVE, IDC_EMPTY_LIST, IDC_DATE_MODE, IDC_SIZE_UNIT})
        EXPECT_FALSE(Enabled(button)) << button;
}

TEST_F(SearchPage, FileTypeOptionsStayExclusive)
{
    Click(IDC_SPECIFY_TYPE);
    EXPECT_TRUE(Enabled(IDC_FILE_TYPE));
    EXPECT_EQ(SendMessageW(Item(IDC_ALL_FILES), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SetText(IDC_FILE_TYPE, "*.txt");
    Click(IDC_ALL_FILES);
    EXPECT_FALSE(Enabled(IDC_FILE_TYPE));
    EXPECT_EQ(SendMessageW(Item(IDC_SPECIFY_TYPE), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(Text(IDC_FILE_TYPE), "*.doc");
}

TEST_F(SearchPage, FindChecksTypeThenDatesThenSizesThenLocationsAndClearsResultsFirst)
{
    SetRows({Row("a.doc", 1, 1), Row("b.doc", 2, 2)});
    ASSERT_EQ(RowCount(Results()), 2);

    Click(IDC_SPECIFY_TYPE);
    SetText(IDC_FILE_TYPE, "doc");
    Choose(IDC_DATE_CONDITION, 4);
    SetPicker(IDC_DATE_FROM, Date(2024, 3, 10));
    SetPicker(IDC_DATE_TO, Date(2024, 3, 9));
    Choose(IDC_SIZE_CONDITION, 3);
    SetText(IDC_SIZE_FROM, "6");
    SetText(IDC_SIZE_TO, "5");
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kTypeMessage});
    EXPECT_EQ(RowCount(Results()), 0);
    EXPECT_TRUE(settings.foundFiles.empty());
    EXPECT_EQ(Text(IDC_TOTAL_LINE), "Total number of found files: 0");
    EXPECT_TRUE(Visible(IDC_TOTAL_LINE));
    EXPECT_TRUE(Enabled(IDC_FIND));
    EXPECT_TRUE(Enabled(IDC_DELETE));

    for (const char* type : {"", "*", ".doc", "*doc", "*.tmp;;*.log", "*.tmp; log", ";*.tmp"})
    {
        SetText(IDC_FILE_TYPE, type);
        EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kTypeMessage}) << type;
    }

    SetText(IDC_FILE_TYPE, "*.doc");
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kDateMessage});

    // The same day passes: 00:00:00 to 23:59:59.
    SetPicker(IDC_DATE_TO, Date(2024, 3, 10, 0, 0, 0));
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kSizeMessage});

    SetText(IDC_SIZE_TO, "6");
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kFolderMessage});
    EXPECT_EQ(page->Criteria().fileType, "doc");
    EXPECT_EQ(page->Criteria().sizeFrom, 6u * 1048576);
    EXPECT_EQ(page->Criteria().dateTo - page->Criteria().dateFrom, 86399);
    EXPECT_EQ(settings.requestedOperation, Operation::None);

    // Several types, typed key by key: the box takes a list longer than 255 characters.
    SetText(IDC_FILE_TYPE, "");
    std::string typed = "*.tmp; *.LOG;";
    std::string expected = "tmp;LOG";
    for (int n = 0; typed.size() < 300; n++)
    {
        typed += " *.type" + std::to_string(n) + ";";
        expected += ";type" + std::to_string(n);
    }
    for (char c : typed)
        SendDlgItemMessageW(page->hwnd, IDC_FILE_TYPE, WM_CHAR, (WPARAM)c, 1);
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kFolderMessage});
    EXPECT_EQ(page->Criteria().fileType, expected);
}

namespace
{
const std::string kAccessedQuestion =
    "Warning: Windows does not record when files are opened on this computer, so a file's accessed date can be much "
    "older than its last use. Search by accessed date anyway?";

// The value by which Windows says whether it updates last-access times, set for
// one test in the prefix's registry and put back as it was.
class AccessUpdateSetting
{
public:
    AccessUpdateSetting()
    {
        DWORD size = sizeof(previous);
        hadValue = RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &previous, &size) ==
                   ERROR_SUCCESS;
    }
    ~AccessUpdateSetting()
    {
        if (hadValue)
            Set(previous);
        else
            Remove();
    }
    static bool Set(DWORD value)
    {
        return RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, kValue, REG_DWORD, &value, sizeof(value)) == ERROR_SUCCESS;
    }
    static void Remove() { RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKey, kValue); }

private:
    static constexpr const wchar_t* kKey = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
    static constexpr const wchar_t* kValue = L"NtfsDisableLastAccessUpdate";
    DWORD previous = 0;
    bool hadValue = false;
};
}

TEST_F(SearchPage, AccessedDatesThatWindowsDoesNotKeepAreAskedAboutUntilAYes)
{
    AccessUpdateSetting setting;
    TempFolder folder;
    // Opened and written long ago: every search below that runs lists it.
    const std::string old = folder.WriteFile("old.txt", "1");
    HANDLE file = CreateFileW(Widen(old).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const FILETIME longAgo = {0, 0x01D5C000}; // the last days of 2019
    ASSERT_TRUE(SetFileTime(file, &longAgo, &longAgo, &longAgo));
    CloseHandle(file);
    page->AddLocation(folder.Path().substr(0, folder.Path().size() - 1));
    auto searched = [&](std::vector<int> answers) {
        std::vector<std::string> asked = ClickAndAnswer(IDC_FIND, answers);
        EXPECT_TRUE(PumpUntil([&] { return settings.requestedOperation == Operation::None && Enabled(IDC_FIND); }));
        EXPECT_TRUE(PumpUntil([] { return !FindWindowW(L"#32770", L"Files Searching"); }));
        return std::make_pair(asked, RowCount(Results()) == 1);
    };
    using Outcome = std::pair<std::vector<std::string>, bool>;
    const Outcome asked = {{kAccessedQuestion}, false};
    const Outcome searchedUnasked = {{}, true};

    Choose(IDC_DATE_KIND, 2);
    Choose(IDC_DATE_CONDITION, 2);
    // Absent, or saying that updates are on (by the user or by the system).
    AccessUpdateSetting::Remove();
    EXPECT_EQ(searched({}), searchedUnasked);
    for (DWORD on : {0x0u, 0x2u, 0x80000000u, 0x80000002u})
    {
        ASSERT_TRUE(AccessUpdateSetting::Set(on));
        EXPECT_EQ(searched({}), searchedUnasked) << std::hex << on;
    }
    // Off: No starts nothing and asks again next time.
    for (DWORD off : {0x1u, 0x3u, 0x80000001u, 0x80000003u})
    {
        ASSERT_TRUE(AccessUpdateSetting::Set(off));
        EXPECT_EQ(searched({IDCANCEL}), asked) << std::hex << off;
    }
    // Other dates, and no date at all, are not in question.
    Choose(IDC_DATE_KIND, 1);
    EXPECT_EQ(searched({}), searchedUnasked);
    Choose(IDC_DATE_KIND, 2);
    Choose(IDC_DATE_CONDITION, 0);
    EXPECT_EQ(searched({}), searchedUnasked);
    Choose(IDC_DATE_CONDITION, 2);
    // Yes searches, and is not asked for again.
    EXPECT_EQ(searched({IDOK}), Outcome({kAccessedQuestion}, true));
    EXPECT_EQ(searched({}), searchedUnasked);
}

TEST_F(SearchPage, FindComposesDateBoundsFromDatePickersAndTimePickers)
{
    Choose(IDC_DATE_CONDITION, 1);
    SetPicker(IDC_DATE_FROM, Date(2024, 1, 15, 17, 30, 0));
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kFolderMessage});
    // "is" by date: the whole day up to and including the next midnight.
    const int64_t dayStart = page->Criteria().dateFrom;
    EXPECT_EQ(page->Criteria().dateTo - dayStart, 86400);

    Choose(IDC_DATE_MODE, 1);
    SetPicker(IDC_TIME_FROM, Date(1899, 12, 30, 8, 15, 30));
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kFolderMessage});
    EXPECT_EQ(page->Criteria().dateFrom, dayStart + 8 * 3600 + 15 * 60 + 30);
    EXPECT_EQ(page->Criteria().dateTo, page->Criteria().dateFrom);

    // Equal instants pass "is between" by date and time.
    Choose(IDC_DATE_CONDITION, 4);
    SetPicker(IDC_DATE_TO, Date(2024, 1, 15, 1, 0, 0));
    SetPicker(IDC_TIME_TO, Date(1899, 12, 30, 8, 15, 30));
    SetPicker(IDC_TIME_FROM, Date(1899, 12, 30, 8, 15, 30));
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kFolderMessage});
    SetPicker(IDC_TIME_TO, Date(1899, 12, 30, 8, 15, 29));
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kDateMessage});
}

TEST_F(SearchPage, SizeBoundsUseTheSelectedUnit)
{
    Choose(IDC_SIZE_CONDITION, 1);
    Choose(IDC_SIZE_UNIT, 3);
    SetText(IDC_SIZE_FROM, "3");
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kFolderMessage});
    EXPECT_EQ(page->Criteria().sizeFrom, 3221225472u);
    EXPECT_EQ(page->Criteria().sizeCondition, SizeCondition::IsMoreThan);

    Choose(IDC_SIZE_UNIT, 0);
    SetText(IDC_SIZE_FROM, "  42 bytes");
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kFolderMessage});
    EXPECT_EQ(page->Criteria().sizeFrom, 42u);
    EXPECT_EQ(Text(IDC_SIZE_FROM), "42");

    // No number reads as 0 and the edit shows it.
    SetText(IDC_SIZE_FROM, "many");
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kFolderMessage});
    EXPECT_EQ(page->Criteria().sizeFrom, 0u);
    EXPECT_EQ(Text(IDC_SIZE_FROM), "0");
}

TEST_F(SearchPage, DateControlsFollowConditionAndMode)
{
    struct Expected
    {
        bool fromDate, toDate, fromTime, toTime, mode, labels;
    };
    auto check = [&](const Expected& e, const char* step) {
        EXPECT_EQ(Enabled(IDC_DATE_FROM), e.fromDate) << step;
        EXPECT_EQ(Enabled(IDC_DATE_TO), e.toDate) << step;
        EXPECT_EQ(Enabled(IDC_TIME_FROM), e.fromTime) << step;
        EXPECT_EQ(Enabled(IDC_TIME_TO), e.toTime) << step;
        EXPECT_EQ(Enabled(IDC_DATE_MODE), e.mode) << step;
        EXPECT_EQ(Visible(IDC_DATE_FROM_LABEL) && Enabled(IDC_DATE_FROM_LABEL), e.labels) << step;
        EXPECT_EQ(Visible(IDC_DATE_TO_LABEL) && Enabled(IDC_DATE_TO_LABEL), e.labels) << step;
        for (int picker : {IDC_DATE_FROM, IDC_DATE_TO, IDC_TIME_FROM, IDC_TIME_TO})
            EXPECT_TRUE(Visible(picker)) << step;
    };
    for (int condition : {1, 2, 3})
    {
        Choose(IDC_DATE_CONDITION, condition);
        check({true, false, false, false, true, false}, "one date");
    }
    Choose(IDC_DATE_CONDITION, 4);
    check({true, true, false, false, true, true}, "between");
    Choose(IDC_DATE_MODE, 1);
    check({true, true, true, true, true, true}, "between, date and time");
    Choose(IDC_DATE_CONDITION, 3);
    check({true, false, true, false, true, false}, "after, date and time");
    Choose(IDC_DATE_MODE, 0);
    check({true, false, false, false, true, false}, "after, date");
    Choose(IDC_DATE_CONDITION, 0);
    check({false, false, false, false, false, false}, "any");
}

TEST_F(SearchPage, ChangingTheDateModeResetsBothTimesAndAnyKeepsThem)
{
    Choose(IDC_DATE_CONDITION, 4);
    for (int mode : {1, 0})
    {
        SetPicker(IDC_TIME_FROM, Date(1899, 12, 30, 10, 11, 12));
        SetPicker(IDC_TIME_TO, Date(1899, 12, 30, 13, 14, 15));
        Choose(IDC_DATE_MODE, mode);
        SYSTEMTIME from = Picker(IDC_TIME_FROM), to = Picker(IDC_TIME_TO);
        EXPECT_EQ(from.wHour * 3600 + from.wMinute * 60 + from.wSecond, 0) << mode;
        EXPECT_EQ(to.wHour * 3600 + to.wMinute * 60 + to.wSecond, 86399) << mode;
    }
    SetPicker(IDC_TIME_FROM, Date(1899, 12, 30, 10, 11, 12));
    Choose(IDC_DATE_CONDITION, 0);
    EXPECT_EQ(Picker(IDC_TIME_FROM).wHour, 10);
}

TEST_F(SearchPage, SizeControlsFollowConditionAndBetweenSetsSecondValueEveryTime)
{
    Choose(IDC_SIZE_CONDITION, 1);
    EXPECT_TRUE(Enabled(IDC_SIZE_FROM));
    EXPECT_TRUE(Enabled(IDC_SIZE_UNIT));
    EXPECT_FALSE(Visible(IDC_SIZE_TO));
    EXPECT_FALSE(Visible(IDC_SIZE_FROM_LABEL));

    SetText(IDC_SIZE_FROM, "7");
    Choose(IDC_SIZE_CONDITION, 3);
    EXPECT_TRUE(Visible(IDC_SIZE_TO) && Enabled(IDC_SIZE_TO));
    EXPECT_TRUE(Visible(IDC_SIZE_FROM_LABEL) && Enabled(IDC_SIZE_FROM_LABEL));
    EXPECT_TRUE(Visible(IDC_SIZE_TO_LABEL) && Enabled(IDC_SIZE_TO_LABEL));
    EXPECT_EQ(Text(IDC_SIZE_TO), "17");

    SetText(IDC_SIZE_TO, "99");
    Choose(IDC_SIZE_CONDITION, 2);
    EXPECT_FALSE(Visible(IDC_SIZE_TO));
    EXPECT_FALSE(Enabled(IDC_SIZE_TO));
    Choose(IDC_SIZE_CONDITION, 3);
    EXPECT_EQ(Text(IDC_SIZE_TO), "17");

    // The top of the range does not wrap round to a negative bound.
    SetText(IDC_SIZE_FROM, "2147483645");
    Choose(IDC_SIZE_CONDITION, 3);
    EXPECT_EQ(Text(IDC_SIZE_TO), "2147483647");

    Choose(IDC_SIZE_CONDITION, 0);
    EXPECT_TRUE(Visible(IDC_SIZE_FROM));
    EXPECT_FALSE(Enabled(IDC_SIZE_FROM));
    EXPECT_FALSE(Enabled(IDC_SIZE_UNIT));
    EXPECT_FALSE(Visible(IDC_SIZE_TO));
}

TEST_F(SearchPage, ResizingPlacesTheResultArea)
{
    MoveWindow(window, 0, 0, 600, 600, TRUE);
    auto place = [&](int id) {
        RECT rect = RectInParent(Item(id));
        return std::vector<LONG>{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    };
    EXPECT_EQ(place(IDC_RESULTS), (std::vector<LONG>{9, 315, 582, 245}));
    EXPECT_EQ(place(IDC_DELETE), (std::vector<LONG>{442, 561, 150, 25}));
    EXPECT_EQ(place(IDC_RESULTS_FRAME), (std::vector<LONG>{6, 300, 588, 290}));
    EXPECT_EQ(place(IDC_TOTAL_LINE), (std::vector<LONG>{9, 561, 200, 25}));
}

TEST_F(SearchPage, EnterAndEscapeLeaveThePageAsItIs)
{
    Click(IDC_SPECIFY_TYPE);
    SetFocus(Item(IDC_FILE_TYPE));
    for (UINT key : {VK_RETURN, VK_ESCAPE})
    {
        PostMessageW(Item(IDC_FILE_TYPE), WM_KEYDOWN, key, 1);
        PostMessageW(Item(IDC_FILE_TYPE), WM_KEYUP, key, 0xC0000001);
    }
    DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start > 300; });
    ASSERT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(Text(IDC_FILE_TYPE), "*.doc");
    EXPECT_TRUE(Enabled(IDC_FILE_TYPE));
}

TEST_F(SearchPage, WorkerRefreshListsRowsOnThePageThread)
{
    settings.foundFiles = {Row("big.iso", 5368709120ull, SecondOfJanuary2nd()), Row("small.txt", 9, 2)};
    settings.foundCount = 2;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        page->RefreshResults();
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }, 10000));
    worker.join();

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
    settings.requestedOperation = Operation::Search;
    SetRows({Row("a.txt", 1, 1)});
    EXPECT_EQ(RowCount(Results()), 1);
    EXPECT_FALSE(Enabled(IDC_FIND));
    EXPECT_FALSE(Enabled(IDC_DELETE));
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
    EXPECT_EQ(page->SelectedCount(), 2u);
    EXPECT_EQ(settings.requestedOperation, Operation::None);

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
    EXPECT_EQ(page->SelectedCount(), 0u);
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
    EXPECT_EQ(settings.locations, (std::vector<std::string>{"C:\\Data", "c:\\data", "C:\\Data\\"}));
    HWND list = Item(IDC_LOCATIONS);
    ASSERT_EQ(RowCount(list), 3);
    EXPECT_EQ(Cell(list, 2, 0), "3");
    EXPECT_EQ(Cell(list, 1, 1), "c:\\data");
}

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
    EXPECT_EQ(settings.locations, std::vector<std::string>{path});
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
    EXPECT_EQ(settings.locations.size(), 5u);

    ClickAndAnswer(IDC_REMOVE, {IDOK});
    EXPECT_EQ(settings.locations, (std::vector<std::string>{"C:\\1", "C:\\3", "C:\\5"}));
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
    EXPECT_EQ(settings.locations.size(), 2u);

    ClickAndAnswer(IDC_EMPTY_LIST, {IDOK});
    EXPECT_TRUE(settings.locations.empty());
    EXPECT_EQ(RowCount(Item(IDC_LOCATIONS)), 0);
    EXPECT_FALSE(Enabled(IDC_EMPTY_LIST));
    EXPECT_FALSE(Enabled(IDC_REMOVE));
    EXPECT_TRUE(Enabled(IDC_FIND));
}

TEST_F(SearchPage, NoSearchCanStartBesideARunningDeletion)
{
    settings.requestedOperation = Operation::Delete;
    settings.runningOperation = Operation::Delete;
    page->AddLocation("C:\\1");
    Select(Item(IDC_LOCATIONS), 0);
    EXPECT_FALSE(Enabled(IDC_FIND));
    EXPECT_FALSE(Enabled(IDC_REMOVE));
    EXPECT_FALSE(Enabled(IDC_EMPTY_LIST));
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
    ASSERT_TRUE(PumpUntil([&] { return settings.requestedOperation == Operation::None && Enabled(IDC_FIND); }));
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
        EXPECT_TRUE(PumpUntil([&] { return settings.requestedOperation == Operation::None && Enabled(IDC_DELETE); }));
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

TEST_F(SearchPage, HeadingToolTipsCoverTheirColumnsAndFollowWidthChanges)
{
    HWND header = (HWND)SendMessageW(Results(), LVM_GETHEADER, 0, 0);
    HWND toolTip = FindHeadingToolTip(header);
    ASSERT_NE(toolTip, nullptr);
    EXPECT_EQ(SendMessageW(toolTip, TTM_GETMAXTIPWIDTH, 0, 0), 100);
    RECT headerRect = {};
    GetClientRect(header, &headerRect);

    const char* texts[] = {"Number", "File Name", "File Type", "File Location", "File Size", "Date"};
    const int lefts[] = {0, 30, 160, 205, 355, 430};
    for (UINT id = 1; id <= 6; id++)
    {
        Tool tool = GetTool(toolTip, header, id);
        ASSERT_TRUE(tool.found) << id;
        EXPECT_EQ(tool.text, texts[id - 1]);
        EXPECT_EQ(tool.rect.left, lefts[id - 1]) << id;
        EXPECT_EQ(tool.rect.top, 0);
        EXPECT_EQ(tool.rect.bottom, headerRect.bottom);
    }
    EXPECT_EQ(GetTool(toolTip, header, 6).rect.right, 580);
    EXPECT_FALSE(GetTool(toolTip, header, 7).found);

    SendMessageW(Results(), LVM_SETCOLUMNWIDTH, 1, 200);
    EXPECT_EQ(GetTool(toolTip, header, 2).rect.right, 230);
    EXPECT_EQ(GetTool(toolTip, header, 3).rect.left, 230);
    EXPECT_EQ(GetTool(toolTip, header, 6).rect.right, 650);
}

TEST_F(SearchPage, ColumnToolTipNeedsAnExistingColumn)
{
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 300, 100, host.hwnd, nullptr,
                                nullptr, nullptr);
    CCustomList custom;
    ASSERT_TRUE(custom.SubclassControl(list));
    custom.InitToolTips();
    custom.InsertColumn(0, "A", LVCFMT_LEFT, 40);
    custom.InsertColumn(1, "B", LVCFMT_LEFT, 60);
    EXPECT_TRUE(custom.SetColumnToolTip(1, "Bee"));
    EXPECT_FALSE(custom.SetColumnToolTip(2, "none"));
    EXPECT_FALSE(custom.SetColumnToolTip(-1, "none"));
    DestroyWindow(list);
    EXPECT_EQ(custom.hwnd, nullptr);
}

TEST(DataExchangeInteger, ReadsTheLeadingNumberAsScanfDoes)
{
    struct Case
    {
        const char* text;
        bool parsed;
        int value;
    } cases[] = {
        {"42", true, 42},         {"  42abc", true, 42},   {"\t-7", true, -7},           {"+5", true, 5},
        {"", false, 0},           {"abc", false, 0},       {"-", false, 0},              {"- 5", false, 0},
        {"2147483647", true, INT_MAX}, {"99999999999", true, INT_MAX}, {"-2147483648", true, INT_MIN},
        {"-99999999999", true, INT_MIN},
    };
    for (const Case& c : cases)
    {
        int value = 12345;
        EXPECT_EQ(ParseLeadingInt(c.text, value), c.parsed) << c.text;
        if (c.parsed)
        {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(DataExchangeInteger, OnlyTheFirst63CharactersCount)
{
    HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 100, 20, dialog, (HMENU)100,
                                nullptr, nullptr);

    int value = -1;
    SetWindowTextW(edit, Widen(std::string(62, ' ') + "5").c_str());
    ExchangeInt(dialog, 100, value, true);
    EXPECT_EQ(value, 5);

    SetWindowTextW(edit, Widen(std::string(63, ' ') + "5").c_str());
    ExchangeInt(dialog, 100, value, true);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(GetWindowTextUtf8(edit), "0");

    value = -31;
    ExchangeInt(dialog, 100, value, false);
    EXPECT_EQ(GetWindowTextUtf8(edit), "-31");
    DestroyWindow(dialog);
}

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

std::vector<FoundFile> NumberedRows(int count)
{
    std::vector<FoundFile> rows;
    for (int i = 0; i < count; i++)
        rows.push_back(Row("f" + std::to_string(i) + ".dat", (uint64_t)i, count - i));
    return rows;
}
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
    settings.requestedOperation = Operation::Search;
    page->RefreshResults();
    DialogCloser closer;
    PressListKey(VK_DELETE);
    PressListKey('A', true);
    EXPECT_TRUE(closer.Stop().empty());
    EXPECT_EQ(SelectedNumbers(), (std::set<std::string>{"2"}));
    settings.requestedOperation = Operation::None;

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
    ASSERT_TRUE(PumpUntil([&] { return settings.requestedOperation == Operation::None && Enabled(IDC_DELETE); }));
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
        EXPECT_TRUE(PumpUntil([&] { return settings.requestedOperation == Operation::None && Enabled(IDC_DELETE); }));
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
    ClickHeading(ColumnName);
    EXPECT_EQ(ColumnTexts(ColumnName), (std::vector<std::string>{"keep.txt", "locked.txt"}));
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
    EXPECT_EQ(menuItems(), (std::vector<std::string>{"Open", "Open folder", "Copy path", "Select all", "Save list..."}));
    settings.requestedOperation = Operation::Delete;
    EXPECT_EQ(menuItems(), (std::vector<std::string>{"Open (grey)", "Open folder (grey)", "Copy path (grey)",
                                                     "Select all (grey)", "Save list... (grey)"}));
    settings.requestedOperation = Operation::None;
}
