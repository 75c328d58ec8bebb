#include "search_page/CResultView.h"

#include "engine/LocalZone.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "search_page/ResultText.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <mutex>
#include <numeric>
#include <shared_mutex>
#include <string_view>
#include <unordered_map>

namespace
{
// The columns sorted as text: Name, Type and Location.
std::string_view TextColumn(const FoundFile& file, int column)
{
    return column == 1 ? file.Name() : column == 2 ? file.Type() : std::string_view(file.Folder());
}

}

size_t CResultView::FileOfRow(int row) const
{
    if (row < 0 || (size_t)row >= rowOrder.size())
        return SIZE_MAX;
    return rowOrder[row];
}

void CResultView::Rebuild()
{
    {
        std::shared_lock lock(found->foundFilesLock);
        const size_t count = found->foundFiles.size();
        if (shownPlaces.empty())
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
                size_t file = RowAtFoundPlace(found->foundPlaces, count, place);
                if (file != SIZE_MAX)
                    rowOrder.push_back(file);
            }
        }
    }
    zone = CurrentZoneRule();
    RecountSelection();
    MirrorSelection();
}

void CResultView::KeepShownOrder()
{
    std::shared_lock lock(found->foundFilesLock);
    shownPlaces.resize(rowOrder.size());
    for (size_t row = 0; row < rowOrder.size(); row++)
        shownPlaces[row] = (uint32_t)FoundPlace(found->foundPlaces, rowOrder[row]);
}

void CResultView::ListInFoundOrder()
{
    shownPlaces.clear();
}

void CResultView::Sort(int column, int kind, bool ascending)
{
    const size_t focusedFile = FileOfRow(list.GetNextItem(-1, LVNI_FOCUSED));
    const size_t anchorFile = FileOfRow((int)SendMessageW(list.hwnd, LVM_GETSELECTIONMARK, 0, 0));
    const size_t count = rowOrder.size();
    // Every kind becomes a number per row: texts become the rank of their lowered form.
    std::vector<int64_t> keys(count, 0);
    {
        std::shared_lock lock(found->foundFilesLock);
        const std::vector<FoundFile>& files = found->foundFiles;
        if (kind == SortText)
            RankTexts(files, column, keys);
        else
            NumberKeys(files, column, kind, keys);
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

    MirrorSelection();
    // Focus and the Shift anchor go with their files too.
    mirroring = true;
    if (focusedRow >= 0)
        list.SetItemState(focusedRow, LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessageW(list.hwnd, LVM_SETSELECTIONMARK, 0, anchorRow);
    mirroring = false;
}

void CResultView::NumberKeys(const std::vector<FoundFile>& files, int column, int kind,
                             std::vector<int64_t>& keys) const
{
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
            keys[row] = (int64_t)FoundPlace(found->foundPlaces, file);
        else
            keys[row] = (int64_t)files[file].size;
    }
}

void CResultView::RankTexts(const std::vector<FoundFile>& files, int column, std::vector<int64_t>& ranks) const
{
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
        std::shared_lock lock(found->foundFilesLock);
        const std::vector<FoundFile>& files = found->foundFiles;
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
    const int topRow = (int)SendMessageW(list.hwnd, LVM_GETTOPINDEX, 0, 0);
    list.SetRedraw(false);
    list.DeleteAllItems();
    list.SetItemCount(count);
    if (selectedCount * 2 > count)
    {
        list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
        for (int row = count - 1; row >= 0; row--)
        {
            if (!selected[row])
                list.SetItemState(row, 0, LVIS_SELECTED);
        }
    }
    else
    {
        for (int row = 0; row < count; row++)
        {
            if (selected[row])
                list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    // Emptying the list scrolled it to the top: back to where the user was.
    RECT rowRect = {LVIR_BOUNDS, 0, 0, 0};
    if (topRow > 0 && topRow < count && SendMessageW(list.hwnd, LVM_GETITEMRECT, 0, (LPARAM)&rowRect))
        SendMessageW(list.hwnd, LVM_SCROLL, 0, topRow * (rowRect.bottom - rowRect.top));
    list.SetRedraw(true);
    mirroring = false;
    ScheduleSelectionTotal();
}

void CResultView::OnNotify(NMHDR& header)
{
    switch (header.code)
    {
    case LVN_GETDISPINFOW:
        OnGetText(reinterpret_cast<NMLVDISPINFOW&>(header));
        break;
    case LVN_ITEMCHANGED:
        OnItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
        break;
    case LVN_ODSTATECHANGED:
        OnRangeChanged(reinterpret_cast<const NMLVODSTATECHANGE&>(header));
        break;
    }
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
        std::shared_lock lock(found->foundFilesLock);
        if (file >= found->foundFiles.size())
            return;
        text = CellText(found->foundFiles[file], FoundPlace(found->foundPlaces, file), item.iSubItem, zone);
    }
    lstrcpynW(item.pszText, Widen(text).c_str(), item.cchTextMax);
}

void CResultView::OnItemChanged(const NMLISTVIEW& change)
{
    if (mirroring || !(change.uChanged & LVIF_STATE) || !((change.uOldState ^ change.uNewState) & LVIS_SELECTED))
        return;
    const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
    // Index -1: every row at once.
    if (change.iItem == -1)
        SetAllSelected(selected);
    else
        SetFileSelected(change.iItem, selected);
}

void CResultView::OnRangeChanged(const NMLVODSTATECHANGE& change)
{
    if (mirroring)
        return;
    // Wine reports Ctrl+Shift ranges with the old and new states swapped: the
    // list itself says how each row of the range ended.
    const int last = std::min(change.iTo, (int)rowOrder.size() - 1);
    for (int row = std::max(change.iFrom, 0); row <= last; row++)
        SetFileSelected(row, list.GetItemState(row, LVIS_SELECTED) != 0);
}

void CResultView::SetFileSelected(int row, bool selected)
{
    const size_t file = FileOfRow(row);
    std::shared_lock lock(found->foundFilesLock);
    if (file >= found->foundFiles.size())
        return;
    FoundFile& shown = found->foundFiles[file];
    if (shown.rowSelected == selected)
        return;
    shown.rowSelected = selected;
    if (selected)
    {
        selectedFiles++;
        selectedBytes += shown.size;
    }
    else
    {
        selectedFiles--;
        selectedBytes -= shown.size;
    }
    lock.unlock();
    ScheduleSelectionTotal();
}

void CResultView::RecountSelection()
{
    selectedFiles = 0;
    selectedBytes = 0;
    {
        std::shared_lock lock(found->foundFilesLock);
        for (const FoundFile& file : found->foundFiles)
        {
            if (file.rowSelected)
            {
                selectedFiles++;
                selectedBytes += file.size;
            }
        }
    }
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
    SetDlgItemTextW(Page(), IDC_SELECTION_TOTAL, Widen(SelectionTotalText(selectedFiles, selectedBytes)).c_str());
}

void CResultView::SelectAll()
{
    SetAllSelected(true);
    MirrorSelection();
}

void CResultView::SetAllSelected(bool selected)
{
    {
        std::shared_lock lock(found->foundFilesLock);
        for (size_t file : rowOrder)
        {
            if (file < found->foundFiles.size())
                found->foundFiles[file].rowSelected = selected;
        }
    }
    RecountSelection();
}

int CResultView::ActiveRow() const
{
    const int focused = list.GetNextItem(-1, LVNI_FOCUSED);
    if (focused >= 0 && list.GetItemState(focused, LVIS_SELECTED))
        return focused;
    return list.GetNextItem(-1, LVNI_SELECTED);
}

std::string CResultView::RowPath(int row) const
{
    const size_t file = FileOfRow(row);
    std::shared_lock lock(found->foundFilesLock);
    if (file >= found->foundFiles.size())
        return std::string();
    return found->foundFiles[file].Path();
}
