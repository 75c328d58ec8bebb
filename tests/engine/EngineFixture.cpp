#include "tests/engine/EngineFixture.h"

#include "engine/FileStamp.h"
#include "engine/Matching.h"
#include "framework/Text.h"
#include "tests/support/MessagePump.h"

#include <cstdio>
#include <cstdlib>

Choice RecordingProgress::AskSkip(const std::string& text, const char*)
{
    reports.push_back("asked: " + text);
    if (answers.empty())
        return Choice::Cancel;
    Choice answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

void RecordingProgress::WorkerFinished()
{
    reports.push_back("finished");
    rowsAtTheEnd = results.RowCount();
}

void RunToTheEnd(CWorkerThread* worker)
{
    HANDLE thread = worker->Start();
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    CloseHandle(thread);
}

void EngineTest::Search()
{
    const int before = page.ends;
    ASSERT_TRUE(progress.StartSearch(&page, &results, "Files Searching", {criteria, locations, skip}));
    WaitForTheEnd(before);
}

void EngineTest::Delete()
{
    Delete(results.ChosenFiles());
}

void EngineTest::Delete(DeletionJob job)
{
    const int before = page.ends;
    ASSERT_TRUE(progress.StartDeletion(&page, &results, "Deleting Files", std::move(job)));
    WaitForTheEnd(before);
}

void EngineTest::WaitForTheEnd(int endsBefore)
{
    ASSERT_TRUE(PumpUntil([&] { return page.ends > endsBefore && progress.hwnd == nullptr; }, 90000));
    EXPECT_EQ(page.ends, endsBefore + 1);
    EXPECT_EQ(progress.RunningOperation(), Operation::None);
    EXPECT_TRUE(progress.WaitForWorker(5000));
}

static FILETIME FileTimeOf(const std::string& localText)
{
    SYSTEMTIME local = {};
    sscanf(localText.c_str(), "%hu-%hu-%hu %hu:%hu:%hu", &local.wYear, &local.wMonth, &local.wDay, &local.wHour,
           &local.wMinute, &local.wSecond);
    FILETIME localTime, utc;
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    return utc;
}

std::string EngineTest::MakeFile(const std::string& relativePath, uint64_t size, const std::string& modified,
                                 const std::string& accessed)
{
    std::string path = folder.WriteFile(relativePath, "");
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = (LONGLONG)size;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    FILETIME write = modified.empty() ? FILETIME() : FileTimeOf(modified);
    FILETIME access = accessed.empty() ? FileTimeOf("2020-01-01 12:00:00") : FileTimeOf(accessed);
    SetFileTime(file, nullptr, &access, modified.empty() ? nullptr : &write);
    CloseHandle(file);
    return path;
}

std::vector<FoundFile> EngineTest::Rows() const
{
    SearchResults::Reading rows(results);
    return rows.Rows();
}

void EngineTest::AddRow(const FoundFile& row)
{
    results.Append(&row, 1);
}

void EngineTest::SelectAll()
{
    for (size_t row = 0; row < results.RowCount(); row++)
        results.SetSelected(row, true);
}

std::vector<std::string> EngineTest::FoundNames() const
{
    std::vector<std::string> names;
    for (const FoundFile& row : Rows())
        names.push_back(std::string(row.Name()));
    return names;
}

FoundFile EngineTest::RowOf(const std::string& path)
{
    const size_t name = path.rfind('\\') + 1;
    FoundFile row = rowTexts.AddRow(rowTexts.AddFolder(path.substr(0, name)), path.substr(name),
                                    FileTypeOf(path.substr(name)));
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data);
    RecordSeen(row, data, ReparseTagOf(LongPath(path)));
    return row;
}

SkipRules SkipOf(std::string text, const std::string& root)
{
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + root.size()))
        text.replace(at, 1, root);
    SkipRules skip;
    std::string tooLong;
    EXPECT_TRUE(skip.Parse(text, tooLong)) << text;
    return skip;
}
