#include "tests/engine/EngineFixture.h"

#include "engine/CDelEntriesThread.h"
#include "engine/FileSystemRedirectionOff.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "tests/support/DialogDriver.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <thread>

namespace
{
class DeleteTest : public EngineTest
{
protected:
    std::vector<std::string> paths;

    // Five rows, one per file, as a search would have listed them.
    void SetUp() override
    {
        for (int i = 1; i <= 5; i++)
        {
            std::string name = "file" + std::to_string(i) + ".doc";
            paths.push_back(MakeFile(name, i));
            AddRow(RowOf(paths.back()));
        }
        results.SetFoundCount(5);
    }

    void Mark(std::initializer_list<int> rows)
    {
        for (int row : rows)
            results.SetSelected(row - 1, true);
    }
};

// Reads the progress window's count lines until it closes.
class CountLinesWatcher
{
public:
    CountLinesWatcher()
        : thread([this] {
              HWND window = WaitForDialog("Deleting Files");
              while (window && IsWindow(window))
              {
                  wchar_t text[128];
                  if (InternalGetWindowText(GetDlgItem(window, IDC_PROGRESS_COUNT1), text, 128) && IsWindowVisible(GetDlgItem(window, IDC_PROGRESS_COUNT1)))
                      first = Narrow(text);
                  if (InternalGetWindowText(GetDlgItem(window, IDC_PROGRESS_COUNT2), text, 128))
                      second = Narrow(text);
                  Sleep(2);
              }
          })
    {
    }
    ~CountLinesWatcher() { Join(); }
    void Join()
    {
        if (thread.joinable())
            thread.join();
    }

    std::string first;
    std::string second;

private:
    std::thread thread;
};
}

TEST_F(DeleteTest, MarkedRowsGoAndTheOthersKeepTheirOrder)
{
    Mark({2, 3});
    CountLinesWatcher lines;
    Delete();
    lines.Join();
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{"file1.doc", "file4.doc", "file5.doc"}));
    EXPECT_TRUE(FileExists(paths[0]));
    EXPECT_FALSE(FileExists(paths[1]));
    EXPECT_FALSE(FileExists(paths[2]));
    EXPECT_TRUE(FileExists(paths[3]));
    EXPECT_EQ(lines.first, "Total number of files:2");
    EXPECT_EQ(lines.second, "Number of deleted files: 2");
    EXPECT_EQ(results.FoundCount(), 5u);
}

namespace
{
class UndeletableTest : public DeleteTest
{
protected:
    HANDLE held = INVALID_HANDLE_VALUE;

    // Row 2 is read-only, row 4 is held open without delete sharing.
    void SetUp() override
    {
        DeleteTest::SetUp();
        SetFileAttributesW(Widen(paths[1]).c_str(), FILE_ATTRIBUTE_READONLY);
        held = CreateFileW(Widen(paths[3]).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        Mark({1, 2, 3, 4, 5});
    }

    void TearDown() override
    {
        CloseHandle(held);
    }

    std::string Prompt(int row) const
    {
        return "File  \"" + paths[row - 1] + "\" cannot be deleted.";
    }
};
}

TEST_F(UndeletableTest, SkipAsksForEachFileAndKeepsItsRow)
{
    DialogCloser answers({IDC_CHOICE_NO, IDC_CHOICE_NO});
    CountLinesWatcher lines;
    Delete();
    lines.Join();
    std::vector<SeenPrompt> seen = answers.Stop();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, "Warning");
    EXPECT_EQ(seen[0].text, Prompt(2));
    EXPECT_EQ(seen[1].text, Prompt(4));
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{"file2.doc", "file4.doc"}));
    EXPECT_TRUE(results.Selected(0));
    EXPECT_EQ(lines.first, "Total number of files:5");
    EXPECT_EQ(lines.second, "Number of deleted files: 3");
}

TEST_F(UndeletableTest, SkipAllSilencesTheRestOfTheRun)
{
    DialogCloser answers({IDC_CHOICE_NO_FOR_ALL});
    Delete();
    EXPECT_EQ(answers.Stop().size(), 1u);
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{"file2.doc", "file4.doc"}));
    EXPECT_FALSE(FileExists(paths[4]));
}

TEST_F(UndeletableTest, CancelEndsTheRunAtOnce)
{
    DialogCloser answers({IDCANCEL});
    Delete();
    EXPECT_EQ(answers.Stop().size(), 1u);
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{"file2.doc", "file3.doc", "file4.doc", "file5.doc"}));
    EXPECT_FALSE(FileExists(paths[0]));
    EXPECT_TRUE(FileExists(paths[2]));
    EXPECT_TRUE(FileExists(paths[4]));
}

TEST_F(UndeletableTest, TheProgressWindowCanStopWhileTheWorkerAsks)
{
    // While the worker's own prompt is open, Escape on the progress window asks
    // to terminate; No lets the run go on once the prompt is answered.
    std::string question;
    std::thread driver([&] {
        HWND prompt = WaitForDialog("Warning");
        HWND window = WaitForDialog("Deleting Files");
        PressKey(window, VK_ESCAPE);
        Sleep(300);
        HWND ask = nullptr;
        for (int i = 0; i < 100 && !ask; i++, Sleep(20))
        {
            HWND candidate = WaitForDialog("Warning", 50);
            if (candidate && candidate != prompt)
                ask = candidate;
        }
        if (ask)
        {
            question = ControlText(ask, IDC_PROMPT_TEXT);
            ClickButton(ask, IDCANCEL);
        }
        Sleep(200);
        ClickButton(prompt, IDC_CHOICE_NO_FOR_ALL);
    });
    Delete();
    driver.join();
    EXPECT_EQ(question, "Do you want to terminate deleting?");
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{"file2.doc", "file4.doc"}));
}

TEST_F(DeleteTest, WithoutAWindowItDeletesTheRowsOfItsJobAndNoOthers)
{
    // Selected in the list after the deletion started: not the worker's concern.
    Mark({1, 2});
    RecordingProgress reports(results);
    WorkerControl control;
    DeletionJob job;
    job.files = {ChosenFileOf(Rows()[2], 2), ChosenFileOf(Rows()[3], 3)};
    RunToTheEnd(new CDelEntriesThread(std::move(job), &results, &control, &reports));
    EXPECT_EQ(FoundNames(), (std::vector<std::string>{"file1.doc", "file2.doc", "file5.doc"}));
    EXPECT_TRUE(FileExists(paths[0]));
    EXPECT_FALSE(FileExists(paths[2]));
    EXPECT_FALSE(FileExists(paths[3]));
    EXPECT_EQ(reports.reports.front(), "started");
    EXPECT_EQ(reports.reports.back(), "finished");
    EXPECT_EQ(std::count(reports.reports.begin(), reports.reports.end(), "finished"), 1);
    EXPECT_EQ(reports.rowsAtTheEnd, 3u);
    EXPECT_EQ(control.resultCount, 2);
}

TEST_F(DeleteTest, NamesOutsideTheCodePageAndLongPathsAreDeleted)
{
    std::string deep = "long";
    while (folder.Path().size() + deep.size() < 300)
        deep += "\\a-folder-name-of-some-length";
    std::string longPath = MakeFile(deep + "\\x.doc", 1);
    std::string wide = MakeFile("\xE6\x97\xA5\xE6\x9C\xAC.doc", 1);
    for (const std::string& path : {longPath, wide})
    {
        FoundFile row = RowOf(path);
        row.rowSelected = true;
        AddRow(row);
    }
    DialogCloser none;
    Delete();
    EXPECT_TRUE(none.Stop().empty());
    EXPECT_FALSE(FileExists(longPath));
    EXPECT_FALSE(FileExists(wide));
    EXPECT_EQ(results.RowCount(), 5u);
}

namespace
{
// Five files listed by a real search, all marked; each test changes b.doc
// between the search and the deletion.
class ChangedFileTest : public EngineTest
{
protected:
    static constexpr const char* kWritten = "2024-05-01 08:00:00";

    void SetUp() override
    {
        for (const char* name : {"a.doc", "b.doc", "c.doc", "d.doc", "e.doc"})
            MakeFile(name, 100, kWritten);
        locations = {folder.Path()};
        Search();
        ASSERT_EQ(results.RowCount(), 5u);
        SelectAll();
    }

    std::string Path(const std::string& relative) const { return folder.Path() + relative; }

    static std::string ChangedPrompt(const std::string& path)
    {
        return "File  \"" + path + "\" has changed since the search and was not deleted.";
    }

    // Every entry under the folder with its size, write time and attributes.
    std::map<std::string, std::string> Contents(const std::string& relative = "") const
    {
        std::map<std::string, std::string> contents;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(LongPath(Path(relative) + "*").c_str(), &data);
        while (find != INVALID_HANDLE_VALUE)
        {
            std::string name = relative + Narrow(data.cFileName);
            if (data.cFileName[0] != L'.')
                contents[name] = std::to_string(data.nFileSizeLow) + "/" +
                                 std::to_string(data.ftLastWriteTime.dwLowDateTime) + "/" +
                                 std::to_string(data.dwFileAttributes);
            if (data.cFileName[0] != L'.' && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                contents.merge(Contents(name + "\\"));
            if (!FindNextFileW(find, &data))
                break;
        }
        FindClose(find);
        return contents;
    }

    void Resize(const std::string& path, LONGLONG size)
    {
        HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = size;
        SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
    }
};
}

TEST_F(ChangedFileTest, GoneGrownShrunkTouchedOrReplacedByAFolderIsKeptAndNothingTouched)
{
    DeleteFileW(LongPath(Path("a.doc")).c_str());
    Resize(Path("b.doc"), 101);
    Resize(Path("c.doc"), 99);
    HANDLE file = CreateFileW(LongPath(Path("d.doc")).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    SetFileTime(file, nullptr, nullptr, &now);
    CloseHandle(file);
    DeleteFileW(LongPath(Path("e.doc")).c_str());
    MakeFile("e.doc\\inside.doc", 100, kWritten);
    std::map<std::string, std::string> expected = Contents();

    DialogCloser answers({IDC_CHOICE_NO, IDC_CHOICE_NO, IDC_CHOICE_NO, IDC_CHOICE_NO, IDC_CHOICE_NO});
    Delete();
    std::set<std::string> texts;
    for (const SeenPrompt& prompt : answers.Stop())
    {
        EXPECT_EQ(prompt.caption, "Warning");
        texts.insert(prompt.text);
    }
    // The gone file is reported as before: it cannot be deleted.
    std::set<std::string> reported = {"File  \"" + Path("a.doc") + "\" cannot be deleted."};
    for (const char* name : {"b.doc", "c.doc", "d.doc", "e.doc"})
        reported.insert(ChangedPrompt(Path(name)));
    EXPECT_EQ(texts, reported);
    EXPECT_EQ(results.RowCount(), 5u);
    for (const FoundFile& row : Rows())
        EXPECT_TRUE(row.rowSelected);
    EXPECT_EQ(Contents(), expected);
}

TEST_F(ChangedFileTest, AnotherFileOfTheSameSizeAndTimesCountsAsTheSame)
{
    DeleteFileW(LongPath(Path("b.doc")).c_str());
    MakeFile("b.doc", 100, kWritten);
    DialogCloser none;
    Delete();
    EXPECT_TRUE(none.Stop().empty());
    EXPECT_EQ(results.RowCount(), 0u);
    EXPECT_TRUE(Contents().empty());
}

TEST_F(ChangedFileTest, SkipAllSilencesBothPrompts)
{
    Resize(Path("b.doc"), 1);
    SetFileAttributesW(LongPath(Path("d.doc")).c_str(), FILE_ATTRIBUTE_READONLY);
    DialogCloser answers({IDC_CHOICE_NO_FOR_ALL});
    Delete();
    EXPECT_EQ(answers.Stop().size(), 1u);
    std::vector<std::string> kept = FoundNames();
    EXPECT_EQ(std::set<std::string>(kept.begin(), kept.end()), (std::set<std::string>{"b.doc", "d.doc"}));
    SetFileAttributesW(LongPath(Path("d.doc")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ChangedFileTest, CancelOnAChangedFileEndsTheRun)
{
    std::vector<std::string> listed = FoundNames();
    Resize(Path(listed[2]), 1);
    DialogCloser answers({IDCANCEL});
    Delete();
    std::vector<SeenPrompt> seen = answers.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, ChangedPrompt(Path(listed[2])));
    EXPECT_EQ(FoundNames(), std::vector<std::string>(listed.begin() + 2, listed.end()));
    EXPECT_FALSE(FileExists(Path(listed[1])));
    EXPECT_TRUE(FileExists(Path(listed[3])));
}

TEST_F(EngineTest, AFileTurnedIntoALinkIsKept)
{
    // The fixture's now-a-link.doc links to a folder; the row says the search saw a plain file.
    std::string links = FixtureTrees() + "\\links\\";
    FoundFile row = RowOf(links + "now-a-link.doc");
    ASSERT_NE(row.kind, 0);
    row.kind = 0;
    row.rowSelected = true;
    AddRow(row);
    DialogCloser answers({IDC_CHOICE_NO});
    Delete();
    std::vector<SeenPrompt> seen = answers.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "File  \"" + links + "now-a-link.doc\" has changed since the search and was not deleted.");
    EXPECT_EQ(results.RowCount(), 1u);
    EXPECT_NE(GetFileAttributesW(LongPath(links + "now-a-link.doc").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(FileExists(links + "target\\keep.doc"));
}

namespace
{
// Every entry under folder as a listing of the long form names it, with "/"
// between levels, so that a name holding a backslash stays apart.
std::set<std::string> EntriesUnder(const std::string& folder, const std::string& relative = "")
{
    std::set<std::string> entries;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(LongPath(folder + "*").c_str(), &data);
    while (find != INVALID_HANDLE_VALUE)
    {
        const std::string name = Narrow(data.cFileName);
        if (name != "." && name != "..")
        {
            entries.insert(relative + name);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                entries.merge(EntriesUnder(folder + name + "\\", relative + name + "/"));
        }
        if (!FindNextFileW(find, &data))
            break;
    }
    FindClose(find);
    return entries;
}
}

TEST_F(EngineTest, AwkwardNamesAreFoundAsTheyAreAndOnlyTheMarkedOnesGo)
{
    // Made natively: a dot or a blank at the end, device names, characters outside
    // the code page, a name no Windows call can name, and two decoys that the
    // ordinary form of a path would reach instead.
    const std::string awkward = FixtureTrees() + "\\awkward\\";
    locations = {awkward};
    Search();
    const std::set<std::string> decoys = {"report", "back\\slash"};
    // A multiset: the name holding a backslash would show as the decoy's path.
    std::multiset<std::string> found;
    const std::vector<FoundFile> rows = Rows();
    for (size_t index = 0; index < rows.size(); index++)
    {
        const std::string path = rows[index].Path();
        EXPECT_EQ(path.rfind(awkward, 0), 0u) << path;
        const std::string relative = path.substr(awkward.size());
        found.insert(relative);
        results.SetSelected(index, !decoys.count(relative));
    }
    const std::multiset<std::string> expected = {"report.", "report ", "aux.txt", "con", "nul.log", "COM1.txt", "lpt9",
                                                 "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.doc", "\xCE\xA9mega.txt",
                                                 "\xF0\x9F\x98\x80.txt", "folder. \\inside.doc", "ask?.txt", "report",
                                                 "back\\slash"};
    EXPECT_EQ(found, expected);

    DialogCloser answers({IDC_CHOICE_NO});
    Delete();
    std::vector<SeenPrompt> seen = answers.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "File  \"" + awkward + "ask?.txt\" cannot be deleted.");
    std::vector<std::string> kept = FoundNames();
    EXPECT_EQ(std::set<std::string>(kept.begin(), kept.end()), (std::set<std::string>{"ask?.txt", "report", "slash"}));
    EXPECT_EQ(EntriesUnder(awkward),
              (std::set<std::string>{"ask?.txt", "back", "back/slash", "back\\slash", "folder. ", "report"}));
}

TEST_F(EngineTest, FilesNestedFarBeyondMaxPathAreDeletedOrReportedAsDeepAsTheSystemReaches)
{
    // One file in every folder of a chain deeper than the long form's 32767
    // characters; the system may stop listing, or reaching what it lists, before.
    const std::string deep = FixtureTrees() + "\\deep\\";
    locations = {deep};
    Search();
    const size_t found = results.RowCount();
    ASSERT_GT(found, 0u);
    std::vector<std::string> paths;
    for (const FoundFile& row : Rows())
    {
        char name[16];
        snprintf(name, sizeof(name), "f%03u.doc", (unsigned)paths.size());
        EXPECT_EQ(row.Name(), name);
        paths.push_back(row.Path());
    }
    SelectAll();

    DialogCloser answers(std::vector<int>(found, IDC_CHOICE_NO));
    Delete();
    std::vector<SeenPrompt> seen = answers.Stop();
    // The files beyond the system's reach stay, each reported; all before them go.
    const size_t deleted = found - results.RowCount();
    ASSERT_GT(deleted, 0u);
    ASSERT_EQ(seen.size(), results.RowCount());
    for (size_t i = 0; i < seen.size(); i++)
        EXPECT_EQ(seen[i].text, "File  \"" + paths[deleted + i] + "\" cannot be deleted.");
    for (size_t i = 0; i < deleted; i++)
        EXPECT_FALSE(FileExists(paths[i]));
    EXPECT_GT(paths[deleted - 1].size(), 4u * MAX_PATH);
    printf("%u files found, the deepest at %u characters; %u deleted, the deepest at %u characters\n",
           (unsigned)found, (unsigned)paths.back().size(), (unsigned)deleted, (unsigned)paths[deleted - 1].size());
}

TEST_F(EngineTest, AFileWhoseFolderWasRenamedSinceTheSearchIsReportedAndKept)
{
    MakeFile("old\\a.doc", 1);
    locations = {folder.Path()};
    Search();
    ASSERT_EQ(results.RowCount(), 1u);
    results.SetSelected(0, true);
    ASSERT_TRUE(MoveFileW(LongPath(folder.Path() + "old").c_str(), LongPath(folder.Path() + "new").c_str()));
    DialogCloser answers({IDC_CHOICE_NO});
    Delete();
    std::vector<SeenPrompt> seen = answers.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "File  \"" + folder.Path() + "old\\a.doc\" cannot be deleted.");
    EXPECT_EQ(results.RowCount(), 1u);
    EXPECT_EQ(EntriesUnder(folder.Path()), (std::set<std::string>{"new", "new/a.doc"}));
}

namespace
{
// Writes a file with the 32-bit redirection off, so that it lands in the folder its path names.
bool WriteUnredirected(const std::string& path, const std::string& content)
{
    FileSystemRedirectionOff seeFoldersAsTheyAre;
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool made = file != INVALID_HANDLE_VALUE &&
                      WriteFile(file, content.data(), (DWORD)content.size(), &written, nullptr) &&
                      written == content.size();
    CloseHandle(file);
    return made;
}

bool ExistsUnredirected(const std::string& path)
{
    FileSystemRedirectionOff seeFoldersAsTheyAre;
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}
}

// A 32-bit program on 64-bit Windows is shown SysWOW64 under System32's name
// unless it asks otherwise: the rows and the deletion must be of System32 itself.
TEST_F(EngineTest, System32IsSearchedAndDeletedFromAsItIsNotSysWow64)
{
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64)
        GTEST_SKIP() << "NOT RUN here: only a 32-bit build on 64-bit Windows has its folders redirected";
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::string system32 = Narrow(windows) + "\\System32\\";
    const std::string syswow64 = Narrow(windows) + "\\SysWOW64\\";
    // One name, so that what a failed run leaves behind is overwritten.
    const std::string name = "velmora-test.redirected";
    ASSERT_TRUE(WriteUnredirected(system32 + name, "64-bit"));
    ASSERT_TRUE(WriteUnredirected(syswow64 + name, "the 32-bit side"));

    criteria.fileType = "redirected";
    locations = {system32};
    Search();
    ASSERT_EQ(results.RowCount(), 1u);
    EXPECT_EQ(Rows()[0].Path(), system32 + name);
    EXPECT_EQ(Rows()[0].size, 6u);

    results.SetSelected(0, true);
    Delete();
    EXPECT_EQ(results.RowCount(), 0u);
    EXPECT_FALSE(ExistsUnredirected(system32 + name));
    EXPECT_TRUE(ExistsUnredirected(syswow64 + name));
    DeleteFileW(Widen(syswow64 + name).c_str());
}
