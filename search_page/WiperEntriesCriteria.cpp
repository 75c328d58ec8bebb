// The criteria form of the search page: the controls' data exchange, their
// enable rules and the criteria a search starts with.
#include "search_page/CWindowWiperEntries.h"

#include "engine/DateBounds.h"
#include "engine/LocalZone.h"
#include "engine/WantedTypes.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <climits>
#include <vector>

namespace
{
// The pickers' values as calendar fields.
CalendarTime ToCalendar(const SYSTEMTIME& time)
{
    return CalendarTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

// A time of day on the date type's zero day, 30 December 1899 (a Saturday).
SYSTEMTIME ZeroDayTime(WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time = {};
    time.wYear = 1899;
    time.wMonth = 12;
    time.wDay = 30;
    time.wDayOfWeek = 6;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

// How much of an over-long "Skip folders" entry its message shows.
const size_t kShownEntry = 60;

// The unit index of a size-unit entry; any other text counts as bytes.
int UnitIndex(const std::string& unitText)
{
    if (unitText == "KB")
        return 1;
    if (unitText == "MB")
        return 2;
    if (unitText == "GB")
        return 3;
    return 0;
}
}

void CWindowWiperEntries::InitCriteria()
{
    allFiles = 1;
    specifyType = 0;
    criteria.useTime = false;
    EnableItem(IDC_FILE_TYPE, false);
    typedFileType = "*.doc";

    const struct
    {
        int id;
        std::vector<const wchar_t*> entries;
        int selected;
    } lists[] = {
        {IDC_DATE_KIND, {L"Created Date", L"Modified Date", L"Accessed Date"}, 1},
        {IDC_DATE_CONDITION,
         {L"any", L"is", L"is before", L"is after", L"is between", L"is older than", L"is within the last"},
         0},
        {IDC_AGE_UNIT, {L"days", L"weeks", L"months", L"years"}, 0},
        {IDC_DATE_MODE, {L"Date", L"Date and Time"}, 0},
        {IDC_SIZE_CONDITION, {L"any", L"is more than", L"is less than", L"is between"}, 0},
        {IDC_SIZE_UNIT, {L"B", L"KB", L"MB", L"GB"}, 2},
    };
    for (const auto& list : lists)
    {
        for (const wchar_t* entry : list.entries)
            SendDlgItemMessageW(hwnd, list.id, CB_ADDSTRING, 0, (LPARAM)entry);
        SendDlgItemMessageW(hwnd, list.id, CB_SETCURSEL, list.selected, 0);
    }
    criteria.dateKind = DateKind::Modified;
    criteria.dateCondition = DateCondition::Any;
    criteria.sizeCondition = SizeCondition::Any;
    sizeUnit = 2;

    for (int picker : {IDC_DATE_FROM, IDC_DATE_TO, IDC_TIME_FROM, IDC_TIME_TO})
    {
        ShowItem(picker, true);
        EnableItem(picker, false);
    }
    EnableItem(IDC_DATE_MODE, false);
    for (int label : {IDC_DATE_FROM_LABEL, IDC_DATE_TO_LABEL, IDC_SIZE_FROM_LABEL, IDC_SIZE_TO_LABEL})
    {
        ShowItem(label, false);
        EnableItem(label, false);
    }
    sizeToValue = 10;
    ShowItem(IDC_SIZE_FROM, true);
    EnableItem(IDC_SIZE_FROM, false);
    ShowItem(IDC_SIZE_TO, false);
    EnableItem(IDC_SIZE_TO, false);
    EnableItem(IDC_SIZE_UNIT, false);

    ageText = std::to_string(KeptSearch().ageAmount);
    ageUnit = 0;
    skipFolders.clear();
    ShowDateControls();

    GetLocalTime(&fromDate);
    toDate = fromDate;
    fromTime = ZeroDayTime(0, 0, 0);
    toTime = ZeroDayTime(23, 59, 59);
    DoDataExchange(false);
    DoDataExchange(true);
}

void CWindowWiperEntries::DoDataExchange(bool save)
{
    ExchangeCheck(hwnd, IDC_ALL_FILES, allFiles, save);
    ExchangeCheck(hwnd, IDC_SPECIFY_TYPE, specifyType, save);
    ExchangeText(hwnd, IDC_FILE_TYPE, typedFileType, save);
    ExchangeDateTime(hwnd, IDC_DATE_FROM, fromDate, save);
    ExchangeDateTime(hwnd, IDC_DATE_TO, toDate, save);
    ExchangeDateTime(hwnd, IDC_TIME_FROM, fromTime, save);
    ExchangeDateTime(hwnd, IDC_TIME_TO, toTime, save);
    ExchangeInt(hwnd, IDC_SIZE_FROM, sizeFromValue, save);
    ExchangeInt(hwnd, IDC_SIZE_TO, sizeToValue, save);
    ExchangeComboIndex(hwnd, IDC_SIZE_UNIT, sizeUnit, save);
    ExchangeComboText(hwnd, IDC_SIZE_UNIT, sizeUnitText, save);
    ExchangeText(hwnd, IDC_AGE_AMOUNT, ageText, save);
    ExchangeComboIndex(hwnd, IDC_AGE_UNIT, ageUnit, save);
    ExchangeText(hwnd, IDC_SKIP_FOLDERS, skipFolders, save);
    ExchangeCheck(hwnd, IDC_RECYCLE_BIN, recycle, save);
}

void CWindowWiperEntries::OnAllFiles()
{
    DoDataExchange(true);
    specifyType = 0;
    allFiles = 1;
    typedFileType = "*.doc";
    EnableItem(IDC_FILE_TYPE, false);
    DoDataExchange(false);
}

void CWindowWiperEntries::OnSpecifyType()
{
    DoDataExchange(true);
    allFiles = 0;
    specifyType = 1;
    EnableItem(IDC_FILE_TYPE, true);
    DoDataExchange(false);
}

void CWindowWiperEntries::OnDateKindChange()
{
    DoDataExchange(true);
    criteria.dateKind = static_cast<DateKind>(SendDlgItemMessageW(hwnd, IDC_DATE_KIND, CB_GETCURSEL, 0, 0));
    DoDataExchange(false);
}

void CWindowWiperEntries::OnDateConditionChange()
{
    DoDataExchange(true);
    criteria.dateCondition =
        static_cast<DateCondition>(SendDlgItemMessageW(hwnd, IDC_DATE_CONDITION, CB_GETCURSEL, 0, 0));
    for (int label : {IDC_DATE_FROM_LABEL, IDC_DATE_TO_LABEL})
    {
        ShowItem(label, false);
        EnableItem(label, false);
    }
    const bool any = criteria.dateCondition == DateCondition::Any;
    const bool between = criteria.dateCondition == DateCondition::IsBetween;
    EnableItem(IDC_DATE_FROM, !any);
    EnableItem(IDC_DATE_TO, between);
    EnableItem(IDC_TIME_FROM, !any && criteria.useTime);
    EnableItem(IDC_TIME_TO, between && criteria.useTime);
    EnableItem(IDC_DATE_MODE, !any);
    if (between)
    {
        for (int label : {IDC_DATE_FROM_LABEL, IDC_DATE_TO_LABEL})
        {
            ShowItem(label, true);
            EnableItem(label, true);
        }
    }
    ShowDateControls();
    DoDataExchange(false);
}

void CWindowWiperEntries::ShowDateControls()
{
    const bool age =
        criteria.dateCondition == DateCondition::IsOlderThan || criteria.dateCondition == DateCondition::IsWithinLast;
    for (int picker : {IDC_DATE_FROM, IDC_TIME_FROM, IDC_DATE_TO, IDC_TIME_TO, IDC_DATE_MODE})
        ShowItem(picker, !age);
    for (int ageControl : {IDC_AGE_AMOUNT, IDC_AGE_UNIT})
    {
        ShowItem(ageControl, age);
        EnableItem(ageControl, age);
    }
}

void CWindowWiperEntries::OnDateModeChange()
{
    DoDataExchange(true);
    criteria.useTime = SendDlgItemMessageW(hwnd, IDC_DATE_MODE, CB_GETCURSEL, 0, 0) == 1;
    fromTime = ZeroDayTime(0, 0, 0);
    toTime = ZeroDayTime(23, 59, 59);
    const bool any = criteria.dateCondition == DateCondition::Any;
    const bool between = criteria.dateCondition == DateCondition::IsBetween;
    if (criteria.useTime)
    {
        EnableItem(IDC_DATE_FROM, !any);
        EnableItem(IDC_TIME_FROM, !any);
        EnableItem(IDC_DATE_TO, between);
        EnableItem(IDC_TIME_TO, between);
    }
    else
    {
        EnableItem(IDC_TIME_FROM, false);
        EnableItem(IDC_TIME_TO, false);
        if (between)
        {
            EnableItem(IDC_DATE_FROM, true);
            EnableItem(IDC_DATE_TO, true);
        }
    }
    DoDataExchange(false);
}

void CWindowWiperEntries::OnSizeConditionChange()
{
    DoDataExchange(true);
    criteria.sizeCondition =
        static_cast<SizeCondition>(SendDlgItemMessageW(hwnd, IDC_SIZE_CONDITION, CB_GETCURSEL, 0, 0));
    for (int hidden : {IDC_SIZE_FROM_LABEL, IDC_SIZE_TO_LABEL, IDC_SIZE_TO})
    {
        ShowItem(hidden, false);
        EnableItem(hidden, false);
    }
    const bool any = criteria.sizeCondition == SizeCondition::Any;
    EnableItem(IDC_SIZE_FROM, !any);
    EnableItem(IDC_SIZE_UNIT, !any);
    if (criteria.sizeCondition == SizeCondition::IsBetween)
    {
        for (int shown : {IDC_SIZE_FROM_LABEL, IDC_SIZE_TO_LABEL, IDC_SIZE_TO})
        {
            ShowItem(shown, true);
            EnableItem(shown, true);
        }
        // Held at the top of the range rather than wrapping round to a negative value.
        sizeToValue = sizeFromValue > INT_MAX - 10 ? INT_MAX : sizeFromValue + 10;
    }
    DoDataExchange(false);
}

void CWindowWiperEntries::OnSizeUnitChange()
{
    DoDataExchange(true);
    sizeUnit = (int)SendDlgItemMessageW(hwnd, IDC_SIZE_UNIT, CB_GETCURSEL, 0, 0);
    DoDataExchange(false);
}

bool CWindowWiperEntries::ComputeCriteria(SkipRules& skip)
{
    criteria.fileType.clear();
    if (specifyType == 1)
    {
        std::optional<std::string> fileType = FileTypeOfPatterns(typedFileType);
        if (!fileType)
        {
            ShowWarning("Please enter the file type in the following format: *.doc");
            return false;
        }
        criteria.fileType = *fileType;
    }

    if (criteria.dateCondition == DateCondition::IsOlderThan || criteria.dateCondition == DateCondition::IsWithinLast)
    {
        if (!ComputeAge())
            return false;
    }
    else
        ComputeDateBounds(criteria, ToCalendar(fromDate), ToCalendar(fromTime), ToCalendar(toDate),
                          ToCalendar(toTime), CurrentZoneRule());
    if (criteria.dateCondition == DateCondition::IsBetween && criteria.dateTo < criteria.dateFrom)
    {
        ShowWarning("Incorrect date range. The 'To' date should be after the 'From' date");
        return false;
    }

    ComputeSizeBounds(criteria, sizeFromValue, sizeToValue, UnitIndex(sizeUnitText));
    if (criteria.sizeCondition == SizeCondition::IsBetween && criteria.sizeTo < criteria.sizeFrom)
    {
        ShowWarning("Incorrect file size range. The 'To' value should be greater than the 'From' value");
        return false;
    }

    std::string tooLong;
    if (!skip.Parse(skipFolders, tooLong))
    {
        ShowWarning("This entry of \"Skip folders\" is longer than any path can be: \"" + tooLong.substr(0, kShownEntry) +
                    "...\"");
        SendMessageW(hwnd, WM_NEXTDLGCTL, (WPARAM)GetItem(IDC_SKIP_FOLDERS), TRUE);
        return false;
    }
    return true;
}

bool CWindowWiperEntries::ComputeAge()
{
    int amount = 0;
    if (!KeptSearch::ReadAge(ageText, amount))
    {
        ShowWarning("Please enter a number of days, weeks, months or years from 1 to 9999.");
        SendMessageW(hwnd, WM_NEXTDLGCTL, (WPARAM)GetItem(IDC_AGE_AMOUNT), TRUE);
        return false;
    }
    // Taken now, so that a kept search looks as far back from the day it runs.
    SYSTEMTIME now;
    GetLocalTime(&now);
    ComputeAgeBound(criteria, ToCalendar(now), amount, static_cast<AgeUnit>(ageUnit), CurrentZoneRule());
    return true;
}
