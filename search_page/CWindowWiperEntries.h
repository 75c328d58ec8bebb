// The search page: criteria, locations, the search and its results, and the
// start of a deletion. Its handlers are split by concern: the criteria form in
// WiperEntriesCriteria.cpp, the locations list in WiperEntriesLocations.cpp,
// the result rows in CResultView; this class ties them together.
#pragma once

#include "engine/CWindowProgressUnDelete.h"
#include "engine/IResultsPage.h"
#include "engine/SearchCriteria.h"
#include "framework/CPage.h"
#include "framework/Dpi.h"
#include "search_page/CCustomList.h"
#include "search_page/CResultView.h"

#include <atomic>
#include <string>
#include <vector>

class CWiperSettings;

class CWindowWiperEntries : public CPage, public IResultsPage
{
public:
    explicit CWindowWiperEntries(CWiperSettings* settings);

    // Creates the page as a child of parent.
    bool Create(HWND parent);

    const SearchCriteria& Criteria() const override;
    size_t SelectedCount() const override;
    void DisableFind() override;
    // From any thread; the list is always rebuilt on the page's thread.
    void RefreshResults() override;

    // The progress window of the running search or deletion, or null.
    HWND ProgressWindow() const { return progress.hwnd; }
    CResultView& ResultView() { return results; }
    // Appends a folder unless the list holds exactly this path already; false when it does.
    bool AddLocation(const std::string& path);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(int id, int code) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CWiperSettings* settings;
    // The page's window and thread, for workers calling RefreshResults.
    std::atomic<HWND> pageWindow{nullptr};
    DWORD pageThread = 0;
    CWindowProgressUnDelete progress;
    CCustomList locationsList;
    CResultView results;
    // The results frame's top as the template placed it, and the DPI of that layout.
    int templateResultsTop = 0;
    UINT templateDpi = kBaseDpi;

    SearchCriteria criteria;
    // The user agreed to search by accessed dates that Windows does not keep.
    bool accessedDatesAccepted = false;
    // Mirrors of the controls.
    int allFiles = 1;
    int specifyType = 0;
    std::string typedFileType = "*.doc";
    SYSTEMTIME fromDate = {};
    SYSTEMTIME toDate = {};
    SYSTEMTIME fromTime = {};
    SYSTEMTIME toTime = {};
    int sizeFromValue = 0;
    int sizeToValue = 10;
    int sizeUnit = 2;
    std::string sizeUnitText;

    std::vector<size_t> selectedLocations;
    std::vector<size_t> selectedRows;
    std::vector<int> sortKinds;
    // "Find" waits for the first refresh of either list, "Delete" for the first result refresh.
    bool findReady = false;
    bool resultsListed = false;
    // One pair for the whole process: kept across searches.
    static int lastSortColumn;
    static bool sortAscending;

    // The form's controls in their first state, and the members read from them.
    void InitCriteria();
    void DoDataExchange(bool save);
    LRESULT OnNotify(NMHDR& header);
    void OnSize(int width, int height);
    void OnAllFiles();
    void OnSpecifyType();
    void OnDateKindChange();
    void OnDateConditionChange();
    void OnDateModeChange();
    void OnSizeConditionChange();
    void OnSizeUnitChange();
    void OnFind();
    void OnDelete();
    void OnAdd();
    void OnRemove();
    void OnEmptyList();
    void OnLocationsSelChange();
    void RefreshLocations();
    void UpdateLocationButtons();
    // Turns the selected result rows into selectedRows and the found files' selected flags.
    void CollectSelection();
    void OnHeaderClick(int column);
    void OnResultKey(const NMLVKEYDOWN& key);
    void OnContextMenu(HWND window, POINT point);
    void OnResultCommand(int id);
    // Enter on the result list: its folder; elsewhere nothing.
    void OnReturn();

    void InitList(CCustomList& list, int id, const char* const headings[], const char* const tips[],
                  const int formats[], const int widths[], int count);
    // Opens the progress window for settings->requestedOperation.
    void StartOperation(const std::string& caption);
    // True from the request of a search or deletion until its worker has ended.
    bool OperationActive() const;
    // The one place that enables "Find", "Delete", "Remove" and "Empty list".
    void UpdateButtons();
    // Steps 3 to 7 of a search's start: the file type, the date and size bounds.
    bool ComputeCriteria();
    // True when the search may go on by its date kind.
    bool ConfirmAccessedDates();
    void ShowWarning(const std::string& text);
    bool AskWarning(const std::string& text);
};
