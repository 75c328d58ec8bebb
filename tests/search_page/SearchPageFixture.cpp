#include "tests/search_page/SearchPageFixture.h"

#include "engine/LocalZone.h"
#include "engine/Matching.h"
#include "search_page/WorkerMessages.h"

namespace
{
// The texts of the rows the tests make; they live as long as the test program.
TextStore rowTexts;

// Neither the folder nor its files exist.
const char kMissingFolder[] = "C:\\no such folder of the search page tests";
}

FoundFile Row(const std::string& name, uint64_t size, int64_t testedTime, const std::string& folder)
{
    FoundFile file = rowTexts.AddRow(rowTexts.AddFolder(folder), name, FileTypeOf(name));
    file.size = size;
    file.testedTime = testedTime;
    return file;
}

int64_t SecondOfJanuary2nd()
{
    return LocalToSeconds({2024, 1, 2, 10, 0, 0}, CurrentZoneRule());
}

SYSTEMTIME Date(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

std::vector<FoundFile> NumberedRows(int count)
{
    std::vector<FoundFile> rows;
    for (int i = 0; i < count; i++)
        rows.push_back(Row("f" + std::to_string(i) + ".dat", (uint64_t)i, count - i));
    return rows;
}

void SearchPage::HoldSearch()
{
    page->AddLocation(kMissingFolder);
    Click(IDC_FIND);
    PauseTheWorker();
}

void SearchPage::HoldDeletion()
{
    {
        DialogDriver yes("Warning", [](HWND question) { ClickButton(question, IDOK); });
        Click(IDC_DELETE);
    }
    PauseTheWorker();
}

// The worker waits for the page's thread to hear that it started, which this
// thread has not done yet: the pause comes before its first step.
void SearchPage::PauseTheWorker()
{
    ASSERT_NE(page->ProgressWindow(), nullptr);
    ASSERT_NE(page->RunningOperation(), Operation::None);
    SendMessageW(page->ProgressWindow(), WM_WORKER_PAUSE, 0, 0);
}

void SearchPage::ReleaseOperation()
{
    DialogCloser skip({IDC_CHOICE_NO_FOR_ALL});
    SendMessageW(page->ProgressWindow(), WM_WORKER_CONTINUE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !page->OperationActive() && page->ProgressWindow() == nullptr; }));
    skip.Stop();
}
