// The criteria form: its first state, the controls that follow each choice, and
// the checks and bounds of Find.
#include "tests/search_page/SearchPageFixture.h"

#include "tests/support/TempFolder.h"

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
    EXPECT_TRUE(page->Found().RowCount() == 0);
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
    EXPECT_FALSE(page->OperationActive());

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
        EXPECT_TRUE(PumpUntil([&] { return !page->OperationActive() && Enabled(IDC_FIND); }));
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

// An age takes the pickers' place; Find takes its bound from now, and refuses an
// amount out of range with the focus in its box.
TEST_F(SearchPage, AnAgeReplacesTheDatesAndIsTakenFromNow)
{
    const int kOlderThan = 5;
    const int kWithinLast = 6;
    for (int condition : {kOlderThan, kWithinLast})
    {
        Choose(IDC_DATE_CONDITION, condition);
        for (int picker : {IDC_DATE_FROM, IDC_DATE_TO, IDC_TIME_FROM, IDC_TIME_TO, IDC_DATE_MODE})
            EXPECT_FALSE(Visible(picker)) << condition;
        EXPECT_TRUE(Visible(IDC_AGE_AMOUNT) && Enabled(IDC_AGE_AMOUNT)) << condition;
        EXPECT_TRUE(Visible(IDC_AGE_UNIT) && Enabled(IDC_AGE_UNIT)) << condition;
    }
    for (const char* amount : {"", "0", "10000", "99999999999"})
    {
        SetText(IDC_AGE_AMOUNT, amount);
        SetFocus(Item(IDC_FIND));
        EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kAgeMessage}) << amount;
        EXPECT_EQ(GetFocus(), Item(IDC_AGE_AMOUNT)) << amount;
    }
    // Two weeks back from now, to the second (the clock may tick once meanwhile).
    SetText(IDC_AGE_AMOUNT, "2");
    Choose(IDC_AGE_UNIT, 1);
    EXPECT_EQ(ClickAndAnswer(IDC_FIND), std::vector<std::string>{kFolderMessage});
    const int64_t now = static_cast<int64_t>(time(nullptr));
    EXPECT_EQ(page->Criteria().dateCondition, DateCondition::IsWithinLast);
    EXPECT_NEAR(static_cast<double>(now - page->Criteria().dateFrom), 14 * 86400.0, 3600 + 2);

    Choose(IDC_DATE_CONDITION, 1);
    for (int picker : {IDC_DATE_FROM, IDC_DATE_TO, IDC_TIME_FROM, IDC_TIME_TO, IDC_DATE_MODE})
        EXPECT_TRUE(Visible(picker));
    EXPECT_FALSE(Visible(IDC_AGE_AMOUNT) || Visible(IDC_AGE_UNIT));
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
