// The result list of the search page: which found file each row shows, the
// rows' texts, their order, the selection and the commands on the rows.
// The selection belongs to the found files (SearchResults); the list's own
// selection is its mirror, written back after a sort or a refresh. The list's
// notifications about its rows come back to it from the page.
#pragma once

#include "engine/LocalTime.h"
#include "engine/SearchCriteria.h"
#include "engine/SearchResults.h"
#include "framework/CCustomList.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

// How a column sorts.
enum SortKind
{
    SortNumber = 1,
    SortText = 2,
    SortDate = 3,
};

class CResultView : public CCustomList
{
public:
    explicit CResultView(SearchResults* found) : found(found) {}

    // Lists every found file, keeps the files' selection and the focused file, and
    // shows the total. On the page's thread. The order is the found order, or the
    // order kept before a deletion.
    void Rebuild();
    // The rows a deletion leaves are listed as they are shown now.
    void KeepShownOrder();
    // Rebuilds list the rows in found order again: a new search's rows.
    void ListInFoundOrder();
    // Orders the rows by a column; the selected and the focused files stay so.
    void Sort(int column, int kind, bool ascending);
    // As a click on the column's heading: ascending, or the other way on the same column.
    void SortByColumn(int column);
    // The selection total is written once per burst of changes, on this message.
    void OnSelectionTotalDue();

    void SelectAll();
    // The row the commands act on: the focused row when it is selected, else
    // the first selected row; -1 when none is selected.
    int ActiveRow() const;

    // Commands on the rows (they show their own failure messages).
    void OpenFile(int row);
    void OpenFolder(int row);
    void CopyPaths();
    // Puts the text on the clipboard; nothing for an empty text.
    static void CopyToClipboard(HWND owner, const std::string& text);
    void SaveListAs();
    // The folders of the selected rows, each once and ending with a backslash;
    // every row in or below one of them leaves the found files (the files stay
    // on disk), the others keeping their places; a rebuild lists what is left.
    std::vector<std::string> DropSelectedFolders();
    // Writes every row in shown order as CSV; false after a message.
    bool SaveList(const std::string& path);
    // The context menu at a screen point; point (-1, -1): below the active row.
    void ShowMenu(POINT point, bool enabled);

    // Message id of OnSelectionTotalDue, posted to the page.
    static const UINT kSelectionTotalMessage = WM_APP + 2;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Texts, selection changes, drawing and heading clicks; the page handles the rest.
    bool OnReflectedNotify(NMHDR& header, LRESULT& result) override;

private:
    SearchResults* found;
    // Row of the list -> index into the found rows.
    std::vector<size_t> rowOrder;
    // The found places of the rows as shown before a deletion; empty: found order.
    std::vector<uint32_t> shownPlaces;
    // The local-time rule the Date column's texts are made with, taken at each rebuild.
    ZoneRule zone;
    // True while the view writes the selection into the list: the list's
    // notifications then echo what the files already say.
    bool mirroring = false;
    bool totalPending = false;
    // One pair for the whole process: kept across searches.
    static int lastSortColumn;
    static bool sortAscending;

    void OnGetText(NMLVDISPINFOW& info);
    void OnItemChanged(const NMLISTVIEW& change);
    void OnRangeChanged(const NMLVODSTATECHANGE& change);
    // Rows of files kept online only are drawn in the system's grey text.
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    // The sorted column's heading shows its direction; column -1: none is sorted.
    void ShowSortArrow(int column, bool ascending);
    void SetFileSelected(int row, bool selected);
    // Makes the files' selection what the list shows.
    void TakeListSelection();
    void SetFilesSelected(const std::vector<size_t>& chosen, const std::vector<size_t>& dropped);
    // Each row's key in a number or date column ("N", "Size", "Date").
    void NumberKeys(const SearchResults::Reading& rows, int column, int kind, std::vector<int64_t>& keys) const;
    // Each row's rank among the rows' lowered texts of a column.
    void RankTexts(const SearchResults::Reading& rows, int column, std::vector<int64_t>& ranks) const;
    void MirrorSelection();
    // Puts the focus mark on a row again after the list was emptied and filled; -1: none.
    void FocusRow(int row);
    void ScheduleSelectionTotal();
    HWND Page() const { return GetParent(hwnd); }
    std::string RowPath(int row) const;
    // The file a row shows, or SIZE_MAX for a row past the files.
    size_t FileOfRow(int row) const;
};
