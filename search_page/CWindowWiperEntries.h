// The search page: criteria, locations, the search and its results, and the
// start of a deletion. Its handlers are split by concern: the criteria form in
// WiperEntriesCriteria.cpp, the locations list in WiperEntriesLocations.cpp,
// the search kept between runs in WiperEntriesKept.cpp, the result rows in
// CResultView; this class ties them together.
#pragma once

#include "engine/Operation.h"
#include "engine/SearchCriteria.h"
#include "engine/SearchResults.h"
#include "engine/SkipRules.h"
#include "framework/CPage.h"
#include "framework/Dpi.h"
#include "framework/CCustomList.h"
#include "search_page/CResultView.h"
#include "search_page/CWindowProgressUnDelete.h"
#include "search_page/IResultsPage.h"
#include "search_page/KeptSearchFile.h"

#include <string>
#include <vector>

class CWindowWiperEntries : public CPage, public IResultsPage
{
public:
    CWindowWiperEntries();

    // Creates the page as a child of parent.
    bool Create(HWND parent);

    // Lists the found files again, on the page's thread.
    void RefreshResults();
    void OperationEnded() override;

    // True from the request of a search or deletion until its worker has ended.
    bool OperationActive() const;
    // The progress window of the running search or deletion, or null.
    HWND ProgressWindow() const { return progress.hwnd; }
    // The operation whose worker runs: None, Search or Delete.
    Operation RunningOperation() const { return progress.RunningOperation(); }
    // Waits at most timeoutMs for the last worker to end; true when it has.
    bool WaitForWorker(DWORD timeoutMs) const { return progress.WaitForWorker(timeoutMs); }
    CResultView& ResultView() { return results; }
    HWND LocationsList() const { return locationsList.hwnd; }
    SearchResults& Found() { return found; }
    // The criteria as the last Find computed them from the form.
    const SearchCriteria& Criteria() const { return criteria; }
    const std::vector<std::string>& Locations() const { return locations; }
    // Appends a folder unless the list holds exactly this path already; false when it does.
    bool AddLocation(const std::string& path);
    // Keeps the search in this file between runs, and shows what it kept now.
    void UseKeptSearch(const std::string& path);
    // Writes the search as the form holds it to the kept file.
    void KeepSearch();
    // Records every deletion in this file ("deletions.csv" in the user's Velmora folder).
    void UseDeletionRecord(const std::string& path);
    const std::string& DeletionRecordPath() const { return recordPath; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(int id, int code) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    // What the last search found; the workers change it, the result list shows it.
    SearchResults found;
    std::vector<std::string> locations;
    // The operation the page started, until its worker has ended.
    Operation requestedOperation = Operation::None;
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
    // An age instead of dates ("is older than", "is within the last"), as typed.
    std::string ageText;
    int ageUnit = 0;
    std::string skipFolders;
    // "Move to Recycle Bin": deletions go there instead of for good.
    int recycle = 0;
    KeptSearchFile keptSearch;
    std::string recordPath;

    std::vector<size_t> selectedLocations;
    // "Find" waits for the first refresh of either list, "Delete" for the first result refresh.
    bool findReady = false;
    bool resultsListed = false;

    // The form's controls in their first state, and the members read from them.
    void InitCriteria();
    void DoDataExchange(bool save);
    // The notifications the lists leave to the page, by the list that sent them.
    void OnNotify(const NMHDR& header);
    void OnResultsNotify(const NMHDR& header);
    void OnSize(int width, int height);
    // The height of a line of text in the page's font.
    int TextLineHeight() const;
    void OnAllFiles();
    void OnSpecifyType();
    void OnDateKindChange();
    void OnDateConditionChange();
    void OnDateModeChange();
    void OnSizeConditionChange();
    void OnSizeUnitChange();
    // The pickers and the date mode, or the age's box and unit, as the date condition asks.
    void ShowDateControls();
    void OnFind();
    void OnDelete();
    void OnAdd();
    void OnRemove();
    void OnEmptyList();
    void OnLocationsSelChange();
    void RefreshLocations();
    void UpdateLocationButtons();
    void OnResultKey(const NMLVKEYDOWN& key);
    void OnContextMenu(HWND window, POINT point);
    void OnResultCommand(int id);
    // Opens the record of deletions with the user's program for CSV files.
    void OpenDeletionRecord();
    // "N folder(s) could not be read", or nothing; and its paths, one a line, to the clipboard.
    void ShowUnreadableLine();
    void CopyUnreadablePaths();
    // Enter on the result list: its folder; elsewhere nothing.
    void OnReturn();

    void InitList(CCustomList& list, int id, const char* const headings[], const char* const tips[],
                  const int formats[], const int widths[], int count);
    // Whether the progress window started the worker; the buttons follow.
    void OperationStarted(bool started);
    // The one place that enables "Find", "Delete", "Remove" and "Empty list".
    void UpdateButtons();
    // Steps 3 to 7 of a search's start: the file type, the date and size bounds;
    // then the folders to skip.
    bool ComputeCriteria(SkipRules& skip);
    // The age's bound from now; false, with the focus in the box, for an amount out of range.
    bool ComputeAge();
    // "Skip this folder": the selected rows' folders join the box and their rows leave the list.
    void SkipSelectedFolders();
    KeptSearch FormSearch();
    void ShowSearch(const KeptSearch& search);
    // True when the search may go on by its date kind.
    bool ConfirmAccessedDates();
    // Asks about chosen files kept online only; "Skip them" leaves them out of the job.
    bool ConfirmOnlineOnly(DeletionJob& job);
    void ShowWarning(const std::string& text);
    bool AskWarning(const std::string& text);
};
