// The search page: criteria, locations, the search and its results, and the
// start of a deletion.
#pragma once

#include "engine/CWindowProgressUnDelete.h"
#include "engine/IResultsPage.h"
#include "engine/SearchCriteria.h"
#include "framework/CDialog.h"
#include "search_page/CCustomList.h"

#include <atomic>
#include <string>
#include <vector>

class CWiperSettings;

class CWindowWiperEntries : public CDialog, public IResultsPage
{
public:
    // Lower bounds of the page's size for the window that hosts it.
    int minWidth = 530;
    int minHeight = 520;

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
    // Appends a folder unless the list holds exactly this path already; false when it does.
    bool AddLocation(const std::string& path);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(int id, int code) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    CWiperSettings* settings;
    // The page's window and thread, for workers calling RefreshResults.
    std::atomic<HWND> pageWindow{nullptr};
    DWORD pageThread = 0;
    CWindowProgressUnDelete progress;
    CCustomList locationsList;
    CCustomList resultsList;

    SearchCriteria criteria;
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
    // Row of the result list -> index into foundFiles.
    std::vector<size_t> rowOrder;
    // One pair for the whole process: kept across searches.
    static int lastSortColumn;
    static bool sortAscending;

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
    void OnGetResultText(NMLVDISPINFOW& info);
    void OnHeaderClick(int column);

    void InitList(CCustomList& list, int id, const char* const headings[], const char* const tips[],
                  const int formats[], const int widths[], int count);
    // Opens the progress window for settings->requestedOperation.
    void StartOperation(const std::string& caption);
    // True from the request of a search or deletion until its worker has ended.
    bool OperationActive() const;
    void ShowWarning(const std::string& text);
    bool AskWarning(const std::string& text);
    void SortRows(int column, bool ascending);
};
