// The search kept between runs: the form and the locations as the user left
// them, written when a search starts and when the program ends, and shown again
// at the next start with the result list empty.
#include "search_page/CWindowWiperEntries.h"

#include "resources/resource.h"

#include <algorithm>

namespace
{
KeptDate DateOf(const SYSTEMTIME& time)
{
    return {time.wYear, time.wMonth, time.wDay};
}

KeptTime TimeOf(const SYSTEMTIME& time)
{
    return {time.wHour, time.wMinute, time.wSecond};
}

void SetDate(SYSTEMTIME& time, const KeptDate& date)
{
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    // The picker shows the weekday it is given; it is worked out afresh.
    FILETIME asFileTime;
    SYSTEMTIME withWeekday;
    if (SystemTimeToFileTime(&time, &asFileTime) && FileTimeToSystemTime(&asFileTime, &withWeekday))
        time.wDayOfWeek = withWeekday.wDayOfWeek;
}

void SetTime(SYSTEMTIME& time, const KeptTime& kept)
{
    time.wHour = static_cast<WORD>(kept.hour);
    time.wMinute = static_cast<WORD>(kept.minute);
    time.wSecond = static_cast<WORD>(kept.second);
}

int ChosenIndex(HWND page, int id)
{
    return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
}
}

void CWindowWiperEntries::UseKeptSearch(const std::string& path)
{
    keptSearch = KeptSearchFile(path);
    KeptSearch search;
    if (keptSearch.Load(search))
        ShowSearch(search);
}

void CWindowWiperEntries::KeepSearch()
{
    keptSearch.Save(FormSearch());
}

KeptSearch CWindowWiperEntries::FormSearch()
{
    DoDataExchange(true);
    KeptSearch search;
    search.locations = locations;
    search.allFiles = allFiles == 1;
    search.fileType = typedFileType;
    search.dateKind = ChosenIndex(hwnd, IDC_DATE_KIND);
    search.dateCondition = ChosenIndex(hwnd, IDC_DATE_CONDITION);
    search.dateMode = ChosenIndex(hwnd, IDC_DATE_MODE);
    search.fromDate = DateOf(fromDate);
    search.fromTime = TimeOf(fromTime);
    search.toDate = DateOf(toDate);
    search.toTime = TimeOf(toTime);
    // An amount out of range keeps the first one; Find would refuse it anyway.
    KeptSearch::ReadAge(ageText, search.ageAmount);
    search.ageUnit = ageUnit;
    search.sizeCondition = ChosenIndex(hwnd, IDC_SIZE_CONDITION);
    search.sizeUnit = sizeUnit;
    search.sizeFrom = sizeFromValue;
    search.sizeTo = sizeToValue;
    search.skipFolders = skipFolders;
    search.recycle = recycle == 1;
    return search;
}

void CWindowWiperEntries::ShowSearch(const KeptSearch& search)
{
    // A hand-edited file may name a folder twice; the list holds it once.
    for (const std::string& location : search.locations)
    {
        if (std::find(locations.begin(), locations.end(), location) == locations.end())
        {
            locations.push_back(location);
            RefreshLocations();
        }
    }
    UpdateLocationButtons();

    // Through the handlers, as a user's choices go, which enable and show what each choice needs;
    // then the values, which some handlers set to their first state.
    CheckRadioButton(hwnd, IDC_ALL_FILES, IDC_SPECIFY_TYPE, search.allFiles ? IDC_ALL_FILES : IDC_SPECIFY_TYPE);
    if (search.allFiles)
        OnAllFiles();
    else
        OnSpecifyType();
    const struct
    {
        int id;
        int index;
        void (CWindowWiperEntries::*changed)();
    } choices[] = {
        {IDC_DATE_KIND, search.dateKind, &CWindowWiperEntries::OnDateKindChange},
        {IDC_DATE_CONDITION, search.dateCondition, &CWindowWiperEntries::OnDateConditionChange},
        {IDC_DATE_MODE, search.dateMode, &CWindowWiperEntries::OnDateModeChange},
        {IDC_SIZE_UNIT, search.sizeUnit, &CWindowWiperEntries::OnSizeUnitChange},
        {IDC_SIZE_CONDITION, search.sizeCondition, &CWindowWiperEntries::OnSizeConditionChange},
    };
    for (const auto& choice : choices)
    {
        SendDlgItemMessageW(hwnd, choice.id, CB_SETCURSEL, choice.index, 0);
        (this->*choice.changed)();
    }
    DoDataExchange(true);
    if (!search.allFiles)
        typedFileType = search.fileType;
    SetDate(fromDate, search.fromDate);
    SetTime(fromTime, search.fromTime);
    SetDate(toDate, search.toDate);
    SetTime(toTime, search.toTime);
    ageText = std::to_string(search.ageAmount);
    ageUnit = search.ageUnit;
    sizeFromValue = search.sizeFrom;
    sizeToValue = search.sizeTo;
    skipFolders = search.skipFolders;
    recycle = search.recycle ? 1 : 0;
    DoDataExchange(false);
}
