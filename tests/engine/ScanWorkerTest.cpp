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
class ScanTest : public EngineTest
{
protected:
    void SetUp() override
    {
        MakeFile("a.doc", 100, "2024-05-01 08:00:00", "2024-06-10 12:00:00");
        MakeFile("B.DOC", 2048, "2024-05-02 00:00:00");
        MakeFile("c.txt", 10, "2024-04-30 23:59:59");
        MakeFile("sub\\d.doc", 5 * 1048576, "2024-05-01 00:00:00");
        MakeFile("sub\\deeper\\e.doc", 0, "2023-01-01 10:00:00");
        MakeFile("z.doc", 1, "2024-05-01 23:59:59");
        locations = {folder.Path()};
    }

    void ByDate(DateKind kind, DateCondition condition, CalendarTime first, CalendarTime second = {})
    {
        criteria.dateKind = kind;
        criteria.dateCondition = condition;
        ComputeDateBounds(criteria, first, {0, 0, 0, 0, 0, 0}, second.year ? second : first,
                          {0, 0, 0, 23, 59, 59}, CurrentZoneRule());
    }

    std::set<std::string> SearchNames()
    {
        results.Clear();
        Search();
        std::vector<std::string> names = FoundNames();
        return std::set<std::string>(names.begin(), names.end());
    }
};

const CalendarTime kMayFirst = {2024, 5, 1, 0, 0, 0};
using Names = std::set<std::string>;
}

TEST_F(ScanTest, TypeAndSizeConditionsFindExactlyTheirFiles)
{
    EXPECT_EQ(SearchNames(), (Names{"a.doc", "B.DOC", "c.txt", "d.doc", "e.doc", "z.doc"}));
    criteria.fileType = "doc";
    EXPECT_EQ(SearchNames(), (Names{"a.doc", "B.DOC", "d.doc", "e.doc", "z.doc"}));
    criteria.fileType = "xls;TXT";
    EXPECT_EQ(SearchNames(), (Names{"c.txt"}));
    criteria.fileType = "";

    ComputeSizeBounds(criteria, 2, 0, 1);
    criteria.sizeCondition = SizeCondition::IsMoreThan;
    EXPECT_EQ(SearchNames(), (Names{"B.DOC", "d.doc"}));
    ComputeSizeBounds(criteria, 0, 0, 0);
    criteria.sizeCondition = SizeCondition::IsLessThan;
    EXPECT_EQ(SearchNames(), (Names{"e.doc"}));
    ComputeSizeBounds(criteria, 1, 100, 0);
    criteria.sizeCondition = SizeCondition::IsBetween;
    EXPECT_EQ(SearchNames(), (Names{"a.doc", "c.txt", "z.doc"}));
}

TEST_F(ScanTest, DateConditionsUseTheChosenTimeOfTheFile)
{
    ByDate(DateKind::Modified, DateCondition::Is, kMayFirst);
    EXPECT_EQ(SearchNames(), (Names{"a.doc", "B.DOC", "d.doc", "z.doc"}));
    ByDate(DateKind::Modified, DateCondition::IsBefore, kMayFirst);
    EXPECT_EQ(SearchNames(), (Names{"c.txt", "d.doc", "e.doc"}));
    ByDate(DateKind::Modified, DateCondition::IsAfter, kMayFirst);
    EXPECT_EQ(SearchNames(), (Names{"a.doc", "B.DOC", "d.doc", "z.doc"}));
    ByDate(DateKind::Modified, DateCondition::IsBetween, kMayFirst, kMayFirst);
    EXPECT_EQ(SearchNames(), (Names{"a.doc", "d.doc", "z.doc"}));
    ByDate(DateKind::Accessed, DateCondition::Is, {2024, 6, 10, 0, 0, 0});
    EXPECT_EQ(SearchNames(), (Names{"a.doc"}));
    // Not every file system keeps a creation time of its own: expect what it reports.
    auto createdOn = [&](const std::string& path) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        GetFileAttributesExW(Widen(folder.Path() + path).c_str(), GetFileExInfoStandard, &data);
        FILETIME local;
        SYSTEMTIME created;
        FileTimeToLocalFileTime(&data.ftCreationTime, &local);
        FileTimeToSystemTime(&local, &created);
        return CalendarTime{created.wYear, created.wMonth, created.wDay, 0, 0, 0};
    };
    CalendarTime day = createdOn("sub\\deeper\\e.doc");
    Names expected;
    for (const char* path : {"a.doc", "B.DOC", "c.txt", "sub\\d.doc", "sub\\deeper\\e.doc", "z.doc"})
    {
        CalendarTime created = createdOn(path);
        if (created.year == day.year && created.month == day.month && created.day == day.day)
            expected.insert(std::string(path).substr(std::string(path).rfind('\\') + 1));
    }
    ByDate(DateKind::Created, DateCondition::Is, day);
    EXPECT_EQ(SearchNames(), expected);
}

TEST_F(ScanTest, RowsCarryTheTextsOfTheirColumns)
{
    criteria.fileType = "doc";
    Search();
    auto row = [&](const std::string& name) {
        const std::vector<FoundFile> rows = Rows();
        return *std::find_if(rows.begin(), rows.end(), [&](const FoundFile& f) { return f.Name() == name; });
    };
    FoundFile a = row("a.doc");
    EXPECT_EQ(a.Type(), "doc");
    EXPECT_EQ(a.Folder(), folder.Path());
    EXPECT_EQ(a.size, 100u);
    EXPECT_EQ(CellText(a, 0, 5, CurrentZoneRule()), "05/01/24 08:00:00");
    EXPECT_FALSE(a.rowSelected);
    FoundFile b = row("B.DOC");
    EXPECT_EQ(b.Type(), "doc");
    EXPECT_EQ(CellText(b, 0, 5, CurrentZoneRule()), "05/02/24 00:00:00");
    FoundFile e = row("e.doc");
    EXPECT_EQ(e.Folder(), folder.Path() + "sub\\deeper\\");
    EXPECT_EQ(results.FoundCount(), 5u);
    EXPECT_EQ(page.ends, 1);
}

namespace
{
// The order a plain recursive listing gives: each folder's entries in listing
// order, a subfolder's files before the entries that follow it.
void ListRecursively(const std::string& folder, std::vector<std::string>& names)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Widen(folder + "*").c_str(), &data);
    do
    {
        std::string name = Narrow(data.cFileName);
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListRecursively(folder + name + "\\", names);
        else
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}
}

TEST_F(ScanTest, RowsComeInWalkOrderAndDirectoriesAreNeverRows)
{
    MakeFile("sub\\deeper\\f.doc", 3);
    MakeFile("sub\\g.doc", 3);
    std::vector<std::string> expected;
    ListRecursively(folder.Path(), expected);
    Search();
    EXPECT_EQ(FoundNames(), expected);
}

TEST_F(ScanTest, HiddenAndSystemFilesAreFound)
{
    std::string hidden = MakeFile("hidden.doc", 1);
    SetFileAttributesW(Widen(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    criteria.fileType = "doc";
    EXPECT_EQ(SearchNames().count("hidden.doc"), 1u);
}

TEST_F(ScanTest, MissingLocationsAreAskedAboutAfterTheWalk)
{
    std::string gone1 = folder.Path() + "gone1";
    std::string gone2 = folder.Path() + "gone2";
    std::string file = folder.Path() + "a.doc";
    locations = {gone1, folder.Path(), file, gone2};

    {
        DialogCloser answers({IDC_CHOICE_NO, IDC_CHOICE_NO});  // Skip, Skip
        Search();
        std::vector<SeenPrompt> seen = answers.Stop();
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0].caption, "Warning");
        EXPECT_EQ(seen[0].text, " \"" + gone1 + "\" not found.");
        EXPECT_EQ(seen[1].text, " \"" + gone2 + "\" not found.");
        EXPECT_EQ(results.RowCount(), 6u);
    }
    {
        DialogCloser answers({IDC_CHOICE_NO_FOR_ALL});  // Skip all
        results.Clear();
        Search();
        EXPECT_EQ(answers.Stop().size(), 1u);
        EXPECT_EQ(results.RowCount(), 6u);
    }
    {
        DialogCloser answers({IDCANCEL});
        results.Clear();
        Search();
        EXPECT_EQ(answers.Stop().size(), 1u);
        EXPECT_EQ(results.RowCount(), 6u);
    }
    EXPECT_EQ(locations.size(), 4u);
}

TEST_F(ScanTest, WithoutAWindowItReportsInOrderAndEndsWithOneFinishAfterItsRows)
{
    const std::string gone = folder.Path() + "gone";
    RecordingProgress reports(results);
    reports.answers = {Choice::No};
    WorkerControl control;
    RunToTheEnd(new CScanEntriesThread({criteria, {folder.Path(), gone}, {}}, &results, &control, &reports));
    ASSERT_GE(reports.reports.size(), 3u);
    EXPECT_EQ(reports.reports.front(), "started");
    EXPECT_EQ(reports.reports.back(), "finished");
    EXPECT_EQ(std::count(reports.reports.begin(), reports.reports.end(), "finished"), 1);
    EXPECT_EQ(reports.reports.end()[-2], "asked:  \"" + gone + "\" not found.");
    EXPECT_EQ(reports.rowsAtTheEnd, 6u);
    EXPECT_EQ(results.FoundCount(), 6u);
}

TEST_F(ScanTest, NamesOutsideTheCodePageAndLongPathsAreFound)
{
    std::string deep = "long";
    while (folder.Path().size() + deep.size() < 300)
        deep += "\\a-folder-name-of-some-length";
    MakeFile(deep + "\\\xE6\x97\xA5\xE6\x9C\xAC.doc", 7);  // 日本.doc
    MakeFile("\xCE\xA9mega.doc", 8);                       // Ωmega.doc
    criteria.fileType = "doc";
    Names names = SearchNames();
    EXPECT_EQ(names.count("\xE6\x97\xA5\xE6\x9C\xAC.doc"), 1u);
    EXPECT_EQ(names.count("\xCE\xA9mega.doc"), 1u);
}

TEST_F(ScanTest, AFolderListedWithItsParentIsWalkedOnce)
{
    locations = {folder.Path() + "sub", folder.Path()};
    Search();
    EXPECT_EQ(results.RowCount(), 6u);
    locations = {folder.Path(), folder.Path() + "sub\\"};
    results.Clear();
    Search();
    EXPECT_EQ(results.RowCount(), 6u);
}

namespace
{
// Skip rules from a text where '@' stands for the test's folder.
SkipRules SkipOf(std::string text, const std::string& root)
{
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + root.size()))
        text.replace(at, 1, root);
    SkipRules skip;
    std::string tooLong;
    EXPECT_TRUE(skip.Parse(text, tooLong)) << text;
    return skip;
}
}

TEST_F(ScanTest, SkippedFoldersAreNeverListedAtAnyDepthWithNamesOfAnyScript)
{
    const std::string greek = "\xCE\xBA\xCF\x81\xCF\x85\xCF\x86\xCE\xBF";  // κρυφο
    const std::string japan = "\xE6\x97\xA5\xE6\x9C\xAC";                     // 日本
    MakeFile("node_modules\\n.doc", 1);
    MakeFile("sub\\deeper\\Node_Modules\\nn.doc", 1);
    MakeFile("sub\\" + greek + "\\k.doc", 1);
    MakeFile(japan + "\\j.doc", 1);
    MakeFile("\xF0\x9F\x98\x80" "cache\\x.doc", 1);  // 😀cache
    const Names all = {"a.doc", "B.DOC", "c.txt", "d.doc", "e.doc", "z.doc", "n.doc", "nn.doc", "k.doc", "j.doc", "x.doc"};
    const struct
    {
        std::string skip;
        Names leftOut;
    } cases[] = {
        {"node_modules", {"n.doc", "nn.doc"}},
        {" \xCE\x9A\xCE\xA1\xCE\xA5\xCE\xA6\xCE\x9F ; *CACHE* ", {"k.doc", "x.doc"}},  // ΚΡΥΦΟ
        {"?cache", {"x.doc"}},
        {"@sub\\deeper", {"e.doc", "nn.doc"}},
        {"@" + japan + "\\", {"j.doc"}},
        {"\\\\?\\@SUB", {"d.doc", "e.doc", "nn.doc", "k.doc"}},
        {";; ;", {}},
    };
    for (const auto& c : cases)
    {
        Names expected;
        std::set_difference(all.begin(), all.end(), c.leftOut.begin(), c.leftOut.end(),
                            std::inserter(expected, expected.end()));
        skip = SkipOf(c.skip, folder.Path());
        EXPECT_EQ(SearchNames(), expected) << c.skip;
    }
}

TEST_F(ScanTest, ASkippedLocationYieldsNothingAndAsksNothing)
{
    const std::string gone = folder.Path() + "gone";
    for (const char* text : {"@", "sub;gone", "\\\\?\\@"})
    {
        RecordingProgress reports(results);
        WorkerControl control;
        results.Clear();
        ScanJob job = {criteria, {folder.Path() + "sub", gone, folder.Path()}, SkipOf(text, folder.Path())};
        RunToTheEnd(new CScanEntriesThread(job, &results, &control, &reports));
        EXPECT_EQ(std::count_if(reports.reports.begin(), reports.reports.end(),
                                [](const std::string& report) { return report.rfind("asked", 0) == 0; }),
                  0)
            << text;
        std::vector<std::string> names = FoundNames();
        const Names expected = text[0] == 's' ? Names{"a.doc", "B.DOC", "c.txt", "z.doc"} : Names{};
        EXPECT_EQ(Names(names.begin(), names.end()), expected) << text;
    }
}

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

TEST(TestedTimeOfFileTime, AgreesWithTheSystemsConversion)
{
    ZoneRule zone = CurrentZoneRule();
    int bias = CurrentBias();
    for (const char* text : {"1999-12-31 23:59:59", "2024-03-10 02:30:00", "2024-07-15 16:00:00", "2038-01-19 03:14:08"})
    {
        SYSTEMTIME utc = {};
        sscanf(text, "%hu-%hu-%hu %hu:%hu:%hu", &utc.wYear, &utc.wMonth, &utc.wDay, &utc.wHour, &utc.wMinute,
               &utc.wSecond);
        FILETIME fileTime, localTime;
        SystemTimeToFileTime(&utc, &fileTime);
        FileTimeToLocalFileTime(&fileTime, &localTime);
        SYSTEMTIME local;
        FileTimeToSystemTime(&localTime, &local);
        CalendarTime fields = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
        EXPECT_EQ(TestedTimeOfFileTime(fileTime, bias, zone), LocalToSeconds(fields, zone)) << text;
    }
    FILETIME beforeCalendar = {0, 0};
    EXPECT_EQ(TestedTimeOfFileTime(beforeCalendar, bias, zone), 0);
    FILETIME outOfRange = {0xFFFFFFFF, 0xFFFFFFFF};
    EXPECT_EQ(TestedTimeOfFileTime(outOfRange, bias, zone), 0);
}

// Only entries that stand for another one are links; a cloud placeholder folder
// is walked and a placeholder file is a file, before its deletion too.
TEST(ReparsePoints, OnlySymbolicLinksJunctionsAndMountPointsAreLinks)
{
    const DWORD reparse = FILE_ATTRIBUTE_REPARSE_POINT;
    const DWORD folder = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;
    for (DWORD tag : {DWORD(IO_REPARSE_TAG_SYMLINK), DWORD(IO_REPARSE_TAG_MOUNT_POINT)})
    {
        EXPECT_TRUE(IsLink(folder, tag)) << std::hex << tag;
        EXPECT_TRUE(IsLink(reparse, tag)) << std::hex << tag;
    }
    for (DWORD tag : {DWORD(IO_REPARSE_TAG_CLOUD_6), DWORD(IO_REPARSE_TAG_DEDUP), DWORD(IO_REPARSE_TAG_APPEXECLINK)})
    {
        EXPECT_FALSE(IsLink(folder, tag)) << std::hex << tag;
        EXPECT_FALSE(IsLink(reparse, tag)) << std::hex << tag;
    }
    // Without the attribute the tag field means nothing; with it and no tag told, careful.
    EXPECT_FALSE(IsLink(FILE_ATTRIBUTE_DIRECTORY, IO_REPARSE_TAG_SYMLINK));
    EXPECT_TRUE(IsLink(folder, 0));

    WIN32_FIND_DATAW listed = {};
    listed.dwFileAttributes = reparse | FILE_ATTRIBUTE_ARCHIVE;
    listed.dwReserved0 = IO_REPARSE_TAG_CLOUD_6;
    listed.nFileSizeLow = 4096;
    FoundFile placeholder;
    RecordSeen(placeholder, listed);
    EXPECT_EQ(placeholder.kind & (kKindDirectory | kKindLink), 0);
    WIN32_FILE_ATTRIBUTE_DATA now = {};
    now.dwFileAttributes = listed.dwFileAttributes;
    now.nFileSizeLow = listed.nFileSizeLow;
    const ChosenFile chosen = ChosenFileOf(placeholder, 0);
    EXPECT_TRUE(StillAsSeen(chosen, now, IO_REPARSE_TAG_CLOUD_6));
    // Opened since the search, its data came here: the same file still.
    now.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    EXPECT_TRUE(StillAsSeen(chosen, now, 0));
    // The same name turned into a symbolic link since the search is not the file listed.
    now.dwFileAttributes = reparse;
    EXPECT_FALSE(StillAsSeen(chosen, now, IO_REPARSE_TAG_SYMLINK));
}

// The attribute and tag values Windows reports, which Wine cannot make.
TEST(ReparsePoints, CloudFilesAreOnlineOnlyAndAliasesAndSpecialFilesAreNeverListed)
{
    const DWORD reparse = FILE_ATTRIBUTE_REPARSE_POINT;
    const DWORD recallOnDataAccess = 0x00400000;
    const DWORD recallOnOpen = 0x00040000;
    const struct
    {
        DWORD attributes;
        DWORD tag;
        bool onlineOnly;
        bool special;
    } cases[] = {
        {FILE_ATTRIBUTE_ARCHIVE, 0, false, false},
        {FILE_ATTRIBUTE_ARCHIVE | recallOnDataAccess, 0, true, false},
        {FILE_ATTRIBUTE_ARCHIVE | recallOnOpen, 0, true, false},
        {FILE_ATTRIBUTE_OFFLINE, 0, true, false},
        {reparse | recallOnDataAccess, IO_REPARSE_TAG_CLOUD, true, false},
        {reparse, IO_REPARSE_TAG_CLOUD_3, true, false},
        {reparse, IO_REPARSE_TAG_CLOUD_F, true, false},
        // A tag is read only with the reparse attribute.
        {FILE_ATTRIBUTE_ARCHIVE, IO_REPARSE_TAG_CLOUD_3, false, false},
        {reparse, IO_REPARSE_TAG_DEDUP, false, false},
        {reparse, IO_REPARSE_TAG_SYMLINK, false, false},
        {reparse, IO_REPARSE_TAG_APPEXECLINK, false, true},
        {reparse, 0x80000024, false, true}, // the Linux subsystem's FIFO
        {reparse, 0x80000025, false, true}, // character device
        {reparse, 0x80000026, false, true}, // block device
        {reparse, IO_REPARSE_TAG_AF_UNIX, false, true},
        {FILE_ATTRIBUTE_ARCHIVE, IO_REPARSE_TAG_APPEXECLINK, false, false},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(IsOnlineOnly(c.attributes, c.tag), c.onlineOnly) << std::hex << c.attributes << " " << c.tag;
        EXPECT_EQ(IsSpecialFile(c.attributes, c.tag), c.special) << std::hex << c.attributes << " " << c.tag;
        WIN32_FIND_DATAW entry = {};
        entry.dwFileAttributes = c.attributes;
        entry.dwReserved0 = c.tag;
        FoundFile row;
        RecordSeen(row, entry);
        EXPECT_EQ((row.kind & kKindOnlineOnly) != 0, c.onlineOnly) << std::hex << c.attributes << " " << c.tag;
    }
}

TEST(AccessTimes, EachVolumeIsJudgedByItsOwnFileSystemsSetting)
{
    const std::optional<uint32_t> unset;
    const std::pair<VolumeAccessFacts, bool> cases[] = {
        {{false, "NTFS", unset, unset}, true},       {{false, "ntfs", 0x80000002, 0x1}, true},
        {{false, "NTFS", 0x80000003, unset}, false}, {{false, "ReFS", 0x0, unset}, false},
        {{false, "ReFS", 0x1, 0x80000000}, true},    {{false, "ReFS", 0x0, 0x1}, false},
        {{true, "NTFS", 0x0, 0x0}, false},           {{false, "FAT32", 0x0, 0x0}, false},
        {{false, "", unset, unset}, false},
    };
    for (const auto& [volume, records] : cases)
        EXPECT_EQ(VolumeRecordsAccessTimes(volume), records) << volume.fileSystem << (volume.remote ? " remote" : "");
    EXPECT_FALSE(LocationsRecordAccessTimes({"\\\\no-such-server\\share\\documents"}));
}
