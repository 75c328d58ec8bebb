// The search on the large fixture trees: link cycles, the 100000 limit, stopping,
// and the threaded walk against a walk on one thread.
#include "tests/engine/EngineFixture.h"
#include "engine/AccessTimes.h"

#include "engine/CScanEntriesThread.h"
#include "engine/DateBounds.h"
#include "engine/FileStamp.h"
#include "engine/LocalZone.h"
#include "framework/Text.h"
#include "search_page/ResultText.h"
#include "resources/resource.h"
#include "tests/support/DialogDriver.h"

#include <algorithm>
#include <iterator>
#include <cstdio>
#include <set>
#include <shared_mutex>
#include <thread>

namespace
{
class TreesTest : public EngineTest
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(FixtureTrees().empty());
        locations = {FixtureTrees() + "\\big"};
        criteria.fileType = "doc";
    }
};

const char kLimitText[] = "The number of found files exceeds the 100000 limit.\n"
                          "To ensure normal viewing, the results will be truncated.\n"
                          "If necessary, please set new search criteria.";

// Presses Cancel on the progress window once it has found some files, answers
// the stop question, and records how many rows there were while it was open.
// Then it answers the limit message, should the search go on to it.
class StopDriver
{
public:
    StopDriver(const SearchResults& results, int answer)
        : thread([this, &results, answer] {
              HWND window = WaitForDialog("Files Searching");
              while (window && results.RowCount() < 1000)
                  Sleep(5);
              ClickButton(window, IDC_PROGRESS_CANCEL);
              HWND question = WaitForDialog("Warning");
              if (!question)
                  return;
              questionText = ControlText(question, IDC_PROMPT_TEXT);
              Sleep(200);  // the worker must not go on meanwhile
              rowsWhileAsking = results.RowCount();
              ClickButton(question, answer);
              while (IsWindowVisible(question))
                  Sleep(5);
              if (HWND limit = WaitForDialog("Warning", answer == IDOK ? 500 : 10000))
                  PressKey(limit, VK_RETURN);
          })
    {
    }
    ~StopDriver() { thread.join(); }

    std::string questionText;
    size_t rowsWhileAsking = 0;

private:
    std::thread thread;
};
}

TEST_F(TreesTest, ALinkCycleEndsAndEachFileIsListedOnce)
{
    locations = {FixtureTrees() + "\\cycle"};
    Search();
    std::vector<std::string> names = FoundNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"one.doc", "top.doc", "two.doc"}));
}

TEST_F(TreesTest, ALinkIsSkippedByThePathItIsMetAtAndByItsTarget)
{
    const std::string skips = FixtureTrees() + "\\skips\\";
    locations = {skips + "tree"};
    const struct
    {
        std::string skip;
        Names found;
    } cases[] = {
        {"", {"top.doc", "p.doc", "t.doc", "i.doc"}},
        {skips + "tree\\via", {"top.doc", "p.doc"}},
        {"VIA", {"top.doc", "p.doc"}},
        {skips + "target\\", {"top.doc", "p.doc"}},
        {"target", {"top.doc", "p.doc"}},
        {skips + "tree\\via\\inner", {"top.doc", "p.doc", "t.doc"}},
        {"inner", {"top.doc", "p.doc", "t.doc"}},
    };
    for (const auto& c : cases)
    {
        skip = SkipOf(c.skip, "");
        results.Clear();
        Search();
        std::vector<std::string> names = FoundNames();
        EXPECT_EQ(Names(names.begin(), names.end()), c.found) << c.skip;
    }
}

TEST_F(TreesTest, TheLimitKeeps100000RowsAndSaysSoOnce)
{
    DialogCloser closer;
    Search();
    std::vector<SeenPrompt> seen = closer.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, kLimitText);
    EXPECT_EQ(results.RowCount(), 100000u);
    EXPECT_EQ(results.FoundCount(), 100000u);
}

TEST_F(TreesTest, StoppingAnsweredNoLosesNoHit)
{
    {
        StopDriver driver(results, IDCANCEL);
        Search();
        EXPECT_EQ(driver.questionText, "Do you want to stop searching?");
    }
    EXPECT_EQ(results.RowCount(), 100000u);
}

TEST_F(TreesTest, StoppingAnsweredYesEndsWithinOneEntry)
{
    StopDriver driver(results, IDOK);
    Search();
    size_t rows = results.RowCount();
    EXPECT_GE(rows, 1000u);
    EXPECT_LE(rows, driver.rowsWhileAsking + 1);
    EXPECT_LT(rows, 100000u);
}

namespace
{
// A walk on one thread, written plainly: each location depth-first in listing
// order, a subfolder's files where the subfolder is listed, links not followed,
// a location inside an earlier one left out and an earlier location not entered
// again. The full paths of its files.
class ReferenceWalk
{
public:
    explicit ReferenceWalk(const std::vector<std::string>& locations)
    {
        for (const std::string& location : locations)
        {
            std::wstring folder = Lowered(location + "\\");
            bool inside = false;
            for (const std::wstring& earlier : done)
                inside = inside || folder.rfind(earlier, 0) == 0;
            if (!inside)
                Walk(location + "\\");
            done.push_back(folder);
        }
    }

    std::vector<std::string> files;

private:
    std::vector<std::wstring> done;

    static std::wstring Lowered(const std::string& path)
    {
        std::wstring wide = Widen(path);
        CharLowerBuffW(wide.data(), (DWORD)wide.size());
        return wide;
    }

    void Walk(const std::string& folder)
    {
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW(LongPath(folder + "*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return;
        do
        {
            std::string name = Narrow(entry.cFileName);
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(folder + name);
            else if (name != "." && name != ".." && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                     std::find(done.begin(), done.end(), Lowered(folder + name + "\\")) == done.end())
                Walk(folder + name + "\\");
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
};

std::vector<std::string> FoundPaths(const SearchResults& results)
{
    std::vector<std::string> paths;
    SearchResults::Reading rows(results);
    for (const FoundFile& row : rows.Rows())
        paths.push_back(row.Path());
    return paths;
}
}

TEST_F(TreesTest, TheThreadedWalkListsWhatAWalkOnOneThreadLists)
{
    criteria.fileType = "";
    const std::string trees = FixtureTrees();
    // Deep and empty folders, 5000 files around two subfolders, names outside the
    // code page, a path beyond 260 characters; then overlapping locations and a cycle.
    for (const std::vector<std::string>& chosen :
         {std::vector<std::string>{trees + "\\shapes"},
          {trees + "\\shapes\\deep\\level00\\level01", trees + "\\shapes", trees + "\\shapes\\many",
           trees + "\\cycle"}})
    {
        locations = chosen;
        results.Clear();
        Search();
        std::vector<std::string> expected = ReferenceWalk(locations).files;
        ASSERT_GT(expected.size(), 5000u);
        EXPECT_TRUE(FoundPaths(results) == expected) << locations.size() << " locations";
    }
}

TEST_F(TreesTest, TheLimitFallsWhereAWalkOnOneThreadReachesIt)
{
    // 80 files first, so the limit falls in the middle of one of big's folders.
    criteria.fileType = "";
    locations = {FixtureTrees() + "\\shapes\\deep", FixtureTrees() + "\\big"};
    DialogCloser closer;
    Search();
    EXPECT_EQ(closer.Stop().size(), 1u);
    std::vector<std::string> expected = ReferenceWalk(locations).files;
    ASSERT_GT(expected.size(), 100000u);
    expected.resize(100000);
    EXPECT_TRUE(FoundPaths(results) == expected);
}
