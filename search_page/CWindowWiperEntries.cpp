#include "search_page/CWindowWiperEntries.h"

#include "engine/DateBounds.h"
#include "engine/LocalZone.h"
#include "engine/Prompts.h"
#include "engine/WorkerMessages.h"
#include "framework/DataExchange.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "settings/CWiperSettings.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <mutex>
#include <numeric>
#include <shared_mutex>

namespace
{
// A worker's RefreshResults, carried out on the page's thread.
const UINT WM_REFRESH_RESULTS = WM_APP + 1;

const char* const kLocationHeadings[] = {"N", "Disk/Folder"};
const char* const kLocationTips[] = {"N", "Disk/Folder"};
const int kLocationFormats[] = {LVCFMT_CENTER, LVCFMT_CENTER};
const int kLocationWidths[] = {30, 345};

const char* const kResultHeadings[] = {"N", "Name", "Type", "Location", "Size", "Date"};
const char* const kResultTips[] = {"Number", "File Name", "File Type", "File Location", "File Size", "Date"};
const int kResultFormats[] = {LVCFMT_CENTER, LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT};
const int kResultWidths[] = {30, 130, 45, 150, 75, 150};

enum SortKind
{
    SortNumber = 1,
    SortText = 2,
    SortDate = 3,
};

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

// What a result row shows in a column; the "N" text is the found file's index plus 1.
std::string CellText(const FoundFile& file, size_t index, int column)
{
    switch (column)
    {
    case 0:
        return std::to_string(index + 1);
    case 1:
        return file.name;
    case 2:
        return file.type;
    case 3:
        return file.folder;
    case 4:
        return std::to_string(file.size);
    case 5:
        return file.dateText;
    }
    return std::string();
}

struct SortKey
{
    size_t file;
    int64_t number;
    std::wstring text;
};
}

int CWindowWiperEntries::lastSortColumn = -1;
bool CWindowWiperEntries::sortAscending = true;

CWindowWiperEntries::CWindowWiperEntries(CWiperSettings* settings) : CDialog(IDD_SEARCH_PAGE), settings(settings)
{
}

bool CWindowWiperEntries::Create(HWND parent)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                     ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    return CDialog::Create(parent);
}

const SearchCriteria& CWindowWiperEntries::Criteria() const
{
    return criteria;
}

size_t CWindowWiperEntries::SelectedCount() const
{
    return selectedRows.size();
}

void CWindowWiperEntries::DisableFind()
{
    EnableItem(IDC_FIND, false);
}

LRESULT CWindowWiperEntries::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_REFRESH_RESULTS:
        RefreshResults();
        return TRUE;
    case WM_DESTROY:
        pageWindow = nullptr;
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

bool CWindowWiperEntries::OnCommand(int id, int code)
{
    switch (id)
    {
    case IDC_ALL_FILES:
        if (code == BN_CLICKED)
            OnAllFiles();
        return true;
    case IDC_SPECIFY_TYPE:
        if (code == BN_CLICKED)
            OnSpecifyType();
        return true;
    case IDC_DATE_KIND:
        if (code == CBN_SELCHANGE)
            OnDateKindChange();
        return true;
    case IDC_DATE_CONDITION:
        if (code == CBN_SELCHANGE)
            OnDateConditionChange();
        return true;
    case IDC_DATE_MODE:
        if (code == CBN_SELCHANGE)
            OnDateModeChange();
        return true;
    case IDC_SIZE_CONDITION:
        if (code == CBN_SELCHANGE)
            OnSizeConditionChange();
        return true;
    case IDC_SIZE_UNIT:
        if (code == CBN_SELCHANGE)
            OnSizeUnitChange();
        return true;
    case IDC_FIND:
        OnFind();
        return true;
    case IDC_DELETE:
        OnDelete();
        return true;
    case IDC_ADD:
        OnAdd();
        return true;
    case IDC_REMOVE:
        OnRemove();
        return true;
    case IDC_EMPTY_LIST:
        OnEmptyList();
        return true;
    }
    // Enter and Escape come here as IDOK and IDCANCEL.
    return CDialog::OnCommand(id, code);
}

LRESULT CWindowWiperEntries::OnNotify(NMHDR& header)
{
    if (header.idFrom == IDC_LOCATIONS && header.code == LVN_ITEMCHANGED)
        OnLocationsSelChange();
    else if (header.idFrom == IDC_RESULTS && header.code == LVN_GETDISPINFOW)
        OnGetResultText(reinterpret_cast<NMLVDISPINFOW&>(header));
    // The list reports only left-button clicks on a heading as column clicks.
    else if (header.idFrom == IDC_RESULTS && header.code == LVN_COLUMNCLICK)
        OnHeaderClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
    return FALSE;
}

// The page never closes by itself.
void CWindowWiperEntries::OnOK()
{
}

void CWindowWiperEntries::OnCancel()
{
}

void CWindowWiperEntries::InitList(CCustomList& list, int id, const char* const headings[], const char* const tips[],
                                   const int formats[], const int widths[], int count)
{
    list.SubclassControl(GetItem(id));
    list.InitToolTips();
    list.AddStyle(LVS_SHOWSELALWAYS);
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int column = 0; column < count; column++)
        list.InsertColumn(column, headings[column], formats[column], widths[column]);
    for (int column = 0; column < count; column++)
        list.SetColumnToolTip(column, tips[column]);
}

BOOL CWindowWiperEntries::OnInitDialog()
{
    pageThread = GetCurrentThreadId();
    pageWindow = hwnd;
    EnableItem(IDC_ADD, true);
    EnableItem(IDC_REMOVE, false);
    EnableItem(IDC_EMPTY_LIST, false);
    InitList(locationsList, IDC_LOCATIONS, kLocationHeadings, kLocationTips, kLocationFormats, kLocationWidths, 2);
    InitList(resultsList, IDC_RESULTS, kResultHeadings, kResultTips, kResultFormats, kResultWidths, 6);
    settings->locations.clear();

    allFiles = 1;
    specifyType = 0;
    criteria.useTime = false;
    EnableItem(IDC_FILE_TYPE, false);
    typedFileType = "*.doc";
    sortKinds = {SortNumber, SortText, SortText, SortText, SortNumber, SortDate};

    const struct
    {
        int id;
        std::vector<const wchar_t*> entries;
        int selected;
    } lists[] = {
        {IDC_DATE_KIND, {L"Created Date", L"Modified Date", L"Accessed Date"}, 1},
        {IDC_DATE_CONDITION, {L"any", L"is", L"is before", L"is after", L"is between"}, 0},
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
    EnableItem(IDC_FIND, false);

    GetLocalTime(&fromDate);
    toDate = fromDate;
    fromTime = ZeroDayTime(0, 0, 0);
    toTime = ZeroDayTime(23, 59, 59);
    DoDataExchange(false);
    DoDataExchange(true);
    return TRUE;
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
}

void CWindowWiperEntries::OnSize(int width, int height)
{
    const struct
    {
        int id;
        int x, y, width, height;
    } places[] = {
        {IDC_RESULTS_FRAME, 6, 300, width - 12, height - 310},
        {IDC_RESULTS, 9, 315, width - 18, height - 355},
        {IDC_DELETE, width - 158, height - 39, 150, 25},
        {IDC_TOTAL_LINE, 9, height - 39, 200, 25},
    };
    for (const auto& place : places)
    {
        if (HWND control = GetItem(place.id))
            MoveWindow(control, place.x, place.y, place.width, place.height, TRUE);
    }
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
    DoDataExchange(false);
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

void CWindowWiperEntries::OnFind()
{
    DoDataExchange(true);
    {
        std::unique_lock lock(settings->foundFilesLock);
        settings->foundFiles.clear();
        settings->foundCount = 0;
    }
    RefreshResults();

    criteria.fileType.clear();
    if (specifyType == 1)
    {
        if (typedFileType.size() < 2 || typedFileType[0] != '*' || typedFileType[1] != '.')
        {
            ShowWarning("Please enter the file type in the following format: *.doc");
            return;
        }
        criteria.fileType = typedFileType.substr(2);
    }

    ComputeDateBounds(criteria, ToCalendar(fromDate), ToCalendar(fromTime), ToCalendar(toDate), ToCalendar(toTime),
                      CurrentZoneRule());
    if (criteria.dateCondition == DateCondition::IsBetween && criteria.dateTo < criteria.dateFrom)
    {
        ShowWarning("Incorrect date range. The 'To' date should be after the 'From' date");
        return;
    }

    ComputeSizeBounds(criteria, sizeFromValue, sizeToValue, UnitIndex(sizeUnitText));
    if (criteria.sizeCondition == SizeCondition::IsBetween && criteria.sizeTo < criteria.sizeFrom)
    {
        ShowWarning("Incorrect file size range. The 'To' value should be greater than the 'From' value");
        return;
    }

    if (settings->locations.empty())
    {
        ShowWarning("Please select any folder.");
        DoDataExchange(false);
        return;
    }

    settings->requestedOperation = OperationSearch;
    StartOperation("Files Searching");
    DoDataExchange(false);
}

void CWindowWiperEntries::OnDelete()
{
    CollectSelection();
    if (selectedRows.empty())
    {
        ShowWarning("Please select any file.");
        return;
    }
    if (!AskWarning("Do you really want to delete selected file(s)?"))
        return;

    resultsList.SetRedraw(false);
    settings->requestedOperation = OperationDelete;
    StartOperation("Deleting Files");
    resultsList.SetRedraw(true);
    RefreshResults();
}

void CWindowWiperEntries::StartOperation(const std::string& caption)
{
    // Without a window nothing was started: the buttons must not wait for a worker.
    if (!progress.Open(settings, this, caption))
        settings->requestedOperation = OperationNone;
    // A worker that could not start has put the fields back and refreshed the page already.
    if (OperationActive())
    {
        EnableItem(IDC_FIND, false);
        EnableItem(IDC_DELETE, false);
    }
}

bool CWindowWiperEntries::OperationActive() const
{
    return settings->requestedOperation != OperationNone || settings->runningOperation != OperationNone;
}

void CWindowWiperEntries::OnAdd()
{
    DoDataExchange(true);
    // The new-style browser needs COM on this thread; start-up may have initialised it already.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BROWSEINFOW browse = {};
    browse.lpszTitle = L"Please, choose the folder...";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse))
    {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(item, path))
            AddLocation(Narrow(path));
        CoTaskMemFree(item);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    DoDataExchange(false);
}

bool CWindowWiperEntries::AddLocation(const std::string& path)
{
    std::vector<std::string>& locations = settings->locations;
    if (std::find(locations.begin(), locations.end(), path) != locations.end())
    {
        ShowWarning("This folder is already in list");
        return false;
    }
    locations.push_back(path);
    RefreshLocations();
    UpdateLocationButtons();
    return true;
}

void CWindowWiperEntries::OnRemove()
{
    const size_t count = selectedLocations.size();
    if (count < 1)
        return;
    if (!AskWarning("Do you want to remove " + std::to_string(count) + " item(s) from list?"))
        return;
    locationsList.SetRedraw(false);
    std::vector<std::string>& locations = settings->locations;
    // The rows are in increasing order; each removal moves the later entries up by one.
    size_t removed = 0;
    for (size_t row : selectedLocations)
    {
        if (row - removed < locations.size())
        {
            locations.erase(locations.begin() + (row - removed));
            removed++;
        }
    }
    locationsList.SetRedraw(true);
    RefreshLocations();
    UpdateLocationButtons();
}

void CWindowWiperEntries::OnEmptyList()
{
    if (!AskWarning("Do you want to empty list?"))
        return;
    locationsList.DeleteAllItems();
    settings->locations.clear();
    locationsList.SetRedraw(true);
    RefreshLocations();
    UpdateLocationButtons();
}

void CWindowWiperEntries::OnLocationsSelChange()
{
    UpdateLocationButtons();
}

void CWindowWiperEntries::RefreshLocations()
{
    locationsList.DeleteAllItems();
    const std::vector<std::string>& locations = settings->locations;
    for (size_t i = 0; i < locations.size(); i++)
    {
        locationsList.InsertItem((int)i, std::to_string(i + 1), (LPARAM)i);
        locationsList.SetItemText((int)i, 1, locations[i]);
    }
    // Not only a search: no second worker may start beside a running deletion either.
    if (OperationActive())
    {
        EnableItem(IDC_FIND, false);
        EnableItem(IDC_EMPTY_LIST, false);
    }
    else
    {
        EnableItem(IDC_FIND, true);
        EnableItem(IDC_EMPTY_LIST, locationsList.GetItemCount() > 0);
    }
}

void CWindowWiperEntries::UpdateLocationButtons()
{
    selectedLocations.clear();
    for (int row = locationsList.GetNextItem(-1, LVNI_SELECTED); row != -1;
         row = locationsList.GetNextItem(row, LVNI_SELECTED))
        selectedLocations.push_back((size_t)locationsList.GetItemData(row));
    if (OperationActive())
    {
        EnableItem(IDC_FIND, false);
        EnableItem(IDC_REMOVE, false);
        EnableItem(IDC_EMPTY_LIST, false);
    }
    else
    {
        EnableItem(IDC_FIND, true);
        EnableItem(IDC_REMOVE, !selectedLocations.empty());
    }
}

void CWindowWiperEntries::RefreshResults()
{
    HWND window = pageWindow;
    if (!window)
        return;
    if (GetCurrentThreadId() != pageThread)
    {
        SendMessageW(window, WM_REFRESH_RESULTS, 0, 0);
        return;
    }
    size_t count = 0;
    {
        std::shared_lock lock(settings->foundFilesLock);
        count = settings->foundFiles.size();
    }
    // Back to found order; the list asks for each shown row's texts (OnGetResultText).
    rowOrder.resize(count);
    std::iota(rowOrder.begin(), rowOrder.end(), size_t(0));
    resultsList.DeleteAllItems();
    resultsList.SetItemCount((int)count);
    SetItemText(IDC_TOTAL_LINE, "Total number of found files: " + std::to_string(settings->foundCount.load()));
    ShowItem(IDC_TOTAL_LINE, true);
    if (!OperationActive())
    {
        EnableItem(IDC_FIND, true);
        EnableItem(IDC_DELETE, true);
    }
}

void CWindowWiperEntries::OnGetResultText(NMLVDISPINFOW& info)
{
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    item.pszText[0] = L'\0';
    if (item.iItem < 0 || (size_t)item.iItem >= rowOrder.size())
        return;
    const size_t file = rowOrder[item.iItem];
    std::string text;
    {
        // A worker may have dropped rows since the list was rebuilt.
        std::shared_lock lock(settings->foundFilesLock);
        if (file >= settings->foundFiles.size())
            return;
        text = CellText(settings->foundFiles[file], file, item.iSubItem);
    }
    lstrcpynW(item.pszText, Widen(text).c_str(), item.cchTextMax);
}

void CWindowWiperEntries::CollectSelection()
{
    std::vector<size_t> rows;
    for (int row = resultsList.GetNextItem(-1, LVNI_SELECTED); row != -1;
         row = resultsList.GetNextItem(row, LVNI_SELECTED))
        rows.push_back((size_t)row);

    selectedRows.clear();
    {
        std::unique_lock lock(settings->foundFilesLock);
        std::vector<FoundFile>& files = settings->foundFiles;
        for (FoundFile& file : files)
            file.selected = 0;
        for (size_t row : rows)
        {
            if (row >= rowOrder.size() || rowOrder[row] >= files.size())
                continue;
            selectedRows.push_back(rowOrder[row]);
            files[rowOrder[row]].selected = 1;
        }
    }
    if (OperationActive())
    {
        EnableItem(IDC_FIND, false);
        EnableItem(IDC_DELETE, false);
    }
}

void CWindowWiperEntries::OnHeaderClick(int column)
{
    if (column < 0 || column >= (int)sortKinds.size())
        return;
    sortAscending = column == lastSortColumn ? !sortAscending : true;
    lastSortColumn = column;
    SortRows(column, sortAscending);
    // The list keeps its selection by row, and the rows now show other files: the
    // selection is dropped rather than left on the wrong files. Moving it row by row
    // takes about a millisecond a row, far too slow for a large selection.
    resultsList.DeleteAllItems();
    resultsList.SetItemCount((int)rowOrder.size());
}

void CWindowWiperEntries::SortRows(int column, bool ascending)
{
    const int kind = sortKinds[column];
    std::vector<SortKey> keys;
    keys.reserve(rowOrder.size());
    {
        std::shared_lock lock(settings->foundFilesLock);
        const std::vector<FoundFile>& files = settings->foundFiles;
        for (size_t file : rowOrder)
        {
            SortKey key = {file, 0, std::wstring()};
            if (file < files.size())
            {
                if (kind == SortDate)
                    key.number = files[file].testedTime;
                else if (kind == SortNumber)
                    // A text without a leading number sorts as 0.
                    ParseLeadingInt64(CellText(files[file], file, column), key.number);
                else
                    key.text = Widen(CellText(files[file], file, column));
            }
            keys.push_back(std::move(key));
        }
    }
    if (kind == SortText)
    {
        // Compared lower-cased, as the C library's case-insensitive comparison does.
        for (SortKey& key : keys)
            CharLowerBuffW(key.text.data(), (DWORD)key.text.size());
    }
    // Dates sort by the tested time itself, not by re-reading their text. A stable sort
    // with a strict order keeps equal rows in their previous order in both directions.
    auto less = [kind](const SortKey& a, const SortKey& b) {
        return kind == SortText ? a.text < b.text : a.number < b.number;
    };
    if (ascending)
        std::stable_sort(keys.begin(), keys.end(), less);
    else
        std::stable_sort(keys.begin(), keys.end(), [&less](const SortKey& a, const SortKey& b) { return less(b, a); });
    for (size_t row = 0; row < keys.size(); row++)
        rowOrder[row] = keys[row].file;
}

void CWindowWiperEntries::ShowWarning(const std::string& text)
{
    ShowMessage(hwnd, "Warning", "", text, IDI_EXCLAMATION_MARK);
}

bool CWindowWiperEntries::AskWarning(const std::string& text)
{
    return AskYesNo(hwnd, "Warning", "", text, IDI_QUESTION_MARK);
}
