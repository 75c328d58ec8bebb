// Runs the real workers through the real progress window on files in a
// temporary folder, with a stand-in for the search page.
#pragma once

#include "engine/CWindowProgressUnDelete.h"
#include "engine/IResultsPage.h"
#include "settings/CWiperSettings.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

class FakeResultsPage : public IResultsPage
{
public:
    SearchCriteria criteria;
    size_t selectedCount = 0;
    std::atomic<int> refreshes{0};
    std::atomic<int> findDisabled{0};

    const SearchCriteria& Criteria() const override { return criteria; }
    size_t SelectedCount() const override { return selectedCount; }
    void DisableFind() override { findDisabled++; }
    void RefreshResults() override { refreshes++; }
};

class EngineTest : public testing::Test
{
protected:
    TempFolder folder;
    CWiperSettings settings;
    FakeResultsPage page;
    CWindowProgressUnDelete progress;

    // Runs a search (or a deletion) to its end, pumping the window's messages.
    void Search();
    void Delete();
    // A file of the given size whose times, read as local time now, are the given texts
    // ("2024-05-01 08:00:00"); empty texts leave a time as it is.
    std::string MakeFile(const std::string& relativePath, uint64_t size, const std::string& modified = "",
                         const std::string& accessed = "");
    std::vector<std::string> FoundNames() const;
    // The row a search would list for the file as it is now.
    FoundFile RowOf(const std::string& path);

private:
    void Run(Operation operation, const char* caption);
};
