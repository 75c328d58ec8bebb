#include "search_page/CResultView.h"

#include "framework/DataExchange.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "search_page/ResultText.h"
#include "settings/CWiperSettings.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <mutex>
#include <numeric>
#include <shared_mutex>

namespace
{
// The kinds of the page's sortKinds.
enum SortKind
{
    SortNumber = 1,
    SortText = 2,
    SortDate = 3,
};

struct SortKey
{
    size_t file;
    int64_t number;
    std::wstring text;
};
}

size_t CResultView::FileOfRow(int row) const
{
    if (row < 0 || (size_t)row >= rowOrder.size())
        return SIZE_MAX;
    return rowOrder[row];
}

void CResultView::Rebuild()
{
    size_t count = 0;
    {
        std::shared_lock lock(settings->foundFilesLock);
        count = settings->foundFiles.size();
    }
    rowOrder.resize(count);
    std::iota(rowOrder.begin(), rowOrder.end(), size_t(0));
    mirroring = true;
    list.DeleteAllItems();
    list.SetItemCount((int)count);
    mirroring = false;
    RecountSelection();
    MirrorSelection();
}

void CResultView::Sort(int column, int kind, bool ascending)
{
    const size_t focusedFile = FileOfRow(list.GetNextItem(-1, LVNI_FOCUSED));
    const size_t anchorFile = FileOfRow((int)SendMessageW(list.hwnd, LVM_GETSELECTIONMARK, 0, 0));
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
    int focusedRow = -1;
    int anchorRow = -1;
    for (size_t row = 0; row < keys.size(); row++)
    {
        rowOrder[row] = keys[row].file;
        if (keys[row].file == focusedFile)
            focusedRow = (int)row;
        if (keys[row].file == anchorFile)
            anchorRow = (int)row;
    }

    MirrorSelection();
    // Focus and the Shift anchor go with their files too.
    mirroring = true;
    if (focusedRow >= 0)
        list.SetItemState(focusedRow, LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessageW(list.hwnd, LVM_SETSELECTIONMARK, 0, anchorRow);
    mirroring = false;
}

void CResultView::MirrorSelection()
{
    const int count = (int)rowOrder.size();
    std::vector<char> selected(count, 0);
    int selectedCount = 0;
    {
        std::shared_lock lock(settings->foundFilesLock);
        const std::vector<FoundFile>& files = settings->foundFiles;
        for (int row = 0; row < count; row++)
        {
            size_t file = rowOrder[row];
            selected[row] = file < files.size() && files[file].rowSelected;
            selectedCount += selected[row];
        }
    }
    // Row by row the list sends a notice and repaints each change: with redrawing off,
    // and from whichever of "none" or "all" is nearer, 10000 rows take a few hundredths.
    mirroring = true;
    list.SetRedraw(false);
    const bool fromAll = selectedCount * 2 > count;
    list.SetItemState(-1, fromAll ? LVIS_SELECTED : 0, LVIS_SELECTED);
    for (int row = 0; row < count; row++)
    {
        if ((bool)selected[row] != fromAll)
            list.SetItemState(row, selected[row] ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
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
        std::shared_lock lock(settings->foundFilesLock);
        if (file >= settings->foundFiles.size())
            return;
        text = CellText(settings->foundFiles[file], file, item.iSubItem);
    }
    lstrcpynW(item.pszText, Widen(text).c_str(), item.cchTextMax);
}

void CResultView::OnItemChanged(const NMLISTVIEW& change)
{
    if (mirroring || !(change.uChanged & LVIF_STATE) || !((change.uOldState ^ change.uNewState) & LVIS_SELECTED))
        return;
    const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
    if (change.iItem == -1)
    {
        // Every row at once.
        std::shared_lock lock(settings->foundFilesLock);
        for (size_t file : rowOrder)
        {
            if (file < settings->foundFiles.size())
                settings->foundFiles[file].rowSelected = selected;
        }
        lock.unlock();
        RecountSelection();
        return;
    }
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
    {
        SetFileSelected(row, list.GetItemState(row, LVIS_SELECTED) != 0);
    }
}

void CResultView::SetFileSelected(size_t row, bool selected)
{
    const size_t file = FileOfRow((int)row);
    std::shared_lock lock(settings->foundFilesLock);
    if (file >= settings->foundFiles.size())
        return;
    FoundFile& found = settings->foundFiles[file];
    if (found.rowSelected == selected)
        return;
    found.rowSelected = selected;
    if (selected)
    {
        selectedFiles++;
        selectedBytes += found.size;
    }
    else
    {
        selectedFiles--;
        selectedBytes -= found.size;
    }
    lock.unlock();
    ScheduleSelectionTotal();
}

void CResultView::RecountSelection()
{
    selectedFiles = 0;
    selectedBytes = 0;
    {
        std::shared_lock lock(settings->foundFilesLock);
        for (const FoundFile& file : settings->foundFiles)
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

std::vector<size_t> CResultView::SelectedFiles() const
{
    std::vector<size_t> selected;
    std::shared_lock lock(settings->foundFilesLock);
    const std::vector<FoundFile>& files = settings->foundFiles;
    for (size_t file = 0; file < files.size(); file++)
    {
        if (files[file].rowSelected)
            selected.push_back(file);
    }
    return selected;
}

void CResultView::SelectAll()
{
    {
        std::shared_lock lock(settings->foundFilesLock);
        for (size_t file : rowOrder)
        {
            if (file < settings->foundFiles.size())
                settings->foundFiles[file].rowSelected = true;
        }
    }
    RecountSelection();
    MirrorSelection();
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
    std::shared_lock lock(settings->foundFilesLock);
    if (file >= settings->foundFiles.size())
        return std::string();
    return settings->foundFiles[file].folder + settings->foundFiles[file].name;
}
