#include "search_page/CWindowWiperEntries.h"

#include "engine/AccessTimes.h"
#include "framework/Prompts.h"
#include "framework/Dpi.h"
#include "framework/Text.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace
{
const char* const kLocationHeadings[] = {"N", "Disk/Folder"};
const char* const kLocationTips[] = {"N", "Disk/Folder"};
const int kLocationFormats[] = {LVCFMT_CENTER, LVCFMT_CENTER};
const int kLocationWidths[] = {30, 345};

const char* const kResultHeadings[] = {"N", "Name", "Type", "Location", "Size", "Date"};
const char* const kResultTips[] = {"Number", "File Name", "File Type", "File Location", "File Size", "Date"};
const int kResultFormats[] = {LVCFMT_CENTER, LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT};
const int kResultWidths[] = {30, 130, 45, 150, 75, 150};

// The selection total sits beside the total line, up to this gap before "Delete",
// and has room for two lines when the page is too narrow for one.
const int kSelectionTotalLeft = 215;
const int kSelectionTotalGap = 6;
const int kSelectionTotalHeight = 26;
// The Recycle Bin box sits on the results frame's top line, at Delete's end of
// the page, as wide as Delete: the bottom row has no room for it at the page's
// smallest. Its height is the gap between the frame's top and the list's.
const int kRecycleBoxHeight = 14;

// The results frame's top at 96 DPI, and the pixel either way a dialog unit may round to.
const int kResultsFrameTop = 300;
const int kRoundingSlack = 1;

bool KeyDown(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}
}

CWindowWiperEntries::CWindowWiperEntries() : CPage(IDD_SEARCH_PAGE, 530, 520), results(&found)
{
}

bool CWindowWiperEntries::Create(HWND parent)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                     ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    return CDialog::Create(parent);
}

LRESULT CWindowWiperEntries::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return FALSE;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_CONTEXTMENU:
        OnContextMenu(reinterpret_cast<HWND>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return TRUE;
    case CResultView::kSelectionTotalMessage:
        results.OnSelectionTotalDue();
        return TRUE;
    }
    return CPage::WindowProc(message, wParam, lParam);
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
    case IDC_UNREADABLE_LINE:
        if (code == STN_CLICKED)
            CopyUnreadablePaths();
        return true;
    case ID_RESULTS_OPEN:
    case ID_RESULTS_OPEN_FOLDER:
    case ID_RESULTS_COPY_PATH:
    case ID_RESULTS_SELECT_ALL:
    case ID_RESULTS_SAVE_LIST:
    case ID_RESULTS_SKIP_FOLDER:
    case ID_RESULTS_OPEN_RECORD:
        OnResultCommand(id);
        return true;
    }
    if (id >= ID_RESULTS_SORT_N && id <= ID_RESULTS_SORT_DATE)
    {
        results.SortByColumn(id - ID_RESULTS_SORT_N);
        return true;
    }
    // Enter and Escape come here as IDOK and IDCANCEL.
    return CPage::OnCommand(id, code);
}

void CWindowWiperEntries::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom == locationsList.hwnd)
    {
        if (header.code == LVN_ITEMCHANGED)
            OnLocationsSelChange();
    }
    else if (header.hwndFrom == results.hwnd)
        OnResultsNotify(header);
}

void CWindowWiperEntries::OnResultsNotify(const NMHDR& header)
{
    switch (header.code)
    {
    case LVN_KEYDOWN:
        OnResultKey(reinterpret_cast<const NMLVKEYDOWN&>(header));
        break;
    case NM_DBLCLK:
        if (!OperationActive() && reinterpret_cast<const NMITEMACTIVATE&>(header).iItem >= 0)
            results.OpenFolder(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
        break;
    }
}

// Enter on a result row shows the file in its folder.
void CWindowWiperEntries::OnOK()
{
    OnReturn();
}

void CWindowWiperEntries::OnReturn()
{
    if (GetFocus() != results.hwnd || OperationActive())
        return;
    const int row = results.ActiveRow();
    if (row >= 0)
        results.OpenFolder(row);
}

void CWindowWiperEntries::OnResultKey(const NMLVKEYDOWN& key)
{
    const bool control = KeyDown(VK_CONTROL);
    if (key.wVKey == VK_DELETE && !control)
    {
        // As the button: a disabled "Delete" does nothing.
        if (IsWindowEnabled(GetItem(IDC_DELETE)))
            OnDelete();
    }
    else if (key.wVKey == 'A' && control)
        OnResultCommand(ID_RESULTS_SELECT_ALL);
    else if (key.wVKey == 'C' && control)
        OnResultCommand(ID_RESULTS_COPY_PATH);
}

void CWindowWiperEntries::OnContextMenu(HWND window, POINT point)
{
    if (window == results.hwnd)
        results.ShowMenu(point, !OperationActive());
    else if (window == GetItem(IDC_UNREADABLE_LINE))
        CopyUnreadablePaths();
}

void CWindowWiperEntries::OnResultCommand(int id)
{
    if (OperationActive())
        return;
    switch (id)
    {
    case ID_RESULTS_OPEN:
        results.OpenFile(results.ActiveRow());
        break;
    case ID_RESULTS_OPEN_FOLDER:
        results.OpenFolder(results.ActiveRow());
        break;
    case ID_RESULTS_COPY_PATH:
        results.CopyPaths();
        break;
    case ID_RESULTS_SELECT_ALL:
        results.SelectAll();
        break;
    case ID_RESULTS_SAVE_LIST:
        results.SaveListAs();
        break;
    case ID_RESULTS_SKIP_FOLDER:
        SkipSelectedFolders();
        break;
    case ID_RESULTS_OPEN_RECORD:
        OpenDeletionRecord();
        break;
    }
}

void CWindowWiperEntries::SkipSelectedFolders()
{
    const std::vector<std::string> folders = results.DropSelectedFolders();
    if (folders.empty())
        return;
    DoDataExchange(true);
    for (const std::string& folder : folders)
    {
        if (!skipFolders.empty() && skipFolders.back() != ';')
            skipFolders += ";";
        skipFolders += folder;
    }
    DoDataExchange(false);
    RefreshResults();
}

void CWindowWiperEntries::InitList(CCustomList& list, int id, const char* const headings[], const char* const tips[],
                                   const int formats[], const int widths[], int count)
{
    list.SubclassControl(GetItem(id));
    list.InitToolTips();
    list.AddStyle(LVS_SHOWSELALWAYS);
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int column = 0; column < count; column++)
        list.InsertColumn(column, headings[column], formats[column], ScaleForDpi(widths[column], DpiOfWindow(hwnd)));
    for (int column = 0; column < count; column++)
        list.SetColumnToolTip(column, tips[column]);
}

BOOL CWindowWiperEntries::OnInitDialog()
{
    EnableItem(IDC_ADD, true);
    // Where the template puts the results, at the DPI it was laid out for.
    templateResultsTop = RectInParent(GetItem(IDC_RESULTS_FRAME)).top;
    templateDpi = DpiOfWindow(hwnd);
    InitList(locationsList, IDC_LOCATIONS, kLocationHeadings, kLocationTips, kLocationFormats, kLocationWidths, 2);
    InitList(results, IDC_RESULTS, kResultHeadings, kResultTips, kResultFormats, kResultWidths, 6);
    locations.clear();
    InitCriteria();
    UpdateButtons();
    return TRUE;
}

void CWindowWiperEntries::OnSize(int width, int height)
{
    const UINT dpi = DpiOfWindow(hwnd);
    auto px = [dpi](int value) { return ScaleForDpi(value, dpi); };
    // A taller font makes the criteria taller: the results then start where
    // the template puts them, beyond a dialog unit's rounding.
    const int templateTop = MulDiv(templateResultsTop, static_cast<int>(dpi), static_cast<int>(templateDpi));
    const int shift = std::max(0, templateTop - px(kResultsFrameTop) - kRoundingSlack);
    const int deleteLeft = width - px(158);
    const int bottomRow = height - px(39);
    // The total and the unreadable folders' line, one line of text each, one below the other.
    const int line = TextLineHeight();
    const struct
    {
        int id;
        int x, y, width, height;
    } places[] = {
        {IDC_RESULTS_FRAME, px(6), px(kResultsFrameTop) + shift, width - px(12), height - px(310) - shift},
        {IDC_RESULTS, px(9), px(315) + shift, width - px(18), height - px(355) - shift},
        {IDC_DELETE, deleteLeft, bottomRow, px(150), px(25)},
        {IDC_TOTAL_LINE, px(9), bottomRow, px(200), line},
        {IDC_UNREADABLE_LINE, px(9), bottomRow + line, px(200), line},
        {IDC_RECYCLE_BIN, deleteLeft, px(kResultsFrameTop) + shift, px(150), px(kRecycleBoxHeight)},
        {IDC_SELECTION_TOTAL, px(kSelectionTotalLeft), bottomRow,
         deleteLeft - px(kSelectionTotalGap + kSelectionTotalLeft), px(kSelectionTotalHeight)},
    };
    for (const auto& place : places)
    {
        if (HWND control = GetItem(place.id))
            MoveWindow(control, place.x, place.y, place.width, place.height, TRUE);
    }
}

int CWindowWiperEntries::TextLineHeight() const
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return metrics.tmHeight;
}

void CWindowWiperEntries::OnFind()
{
    DoDataExchange(true);
    found.Clear();
    results.ListInFoundOrder();
    RefreshResults();

    SkipRules skip;
    if (!ComputeCriteria(skip))
        return;
    if (locations.empty())
    {
        ShowWarning("Please select any folder.");
        DoDataExchange(false);
        return;
    }
    if (!ConfirmAccessedDates())
    {
        DoDataExchange(false);
        return;
    }

    KeepSearch();
    requestedOperation = Operation::Search;
    OperationStarted(progress.StartSearch(this, &found, "Files Searching", {criteria, locations, std::move(skip)}));
    DoDataExchange(false);
}

// Where Windows does not record when files are opened, on any location's volume,
// "accessed before a year ago" lists files in daily use. Asked until the user agrees once in this run:
// a No starts nothing, so there is nothing to remember it by.
bool CWindowWiperEntries::ConfirmAccessedDates()
{
    if (criteria.dateKind != DateKind::Accessed || criteria.dateCondition == DateCondition::Any ||
        accessedDatesAccepted || LocationsRecordAccessTimes(locations))
        return true;
    accessedDatesAccepted =
        AskYesNo(hwnd, "Warning", "",
                 "Windows does not record when files are opened on this computer, so a file's accessed date can be "
                 "much older than its last use. Search by accessed date anyway?",
                 IDI_EXCLAMATION_MARK);
    return accessedDatesAccepted;
}

void CWindowWiperEntries::OnDelete()
{
    // The rows' own selection, taken now: a click during the deletion changes nothing.
    DeletionJob job = found.ChosenFiles();
    if (job.files.empty())
    {
        ShowWarning("Please select any file.");
        return;
    }
    recycle = IsDlgButtonChecked(hwnd, IDC_RECYCLE_BIN) == BST_CHECKED;
    if (!AskWarning(recycle ? "Do you really want to move selected file(s) to the Recycle Bin?"
                            : "Do you really want to delete selected file(s)?") ||
        !ConfirmOnlineOnly(job))
        return;
    job.recycle = recycle != 0;
    job.recordPath = recordPath;

    results.KeepShownOrder();
    results.SetRedraw(false);
    requestedOperation = Operation::Delete;
    OperationStarted(progress.StartDeletion(this, &found, "Deleting Files", std::move(job)));
    results.SetRedraw(true);
    RefreshResults();
}

// Deleting a file kept online only frees nothing here and deletes it from every
// device that syncs it. False when nothing is left to delete.
bool CWindowWiperEntries::ConfirmOnlineOnly(DeletionJob& job)
{
    const auto onlineOnly = [](const ChosenFile& file) { return file.OnlineOnly(); };
    const size_t count = std::count_if(job.files.begin(), job.files.end(), onlineOnly);
    if (count == 0)
        return true;
    const std::string text = std::to_string(count) +
                             " of the selected files are kept online only. Deleting them removes them from the cloud "
                             "and from every device that syncs them.";
    const Choice choice = AskChoice(hwnd, "Warning", "", text, IDI_EXCLAMATION_MARK, {1, 1, 1, 0, 0},
                                    {"Delete all", "Skip them", "Cancel", " ", " "});
    if (choice == Choice::YesForAll)
    {
        std::copy_if(job.files.begin(), job.files.end(), std::back_inserter(job.leftOut), onlineOnly);
        std::erase_if(job.files, onlineOnly);
    }
    return (choice == Choice::Yes || choice == Choice::YesForAll) && !job.files.empty();
}

void CWindowWiperEntries::OperationStarted(bool started)
{
    // Nothing was started: the buttons must not wait for a worker.
    if (!started)
        requestedOperation = Operation::None;
    UpdateButtons();
}

void CWindowWiperEntries::OperationEnded()
{
    requestedOperation = Operation::None;
    RefreshResults();
}

bool CWindowWiperEntries::OperationActive() const
{
    return requestedOperation != Operation::None || progress.RunningOperation() != Operation::None;
}

void CWindowWiperEntries::UpdateButtons()
{
    // Not only a search: no second worker may start beside a running deletion either.
    const bool idle = !OperationActive();
    EnableItem(IDC_FIND, idle && findReady);
    EnableItem(IDC_DELETE, idle && resultsListed);
    EnableItem(IDC_REMOVE, idle && !selectedLocations.empty());
    EnableItem(IDC_EMPTY_LIST, idle && !locations.empty());
}

void CWindowWiperEntries::RefreshResults()
{
    if (!hwnd)
        return;
    // In found order, or as shown before a deletion; the rows that are left keep their selection.
    results.Rebuild();
    SetItemText(IDC_TOTAL_LINE, "Total number of found files: " + std::to_string(found.FoundCount()));
    ShowItem(IDC_TOTAL_LINE, true);
    ShowItem(IDC_SELECTION_TOTAL, true);
    ShowUnreadableLine();
    if (!OperationActive())
    {
        findReady = true;
        resultsListed = true;
    }
    UpdateButtons();
}

void CWindowWiperEntries::ShowWarning(const std::string& text)
{
    ShowMessage(hwnd, "Warning", "", text, IDI_EXCLAMATION_MARK);
}

bool CWindowWiperEntries::AskWarning(const std::string& text)
{
    return AskYesNo(hwnd, "Warning", "", text, IDI_QUESTION_MARK);
}
