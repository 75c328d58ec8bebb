// The safety net around a deletion: the Recycle Bin when asked, the record of
// every chosen file, and the folders a search could not read.
#include "tests/engine/EngineFixture.h"

#include "engine/CDelEntriesThread.h"
#include "engine/DeletionRecord.h"
#include "engine/FileStamp.h"
#include "framework/ComScope.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "tests/support/DialogDriver.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace
{
// The records of a CSV text, read as a spreadsheet program reads them.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); i++)
    {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"')
            records.back().back() += text[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            records.back().emplace_back();
        else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        {
            i++;
            records.emplace_back(1);
        }
        else
            records.back().back() += c;
    }
    if (records.back() == std::vector<std::string>(1))
        records.pop_back();
    return records;
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream file(Widen(path).c_str(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The record's lines after its byte order mark and heading.
std::vector<std::vector<std::string>> RecordLines(const std::string& path)
{
    const std::string text = ReadWhole(path);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBFTime,Path,Size,Modified,Outcome,Reason\r\n", 0), 0u) << path;
    std::vector<std::vector<std::string>> lines = ReadCsv(text);
    if (!lines.empty())
        lines.erase(lines.begin());
    return lines;
}

// The names the Recycle Bin shows, as the shell lists it.
std::multiset<std::string> RecycleBinNames()
{
    ComScope com;
    std::multiset<std::string> names;
    PIDLIST_ABSOLUTE binItem = nullptr;
    IShellFolder* desktop = nullptr;
    IShellFolder* bin = nullptr;
    IEnumIDList* items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &binItem)) &&
        SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
        SUCCEEDED(desktop->BindToObject(binItem, nullptr, IID_PPV_ARGS(&bin))) &&
        bin->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &items) == S_OK)
    {
        PITEMID_CHILD item = nullptr;
        while (items->Next(1, &item, nullptr) == S_OK)
        {
            STRRET name = {};
            wchar_t* text = nullptr;
            if (SUCCEEDED(bin->GetDisplayNameOf(item, SHGDN_INFOLDER, &name)) &&
                SUCCEEDED(StrRetToStrW(&name, item, &text)))
            {
                names.insert(Narrow(text));
                CoTaskMemFree(text);
            }
            CoTaskMemFree(item);
        }
    }
    if (items)
        items->Release();
    if (bin)
        bin->Release();
    if (desktop)
        desktop->Release();
    CoTaskMemFree(binItem);
    return names;
}

// Five files a search listed, each named uniquely so the Recycle Bin tells them apart.
class RecycleTest : public EngineTest
{
protected:
    std::vector<std::string> paths;
    std::vector<std::string> names;
    std::string record;

    void SetUp() override
    {
        const std::string run = std::to_string(GetTickCount64());
        for (int i = 1; i <= 5; i++)
        {
            names.push_back("velmora-" + run + "-" + std::to_string(i) + ".doc");
            paths.push_back(MakeFile(names.back(), i * 10, "2024-05-01 08:00:00"));
        }
        locations = {folder.Path()};
        Search();
        ASSERT_EQ(FoundNames(), names);
        record = folder.Path() + "record\\deletions.csv";
        CreateDirectoryW(Widen(folder.Path() + "record").c_str(), nullptr);
    }

    DeletionJob Job(std::initializer_list<int> rows, bool recycle)
    {
        for (int row : rows)
            results.SetSelected(row - 1, true);
        DeletionJob job = results.ChosenFiles();
        job.recycle = recycle;
        job.recordPath = record;
        return job;
    }

    static std::string NotRecyclable(const std::string& path)
    {
        return " " + path + " cannot be moved to the Recycle Bin.";
    }
};
}

TEST_F(RecycleTest, ChosenFilesLeaveTheirFolderForTheRecycleBinAndTheRecordSaysSo)
{
    const std::multiset<std::string> before = RecycleBinNames();
    DialogCloser none;
    Delete(Job({2, 4}, true));
    EXPECT_TRUE(none.Stop().empty());
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{names[0], names[2], names[4]}));
    EXPECT_FALSE(FileExists(paths[1]));
    EXPECT_FALSE(FileExists(paths[3]));
    const std::multiset<std::string> after = RecycleBinNames();
    EXPECT_EQ(after.count(names[1]), before.count(names[1]) + 1);
    EXPECT_EQ(after.count(names[3]), before.count(names[3]) + 1);

    const auto lines = RecordLines(record);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0][1], paths[1]);
    EXPECT_EQ(lines[0][4], "recycled");
    EXPECT_EQ(lines[1][1], paths[3]);
    EXPECT_EQ(lines[1][2], "40");
}

TEST_F(RecycleTest, AFileThatCannotBeRecycledIsAskedAboutAndStaysListedAndSelected)
{
    // A drive without a Recycle Bin, which Wine cannot show, stands for files 2 and 4.
    DeletionJob job = Job({1, 2, 3, 4, 5}, true);
    job.willRecycle = [this](const std::string& path) { return path != paths[1] && path != paths[3]; };
    DialogCloser answers({IDC_CHOICE_NO, IDC_CHOICE_NO});
    Delete(std::move(job));
    const std::vector<SeenPrompt> seen = answers.Stop();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, "Warning");
    EXPECT_EQ(seen[0].text, NotRecyclable(paths[1]));
    EXPECT_EQ(seen[1].text, NotRecyclable(paths[3]));
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{names[1], names[3]}));
    EXPECT_TRUE(results.Selected(0) && results.Selected(1));
    EXPECT_TRUE(FileExists(paths[1]) && FileExists(paths[3]));
    EXPECT_FALSE(FileExists(paths[0]) || FileExists(paths[2]) || FileExists(paths[4]));
    std::vector<std::string> outcomes;
    for (const auto& line : RecordLines(record))
        outcomes.push_back(line[4] + (line[5].empty() ? "" : ": " + line[5]));
    EXPECT_EQ(outcomes, (std::vector<std::string>{"recycled", "skipped: cannot be moved to the Recycle Bin", "recycled",
                                                  "skipped: cannot be moved to the Recycle Bin", "recycled"}));
}

TEST_F(RecycleTest, SkipAllAsksOnceAndCancelLeavesEveryLaterFileAlone)
{
    DeletionJob job = Job({1, 2, 3, 4, 5}, true);
    job.willRecycle = [this](const std::string& path) { return path == paths[0] || path == paths[4]; };
    DialogCloser skipAll({IDC_CHOICE_NO_FOR_ALL});
    Delete(job);
    EXPECT_EQ(skipAll.Stop().size(), 1u);
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{names[1], names[2], names[3]}));

    // Cancel at file 2: files 3 to 5 stay, recyclable or not, and are recorded as skipped.
    job.files = results.ChosenFiles().files;
    job.willRecycle = [this](const std::string& path) { return path != paths[1]; };
    DialogCloser cancel({IDCANCEL});
    Delete(std::move(job));
    EXPECT_EQ(cancel.Stop().size(), 1u);
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{names[1], names[2], names[3]}));
    const auto lines = RecordLines(record);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[5][4], "skipped");
    EXPECT_EQ(lines[6][1], paths[2]);
    EXPECT_EQ(lines[6][4], "skipped");
    EXPECT_FALSE(lines[7][5].empty());
}

// Every outcome, read back by a CSV reader: deleted, recycled, skipped (left
// out, and after a Cancel), changed and failed, each with its reason.
TEST_F(RecycleTest, TheRecordReadsBackEveryOutcomeWithItsReason)
{
    SetFileAttributesW(LongPath(paths[1]).c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE file = CreateFileW(LongPath(paths[2]).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "grown", 5, &written, nullptr);
    CloseHandle(file);
    DeletionJob job = Job({1, 2, 3, 4}, false);
    job.leftOut = {job.files.back()};
    job.files.pop_back();
    DialogCloser answers({IDC_CHOICE_NO, IDCANCEL});
    Delete(std::move(job));
    answers.Stop();
    SetFileAttributesW(LongPath(paths[1]).c_str(), FILE_ATTRIBUTE_NORMAL);
    for (size_t row = 0; row < results.RowCount(); row++)
        results.SetSelected(row, row + 1 == results.RowCount());
    DeletionJob recycle = results.ChosenFiles();
    recycle.recycle = true;
    recycle.recordPath = record;
    Delete(std::move(recycle));

    const auto lines = RecordLines(record);
    ASSERT_EQ(lines.size(), 5u);
    const std::regex time("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {paths[3], "skipped"}, {paths[0], "deleted"}, {paths[1], "failed"}, {paths[2], "changed"}, {paths[4], "recycled"}};
    for (size_t i = 0; i < lines.size(); i++)
    {
        ASSERT_EQ(lines[i].size(), 6u);
        EXPECT_TRUE(std::regex_match(lines[i][0], time)) << lines[i][0];
        EXPECT_EQ(lines[i][1], expected[i].first);
        EXPECT_EQ(lines[i][3], "05/01/24 08:00:00");
        EXPECT_EQ(lines[i][4], expected[i].second);
        EXPECT_EQ(lines[i][5].empty(), expected[i].second == "deleted" || expected[i].second == "recycled");
    }
    EXPECT_EQ(lines[0][5], "kept online only");
}

TEST_F(RecycleTest, PastTenMegabytesTheRecordRollsOverReplacingTheOlderOne)
{
    const std::string rolled = DeletionRecord::RolledPath(record);
    EXPECT_EQ(rolled, folder.Path() + "record\\deletions.1.csv");
    {
        std::ofstream older(Widen(rolled).c_str(), std::ios::binary);
        older << "older";
        std::ofstream full(Widen(record).c_str(), std::ios::binary);
        full << "\xEF\xBB\xBFTime,Path,Size,Modified,Outcome,Reason\r\n";
        // 50 bytes short of the bound: the first line passes it.
        full << std::string(DeletionRecord::kRollOverBytes - 50 - 43 - 2, 'x') << "\r\n";
    }
    Delete(Job({1, 2, 3}, false));
    const std::string old = ReadWhole(rolled);
    EXPECT_EQ(old.size(), DeletionRecord::kRollOverBytes - 50);
    EXPECT_EQ(old.rfind("\xEF\xBB\xBFTime,", 0), 0u);
    const auto lines = RecordLines(record);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2][1], paths[2]);
}

namespace
{
// The child's side of the kill: it deletes three files of its folder for good,
// the second read-only, and waits at the question until it is killed.
const bool childDeletes = [] {
    wchar_t folder[MAX_PATH];
    if (!GetEnvironmentVariableW(L"VELMORA_RECORD_CHILD", folder, MAX_PATH))
        return false;
    class WaitForever : public IWorkerProgress
    {
        void WorkerStarted() override {}
        void WorkerProgress(bool) override {}
        Choice AskSkip(const std::string&, const char*) override
        {
            Sleep(INFINITE);
            return Choice::Cancel;
        }
        void ShowWarning(const std::string&) override {}
        void WorkerFinished() override {}
    } progress;
    SearchResults results;
    WorkerControl control;
    DeletionJob job;
    for (const char* name : {"a.doc", "b.doc", "c.doc"})
    {
        const std::string path = Narrow(folder) + name;
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data);
        FoundFile row;
        RecordSeen(row, data, 0);
        job.files.push_back(ChosenFileOf(row, job.files.size()));
        job.files.back().path = path;
    }
    job.recordPath = Narrow(folder) + "deletions.csv";
    CDelEntriesThread* worker = new CDelEntriesThread(std::move(job), &results, &control, &progress);
    WaitForSingleObject(worker->Start(), INFINITE);
    ExitProcess(0);
}();
}

TEST_F(RecycleTest, AKilledProgramsRecordHoldsTheLinesOfWhatItDid)
{
    for (const char* name : {"a.doc", "b.doc", "c.doc"})
        folder.WriteFile(name, "x");
    SetFileAttributesW(Widen(folder.Path() + "b.doc").c_str(), FILE_ATTRIBUTE_READONLY);
    SetEnvironmentVariableW(L"VELMORA_RECORD_CHILD", Widen(folder.Path()).c_str());
    std::wstring command = L"\"" + Widen(ProgramPath()) + L"\" --gtest_list_tests";
    STARTUPINFOW start = {};
    start.cb = sizeof(start);
    PROCESS_INFORMATION child = {};
    const BOOL started =
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &child);
    SetEnvironmentVariableW(L"VELMORA_RECORD_CHILD", nullptr);
    ASSERT_TRUE(started);
    const std::string childRecord = folder.Path() + "deletions.csv";
    // At the question about b.doc, a.doc is deleted and both have their lines.
    for (int i = 0; i < 500 && ReadCsv(ReadWhole(childRecord)).size() < 3; i++)
        Sleep(20);
    EXPECT_EQ(WaitForSingleObject(child.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    TerminateProcess(child.hProcess, 1);
    WaitForSingleObject(child.hProcess, 10000);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    SetFileAttributesW(Widen(folder.Path() + "b.doc").c_str(), FILE_ATTRIBUTE_NORMAL);
    const auto lines = RecordLines(childRecord);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0][4], "deleted");
    EXPECT_EQ(lines[1][1], folder.Path() + "b.doc");
    EXPECT_EQ(lines[1][4], "failed");
    EXPECT_FALSE(FileExists(folder.Path() + "a.doc"));
    EXPECT_TRUE(FileExists(folder.Path() + "c.doc"));
}

// Listing failures made natively: folders whose names hold a '?', which no
// Windows path may name, so that listing them fails even for root.
TEST_F(EngineTest, FoldersThatCouldNotBeListedAreCountedInWalkOrderAndTheWalkGoesOn)
{
    const std::string trees = FixtureTrees() + "\\unreadable\\";
    locations = {trees + "first", trees + "second"};
    DialogCloser none;
    Search();
    for (const SeenPrompt& prompt : none.Stop())
        ADD_FAILURE() << prompt.text;
    std::vector<std::string> names = FoundNames();
    EXPECT_EQ(std::multiset<std::string>(names.begin(), names.end()), (std::multiset<std::string>{"ok.doc", "ok.doc"}));
    const UnreadableFolders unreadable = results.Unreadable();
    EXPECT_EQ(unreadable.count, 2u);
    EXPECT_EQ(unreadable.paths, (std::vector<std::string>{trees + "first\\ask?\\", trees + "second\\deep?er\\"}));

    // A readable tree counts none, and a new search forgets the last one's.
    locations = {trees + "first\\"};
    std::string tooLong;
    ASSERT_TRUE(skip.Parse("ask?", tooLong));
    results.Clear();
    Search();
    EXPECT_EQ(results.Unreadable().count, 0u);
}
