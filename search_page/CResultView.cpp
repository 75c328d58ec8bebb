#include "search_page/CResultView.h"

#include "engine/LocalZone.h"
#include "framework/Gdi.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "search_page/ResultText.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <string_view>
#include <unordered_map>

namespace
{
// The columns sorted as text: Name, Type and Location.
std::string_view TextColumn(const FoundFile& file, int column)
{
    return column == 1 ? file.Name() : column == 2 ? file.Type() : std::string_view(file.Folder());
}


// How each column sorts, in the columns' order: N, Name, Type, Location, Size, Date.
const int kColumnSorts[] = {SortNumber, SortText, SortText, SortText, SortNumber, SortDate};
}

int CResultView::lastSortColumn = -1;
bool CResultView::sortAscending = true;

size_t CResultView::FileOfRow(int row) const
{
    if (row < 0 || (size_t)row >= rowOrder.size())
        return SIZE_MAX;
    return rowOrder[row];
}

void CResultView::Rebuild()
{
    // The focused row's file, to focus it again: by its place as shown before a
    // deletion (which renumbers the rows), else by its row.
    const int focusedRow = GetNextItem(-1, LVNI_FOCUSED);
    const bool byPlace = !shownPlaces.empty();
    size_t focusedKey = SIZE_MAX;
    if (focusedRow >= 0 && byPlace && (size_t)focusedRow < shownPlaces.size())
        focusedKey = shownPlaces[focusedRow];
    else if (focusedRow >= 0 && !byPlace)
        focusedKey = FileOfRow(focusedRow);
    int newFocus = -1;
    {
        SearchResults::Reading rows(*found);
        const size_t count = rows.Rows().size();
        if (!byPlace)
        {
            rowOrder.resize(count);
            std::iota(rowOrder.begin(), rowOrder.end(), size_t(0));
        }
        else
        {
            // A deletion dropped rows: the others stay where they were shown, as in Explorer.
            rowOrder.clear();
            for (uint32_t place : shownPlaces)
            {
                size_t file = rows.RowAt(place);
                if (file != SIZE_MAX)
                    rowOrder.push_back(file);
            }
        }
        for (size_t row = 0; row < rowOrder.size() && focusedKey != SIZE_MAX && newFocus < 0; row++)
        {
            if ((byPlace ? rows.PlaceOf(rowOrder[row]) : rowOrder[row]) == focusedKey)
                newFocus = (int)row;
        }
    }
    // A focused file that is gone leaves the focus on the row that took its place.
    if (newFocus < 0 && focusedRow >= 0 && !rowOrder.empty())
        newFocus = std::min(focusedRow, (int)rowOrder.size() - 1);
    zone = CurrentZoneRule();
    MirrorSelection();
    FocusRow(newFocus);
}

void CResultView::FocusRow(int row)
{
    if (row < 0)
        return;
    mirroring = true;
    SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    mirroring = false;
}

void CResultView::KeepShownOrder()
{
    SearchResults::Reading rows(*found);
    shownPlaces.resize(rowOrder.size());
    for (size_t row = 0; row < rowOrder.size(); row++)
        shownPlaces[row] = (uint32_t)rows.PlaceOf(rowOrder[row]);
}

void CResultView::ListInFoundOrder()
{
    shownPlaces.clear();
    ShowSortArrow(-1, true);
}

void CResultView::ShowSortArrow(int column, bool ascending)
{
    HWND heading = GetHeader();
    const int count = (int)SendMessageW(heading, HDM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; i++)
    {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(heading, HDM_GETITEMW, i, (LPARAM)&item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column)
            item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageW(heading, HDM_SETITEMW, i, (LPARAM)&item);
    }
}

void CResultView::Sort(int column, int kind, bool ascending)
{
    const size_t focusedFile = FileOfRow(GetNextItem(-1, LVNI_FOCUSED));
    const size_t anchorFile = FileOfRow((int)SendMessageW(hwnd, LVM_GETSELECTIONMARK, 0, 0));
    const size_t count = rowOrder.size();
    // Every kind becomes a number per row: texts become the rank of their lowered form.
    std::vector<int64_t> keys(count, 0);
    {
        SearchResults::Reading rows(*found);
        if (kind == SortText)
            RankTexts(rows, column, keys);
        else
            NumberKeys(rows, column, kind, keys);
    }
    // Rows that compare equal keep their previous order in both directions.
    std::vector<uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        if (keys[a] != keys[b])
            return ascending ? keys[a] < keys[b] : keys[b] < keys[a];
        return a < b;
    });
    std::vector<size_t> sorted(count);
    int focusedRow = -1;
    int anchorRow = -1;
    for (size_t row = 0; row < count; row++)
    {
        sorted[row] = rowOrder[order[row]];
        if (sorted[row] == focusedFile)
            focusedRow = (int)row;
        if (sorted[row] == anchorFile)
            anchorRow = (int)row;
    }
    rowOrder = std::move(sorted);
    ShowSortArrow(column, ascending);

    MirrorSelection();
    // Focus and the Shift anchor go with their files too.
    FocusRow(focusedRow);
    SendMessageW(hwnd, LVM_SETSELECTIONMARK, 0, anchorRow);
}

void CResultView::NumberKeys(const SearchResults::Reading& rows, int column, int kind,
                             std::vector<int64_t>& keys) const
{
    const std::vector<FoundFile>& files = rows.Rows();
    for (size_t row = 0; row < rowOrder.size(); row++)
    {
        const size_t file = rowOrder[row];
        if (file >= files.size())
            continue;
        // Dates sort by the tested time itself, not by re-reading their text; the
        // number columns show their numbers, so their values are what the texts read.
        if (kind == SortDate)
            keys[row] = files[file].testedTime;
        else if (column == 0)
            keys[row] = (int64_t)rows.PlaceOf(file);
        else
            keys[row] = (int64_t)files[file].size;
    }
}

void CResultView::RankTexts(const SearchResults::Reading& rows, int column, std::vector<int64_t>& ranks) const
{
    const std::vector<FoundFile>& files = rows.Rows();
    // Many rows share a text (a folder's files): each distinct text is widened and
    // lowered once, then the distinct texts are ranked.
    std::vector<std::wstring> distinct;
    std::unordered_map<std::string_view, uint32_t> known;
    std::vector<uint32_t> textOfRow(rowOrder.size(), 0);
    for (size_t row = 0; row < rowOrder.size(); row++)
    {
        const size_t file = rowOrder[row];
        const std::string_view text = file < files.size() ? TextColumn(files[file], column) : std::string_view();
        auto [entry, added] = known.try_emplace(text, (uint32_t)distinct.size());
        if (added)
        {
            std::wstring wide = Widen(std::string(text));
            // Compared lower-cased, as the C library's case-insensitive comparison does.
            CharLowerBuffW(wide.data(), (DWORD)wide.size());
            distinct.push_back(std::move(wide));
        }
        textOfRow[row] = entry->second;
    }
    std::vector<uint32_t> byText(distinct.size());
    std::iota(byText.begin(), byText.end(), 0u);
    std::sort(byText.begin(), byText.end(), [&](uint32_t a, uint32_t b) { return distinct[a] < distinct[b]; });
    std::vector<int64_t> rankOfText(distinct.size(), 0);
    int64_t rank = 0;
    for (size_t i = 0; i < byText.size(); i++)
    {
        if (i > 0 && distinct[byText[i]] != distinct[byText[i - 1]])
            rank++;
        rankOfText[byText[i]] = rank;
    }
    for (size_t row = 0; row < rowOrder.size(); row++)
        ranks[row] = rankOfText[textOfRow[row]];
}

void CResultView::MirrorSelection()
{
    const int count = (int)rowOrder.size();
    std::vector<char> selected(count, 0);
    int selectedCount = 0;
    {
        SearchResults::Reading rows(*found);
        const std::vector<FoundFile>& files = rows.Rows();
        for (int row = 0; row < count; row++)
        {
            size_t file = rowOrder[row];
            selected[row] = file < files.size() && files[file].rowSelected;
            selectedCount += selected[row];
        }
    }
    // Row by row the list sends a notice for each change, so only the rows that differ
    // from an empty or a full selection are set, with redrawing off. Emptying the list
    // clears its selection at once; from a full one, rows are dropped from the last up,
    // which Wine's range list does in constant time each.
    mirroring = true;
    const int topRow = (int)SendMessageW(hwnd, LVM_GETTOPINDEX, 0, 0);
    SetRedraw(false);
    DeleteAllItems();
    SetItemCount(count);
    if (selectedCount * 2 > count)
    {
        SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
        for (int row = count - 1; row >= 0; row--)
        {
            if (!selected[row])
                SetItemState(row, 0, LVIS_SELECTED);
        }
    }
    else
    {
        for (int row = 0; row < count; row++)
        {
            if (selected[row])
                SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    // Emptying the list scrolled it to the top: back to where the user was.
    RECT rowRect = {LVIR_BOUNDS, 0, 0, 0};
    if (topRow > 0 && topRow < count && SendMessageW(hwnd, LVM_GETITEMRECT, 0, (LPARAM)&rowRect))
        SendMessageW(hwnd, LVM_SCROLL, 0, topRow * (rowRect.bottom - rowRect.top));
    SetRedraw(true);
    mirroring = false;
    ScheduleSelectionTotal();
}

bool CResultView::OnReflectedNotify(NMHDR& header, LRESULT& result)
{
    switch (header.code)
    {
    case LVN_GETDISPINFOW:
        OnGetText(reinterpret_cast<NMLVDISPINFOW&>(header));
        return true;
    case LVN_ITEMCHANGED:
        OnItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
        return true;
    case LVN_ODSTATECHANGED:
        OnRangeChanged(reinterpret_cast<const NMLVODSTATECHANGE&>(header));
        return true;
    case NM_CUSTOMDRAW:
        result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
        return true;
    // The list reports only left-button clicks on a heading as column clicks.
    case LVN_COLUMNCLICK:
        SortByColumn(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return true;
    }
    return false;
}

LRESULT CResultView::OnCustomDraw(NMLVCUSTOMDRAW& draw)
{
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    const size_t file = FileOfRow((int)draw.nmcd.dwItemSpec);
    SearchResults::Reading rows(*found);
    // A selected row keeps the highlight's own text colour.
    const bool selected = ListView_GetItemState(hwnd, (int)draw.nmcd.dwItemSpec, LVIS_SELECTED) != 0;
    if (file < rows.Rows().size() && rows.Rows()[file].OnlineOnly() && !selected)
    {
        // Grey, but never so light that it cannot be read.
        draw.clrText = ReadableColour(GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_WINDOW));
        return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

void CResultView::SortByColumn(int column)
{
    if (column < 0 || column >= (int)std::size(kColumnSorts))
        return;
    sortAscending = column == lastSortColumn ? !sortAscending : true;
    lastSortColumn = column;
    Sort(column, kColumnSorts[column], sortAscending);
}

void CResultView::OnGetText(NMLVDISPINFOW& info)
{
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    item.pszText[0] = L'\0';
    const size_t file = FileOfRow(item.iItem);
    std::string text;
    {
        // A worker may have dropped rows since the list was rebuilt.
        SearchResults::Reading rows(*found);
        if (file >= rows.Rows().size())
            return;
        text = CellText(rows.Rows()[file], rows.PlaceOf(file), item.iSubItem, zone);
    }
    lstrcpynW(item.pszText, Widen(text).c_str(), item.cchTextMax);
}

void CResultView::OnItemChanged(const NMLISTVIEW& change)
{
    if (mirroring || !(change.uChanged & LVIF_STATE))
        return;
    if (!((change.uOldState | change.uNewState) & LVIS_SELECTED))
        return;
    // The notices do not always tell the whole change: Wine announces a clearing of
    // every row (index -1) that spares the clicked one, and then reports that row's
    // old state as before the clearing, or not at all. The list itself says how
    // the rows ended.
    if (change.iItem == -1)
        TakeListSelection();
    else
        SetFileSelected(change.iItem, GetItemState(change.iItem, LVIS_SELECTED) != 0);
}

LRESULT CResultView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CCustomList::WindowProc(message, wParam, lParam);
    switch (message)
    {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
        // Wine may select a row without a notice (a Shift+click on a row that a
        // clearing of the others spared): after each input, a selection count
        // that differs from the files' says the files missed a change.
        if (hwnd && !mirroring &&
            (uint64_t)SendMessageW(hwnd, LVM_GETSELECTEDCOUNT, 0, 0) != found->Selection().files)
            TakeListSelection();
        break;
    }
    return result;
}

void CResultView::TakeListSelection()
{
    std::vector<char> shown(rowOrder.size(), 0);
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0 && (size_t)row < shown.size();
         row = GetNextItem(row, LVNI_SELECTED))
        shown[row] = 1;
    std::vector<size_t> chosen;
    std::vector<size_t> dropped;
    for (size_t row = 0; row < rowOrder.size(); row++)
        (shown[row] ? chosen : dropped).push_back(rowOrder[row]);
    SetFilesSelected(chosen, dropped);
}

void CResultView::SetFilesSelected(const std::vector<size_t>& chosen, const std::vector<size_t>& dropped)
{
    const bool changed = found->SetSelected(dropped, false);
    if (found->SetSelected(chosen, true) || changed)
        ScheduleSelectionTotal();
}

void CResultView::OnRangeChanged(const NMLVODSTATECHANGE& change)
{
    if (mirroring)
        return;
    // Wine reports Ctrl+Shift ranges with the old and new states swapped: the
    // list itself says how each row of the range ended.
    const int last = std::min(change.iTo, (int)rowOrder.size() - 1);
    std::vector<size_t> chosen;
    std::vector<size_t> dropped;
    for (int row = std::max(change.iFrom, 0); row <= last; row++)
        (GetItemState(row, LVIS_SELECTED) ? chosen : dropped).push_back(rowOrder[row]);
    SetFilesSelected(chosen, dropped);
}

void CResultView::SetFileSelected(int row, bool selected)
{
    if (found->SetSelected(FileOfRow(row), selected))
        ScheduleSelectionTotal();
}

void CResultView::ScheduleSelectionTotal()
{
    if (totalPending)
        return;
    totalPending = PostMessageW(Page(), kSelectionTotalMessage, 0, 0) != 0;
}

void CResultView::OnSelectionTotalDue()
{
    totalPending = false;
    const SelectionTotal total = found->Selection();
    SetDlgItemTextW(Page(), IDC_SELECTION_TOTAL, Widen(SelectionTotalText(total.files, total.bytes)).c_str());
}

void CResultView::SelectAll()
{
    const int focused = GetNextItem(-1, LVNI_FOCUSED);
    SetFilesSelected(rowOrder, {});
    MirrorSelection();
    FocusRow(focused);
}

int CResultView::ActiveRow() const
{
    const int focused = GetNextItem(-1, LVNI_FOCUSED);
    if (focused >= 0 && GetItemState(focused, LVIS_SELECTED))
        return focused;
    return GetNextItem(-1, LVNI_SELECTED);
}

std::string CResultView::RowPath(int row) const
{
    const size_t file = FileOfRow(row);
    SearchResults::Reading rows(*found);
    if (file >= rows.Rows().size())
        return std::string();
    return rows.Rows()[file].Path();
}
