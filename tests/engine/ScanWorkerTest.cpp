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
