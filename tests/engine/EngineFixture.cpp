#include "tests/engine/EngineFixture.h"

#include "engine/FileStamp.h"
#include "engine/Matching.h"
#include "engine/WorkerMessages.h"
#include "framework/Text.h"
#include "tests/support/MessagePump.h"

#include <cstdio>
#include <cstdlib>

void EngineTest::Search()
{
    Run(Operation::Search, "Files Searching");
}

void EngineTest::Delete()
{
    Run(Operation::Delete, "Deleting Files");
}

void EngineTest::Run(Operation operation, const char* caption)
{
    settings.requestedOperation = operation;
    int before = page.refreshes;
    ASSERT_TRUE(progress.Open(&settings, &page, caption));
    ASSERT_TRUE(PumpUntil([&] { return page.refreshes > before && progress.hwnd == nullptr; }, 90000));
    EXPECT_EQ(settings.runningOperation, Operation::None);
    EXPECT_EQ(settings.requestedOperation, Operation::None);
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

std::vector<std::string> EngineTest::FoundNames() const
{
    std::vector<std::string> names;
    for (const FoundFile& row : settings.foundFiles)
        names.push_back(std::string(row.Name()));
    return names;
}

FoundFile EngineTest::RowOf(const std::string& path)
{
    const size_t name = path.rfind('\\') + 1;
    FoundFile row = settings.foundTexts.AddRow(settings.foundTexts.AddFolder(path.substr(0, name)), path.substr(name),
                                               FileTypeOf(path.substr(name)));
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data);
    RecordSeen(row, data, ReparseTagOf(LongPath(path)));
    return row;
}
