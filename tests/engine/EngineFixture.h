// Runs the real workers through the real progress window on files in a
// temporary folder, with a stand-in for the search page.
#pragma once

#include "engine/CWorkerThread.h"
#include "engine/IWorkerProgress.h"
#include "engine/SearchResults.h"
#include "engine/WorkerJobs.h"
#include "search_page/CWindowProgressUnDelete.h"
#include "search_page/IResultsPage.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

class FakeResultsPage : public IResultsPage
{
public:
    int ends = 0;

    void OperationEnded() override { ends++; }
};

// Stands in for the progress window: records what a worker reports, in order,
// and answers its questions with `answers`, then with Cancel.
class RecordingProgress : public IWorkerProgress
{
public:
    explicit RecordingProgress(const SearchResults& results) : results(results) {}

    std::vector<Choice> answers;
    // "started", "progress", "asked: TEXT", "warned: TEXT" and "finished".
    std::vector<std::string> reports;
    // How many rows the results held when the worker said it had finished.
    size_t rowsAtTheEnd = 0;

    void WorkerStarted() override { reports.push_back("started"); }
    void WorkerProgress(bool) override { reports.push_back("progress"); }
    Choice AskSkip(const std::string& text, const char*) override;
    void ShowWarning(const std::string& text) override { reports.push_back("warned: " + text); }
    void WorkerFinished() override;

private:
    const SearchResults& results;
};

// Runs a worker on its own thread to its end, with no window anywhere.
void RunToTheEnd(CWorkerThread* worker);
// Skip rules from a text where '@' stands for `root`.
SkipRules SkipOf(std::string text, const std::string& root);
using Names = std::set<std::string>;

class EngineTest : public testing::Test
{
protected:
    TempFolder folder;
    SearchResults results;
    // The texts of the rows RowOf makes.
    TextStore rowTexts;
    // The search's job, as the page would give it.
    SearchCriteria criteria;
    std::vector<std::string> locations;
    SkipRules skip;
    FakeResultsPage page;
    CWindowProgressUnDelete progress;

    // Runs a search (or a deletion of the rows selected in the results) to its
    // end, pumping the window's messages.
    void Search();
    void Delete();
    // The same with a job of the test's own.
    void Delete(DeletionJob job);
    // A file of the given size whose times, read as local time now, are the given texts
    // ("2024-05-01 08:00:00"); empty texts leave a time as it is.
    std::string MakeFile(const std::string& relativePath, uint64_t size, const std::string& modified = "",
                         const std::string& accessed = "");
    std::vector<std::string> FoundNames() const;
    // The row a search would list for the file as it is now.
    FoundFile RowOf(const std::string& path);
    // A copy of the rows as they are now.
    std::vector<FoundFile> Rows() const;
    void AddRow(const FoundFile& row);
    void SelectAll();

private:
    // Pumps until the window has reported the end and closed.
    void WaitForTheEnd(int endsBefore);
};
