// Times the search, a search that skips folders, the listing, the sorting and the deletion of the program
// against bare loops over the same files, in one run, and prints the ratios.
//   velmora_bench.exe TREE   (TREE made by bench/make-tree.py)
#include "engine/CDelEntriesThread.h"
#include "engine/CScanEntriesThread.h"
#include "engine/DeletionRecord.h"
#include "engine/FileStamp.h"
#include "engine/SkipRules.h"
#include "framework/CWinThread.h"
#include "framework/CWnd.h"
#include "framework/MessageLoop.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "search_page/CWindowWiperEntries.h"
#include "tests/soak/ResourceCounters.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace
{
double Seconds(const std::function<void()>& work)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

// Each figure is measured this often, and its median printed.
const int kRounds = 5;
const int kRecycleRounds = 3;
const int kRecycledFiles = 2000;
// A bare walk on two threads this much faster than on one: parallel listing pays here.
const double kParallelPays = 0.95;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median of the per-round ratios of program to bare loop, with their range.
void PrintRatio(const char* what, const std::string& detail, const std::vector<double>& bare,
                const std::vector<double>& program, const char* target)
{
    std::vector<double> ratios;
    for (size_t round = 0; round < bare.size(); round++)
        ratios.push_back(program[round] / bare[round]);
    printf("%-8s %s, median of %zu: bare %.3f s, program %.3f s, ratio %.2f (min %.2f, max %.2f; %s)\n", what,
           detail.c_str(), ratios.size(), Median(bare), Median(program), Median(ratios),
           *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()), target);
}

void PrintSeconds(const char* what, const std::string& detail, const std::vector<double>& times, const char* target)
{
    printf("%-8s %s, median of %zu: %.3f s (min %.3f, max %.3f; %s)\n", what, detail.c_str(), times.size(),
           Median(times), *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()),
           target);
}

unsigned CoreCount()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

// The fastest plain walk: what any search must at least do.
int BareWalk(const std::wstring& folder)
{
    int files = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do
    {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L".."))
                files += BareWalk(folder + L"\\" + data.cFileName);
        }
        else
            files++;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return files;
}

// The same walk over `threads` threads that take folders from one queue: faster
// than one thread only where the file system lists several folders at a time.
int BareWalkOnThreads(const std::wstring& root, unsigned threads)
{
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::wstring> folders = {root};
    unsigned listing = 0;
    int files = 0;
    auto serve = [&] {
        for (;;)
        {
            std::wstring folder;
            {
                std::unique_lock guard(lock);
                changed.wait(guard, [&] { return !folders.empty() || listing == 0; });
                if (folders.empty())
                    return;
                folder = std::move(folders.back());
                folders.pop_back();
                listing++;
            }
            std::vector<std::wstring> subfolders;
            int found = 0;
            WIN32_FIND_DATAW data;
            HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
            if (find != INVALID_HANDLE_VALUE)
            {
                do
                {
                    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                        found++;
                    else if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L".."))
                        subfolders.push_back(folder + L"\\" + data.cFileName);
                } while (FindNextFileW(find, &data));
                FindClose(find);
            }
            {
                std::unique_lock guard(lock);
                listing--;
                files += found;
                folders.insert(folders.end(), subfolders.begin(), subfolders.end());
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (unsigned i = 0; i < threads; i++)
        pool.emplace_back(serve);
    for (std::thread& thread : pool)
        thread.join();
    return files;
}

void Pump(const std::function<bool()>& done)
{
    MSG msg;
    while (!done())
    {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchLoopMessage(msg);
    }
}

LARGE_INTEGER questionShown;

// Answers the deletion question with a button from a helper thread, noting when it showed.
void AnswerSoon(int button)
{
    std::thread([button] {
        for (int i = 0; i < 60000; i++, Sleep(1))
        {
            HWND dialog = FindWindowW(L"#32770", L"Warning");
            if (dialog && IsWindowVisible(dialog))
            {
                QueryPerformanceCounter(&questionShown);
                PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
                return;
            }
        }
    }).detach();
}

// Hears nothing and answers nothing: the skip figures time the search's worker alone.
class QuietProgress : public IWorkerProgress
{
public:
    void WorkerStarted() override {}
    void WorkerProgress(bool) override {}
    Choice AskSkip(const std::string&, const char*) override { return Choice::Cancel; }
    void ShowWarning(const std::string&) override {}
    void WorkerFinished() override {}
};

// Makes `count` one-byte files in a new folder of the system's temporary folder,
// where the Recycle Bin is (the benchmark tree's drive may have none), and
// returns what a deletion is given of them.
DeletionJob MakeChosenFiles(const std::string& name, int count)
{
    wchar_t temporary[MAX_PATH];
    GetTempPathW(MAX_PATH, temporary);
    const std::string folder = Narrow(temporary) + name + "\\";
    CreateDirectoryW(Widen(folder).c_str(), nullptr);
    DeletionJob job;
    for (int n = 0; n < count; n++)
    {
        // Names of their own: a trash that finds a name taken tries others one by one.
        const std::string path = folder + name + "-" + std::to_string(n) + ".tmp";
        HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "x", 1, &written, nullptr);
        CloseHandle(file);
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data);
        FoundFile row;
        RecordSeen(row, data, 0);
        job.files.push_back(ChosenFileOf(row, (size_t)n));
        job.files.back().path = path;
    }
    return job;
}

// Runs the deletion worker alone on the job; its seconds.
double DeleteAlone(DeletionJob job)
{
    SearchResults results;
    WorkerControl control;
    QuietProgress progress;
    return Seconds([&] {
        HANDLE thread = (new CDelEntriesThread(std::move(job), &results, &control, &progress))->Start();
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    });
}

// Searches one location for every file on the worker alone; the number of files found.
size_t SearchAlone(const std::string& location, const SkipRules& skip)
{
    SearchResults results;
    WorkerControl control;
    QuietProgress progress;
    HANDLE thread = (new CScanEntriesThread({SearchCriteria(), {location}, skip}, &results, &control, &progress))
                        ->Start();
    if (!thread)
        return 0;
    JoinThread(thread, INFINITE);
    CloseHandle(thread);
    return results.RowCount();
}

std::string RowNumber(HWND list, int row)
{
    wchar_t text[32] = {};
    LVITEMW item = {};
    item.pszText = text;
    item.cchTextMax = 32;
    SendMessageW(list, LVM_GETITEMTEXTW, row, (LPARAM)&item);
    return Narrow(text);
}

// The "N" texts of the rows the list itself shows selected.
std::set<std::string> ShownSelection(HWND list)
{
    std::set<std::string> numbers;
    for (int row = (int)SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED); row != -1;
         row = (int)SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))
        numbers.insert(RowNumber(list, row));
    return numbers;
}
}

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        printf("usage: velmora_bench TREE\n");
        return 2;
    }
    std::string tree = argv[1];
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);

    CWindowWiperEntries page;
    SearchResults& found = page.Found();
    HWND host = CreateWindowExW(0, L"STATIC", L"Velmora", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 700, nullptr,
                                nullptr, nullptr, nullptr);
    if (!page.Create(host))
        return 1;
    MoveWindow(page.hwnd, 0, 0, 780, 660, TRUE);
    ShowWindow(page.hwnd, SW_SHOW);
    HWND list = GetDlgItem(page.hwnd, IDC_RESULTS);
    LARGE_INTEGER pressed, frequency;
    QueryPerformanceFrequency(&frequency);
    // Done when both operations have ended and the list shows every row.
    auto idle = [&] {
        return !page.OperationActive() && (size_t)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == found.RowCount();
    };

    printf("Velmora benchmarks, one run, %d-bit build under this machine's Wine, %u cores\n",
           int(sizeof(void*) * 8), CoreCount());
    // Each round empties the results first, untimed, as a user's new search finds them empty or not.
    auto emptyResults = [&] {
        found.Clear();
        page.RefreshResults();
        UpdateWindow(list);
    };
    std::wstring searchTree = LongPath(tree + "\\search");
    page.AddLocation(tree + "\\search");
    int files = 0;
    std::vector<double> bareWalks, twoThreadWalks, searches;
    size_t bytesBefore = 0, bytesAfter = 0;
    for (int round = 0; round < kRounds; round++)
    {
        bareWalks.push_back(Seconds([&] { files = BareWalk(searchTree); }));
        twoThreadWalks.push_back(Seconds([&] { BareWalkOnThreads(searchTree, 2); }));
        emptyResults();
        // From the second round on: what the first search leaves with the process for
        // good (thread stacks, the heap's growth) is not the rows' memory.
        if (round == 1)
            bytesBefore = PrivateBytes();
        searches.push_back(Seconds([&] {
            SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0);
            Pump(idle);
        }));
        if (round == 1)
            bytesAfter = PrivateBytes();
    }
    // Where two threads list faster than one, the search must gain from them too.
    std::vector<double> twoThreadRatios;
    for (int round = 0; round < kRounds; round++)
        twoThreadRatios.push_back(twoThreadWalks[round] / bareWalks[round]);
    const bool parallelPays = Median(twoThreadRatios) < kParallelPays;
    PrintRatio("walk", "a bare walk on two threads against one, " +
                           std::string(parallelPays ? "listing runs in parallel on this host"
                                                    : "listing does not run in parallel on this host"),
               bareWalks, twoThreadWalks, "no target: it tells the host's kind");
    PrintRatio("search", std::to_string(files) + " files in 1000 folders against a bare walk on one thread", bareWalks,
               searches, parallelPays ? "target <= 0.9" : "target <= 1.0");
    printf("memory   %zu rows: %.0f bytes per row of private memory, listed (target <= 80: 8 MB for 100000)\n",
           found.RowCount(), double(bytesAfter - bytesBefore) / double(found.RowCount()));

    // The same hits through one type and through a list whose match is its last item.
    SendDlgItemMessageW(page.hwnd, IDC_SPECIFY_TYPE, BM_CLICK, 0, 0);
    auto searchTyped = [&](const wchar_t* patterns) {
        SetDlgItemTextW(page.hwnd, IDC_FILE_TYPE, patterns);
        return Seconds([&] {
            SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0);
            Pump(idle);
        });
    };
    // The first search after the unfiltered one also empties its 100000 rows: not timed.
    searchTyped(L"*.doc");
    size_t typedHits = found.RowCount();
    std::vector<double> oneType, threeTypes;
    for (int round = 0; round < kRounds; round++)
    {
        oneType.push_back(searchTyped(L"*.doc"));
        threeTypes.push_back(searchTyped(L"*.tmp;*.log;*.doc"));
    }
    printf("search   three types against one, %zu hits each, median of 5: %.3f s against %.3f s, ratio %.2f (%s)\n",
           typedHits, Median(threeTypes), Median(oneType), Median(threeTypes) / Median(oneType),
           found.RowCount() == typedHits ? "same hits" : "HITS DIFFER");
    // Folders 0000 to 0499 of the 1000 skipped by their names.
    SkipRules halfTheFolders;
    std::string tooLong;
    halfTheFolders.Parse("folder00*;folder01*;folder02*;folder03*;folder04*", tooLong);
    std::vector<double> unskipped, skipping, skipRatios;
    size_t unskippedFiles = 0, skippingFiles = 0;
    for (int round = 0; round < kRounds; round++)
    {
        unskipped.push_back(Seconds([&] { unskippedFiles = SearchAlone(tree + "\\search", SkipRules()); }));
        skipping.push_back(Seconds([&] { skippingFiles = SearchAlone(tree + "\\search", halfTheFolders); }));
        skipRatios.push_back(skipping.back() / unskipped.back());
    }
    printf("skip     half the folders skipped by name patterns against none, %zu files against %zu, median of %d: "
           "%.3f s against %.3f s, ratio %.2f (min %.2f, max %.2f; target about 0.5)\n",
           skippingFiles, unskippedFiles, kRounds, Median(skipping), Median(unskipped), Median(skipRatios),
           *std::min_element(skipRatios.begin(), skipRatios.end()),
           *std::max_element(skipRatios.begin(), skipRatios.end()));

    SendDlgItemMessageW(page.hwnd, IDC_ALL_FILES, BM_CLICK, 0, 0);
    SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0);
    Pump(idle);

    std::vector<double> listings;
    for (int round = 0; round < kRounds; round++)
        listings.push_back(Seconds([&] {
            page.RefreshResults();
            UpdateWindow(list);
        }));
    PrintSeconds("listing", std::to_string(found.RowCount()) + " rows", listings, "target < 0.1 s");

    // Every tenth row selected, as a user might have chosen them by hand.
    std::set<std::string> chosen;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int row = 0; row < (int)found.RowCount(); row += 10)
    {
        LVITEMW item = {};
        item.state = item.stateMask = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, row, (LPARAM)&item);
        chosen.insert(RowNumber(list, row));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    const char* columns[] = {"N", "Name", "Type", "Location", "Size", "Date"};
    for (int column = 0; column < 6; column++)
    {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = list;
        click.hdr.idFrom = IDC_RESULTS;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        // Each click turns the order round: both directions are timed.
        std::vector<double> sorts;
        bool kept = true;
        for (int round = 0; round < kRounds; round++)
        {
            sorts.push_back(Seconds([&] {
                SendMessageW(page.hwnd, WM_NOTIFY, IDC_RESULTS, (LPARAM)&click);
                UpdateWindow(list);
            }));
            kept = kept && ShownSelection(list) == chosen;
        }
        PrintSeconds("sort", "by " + std::string(columns[column]) + " with " + std::to_string(chosen.size()) +
                                 " selected, same files selected: " + (kept ? "yes" : "NO"),
                     sorts, "target < 0.1 s");
    }

    // From the key press to the question on the screen, answered No.
    AnswerSoon(IDCANCEL);
    QueryPerformanceCounter(&pressed);
    NMLVKEYDOWN key = {};
    key.hdr.hwndFrom = list;
    key.hdr.idFrom = IDC_RESULTS;
    key.hdr.code = LVN_KEYDOWN;
    key.wVKey = VK_DELETE;
    SendMessageW(page.hwnd, WM_NOTIFY, IDC_RESULTS, (LPARAM)&key);
    printf("delete   key with %zu of %zu selected: question shown after %.3f s (target < 0.05 s)\n", chosen.size(),
           found.RowCount(), double(questionShown.QuadPart - pressed.QuadPart) / double(frequency.QuadPart));

    std::string listFile = tree + "\\results.csv";
    double save = Seconds([&] { page.ResultView().SaveList(listFile); });
    printf("save     %zu rows as CSV: %.3f s (target < 1 s)\n", found.RowCount(), save);
    DeleteFileW(LongPath(listFile).c_str());

    // Five rounds, each a bare loop then the program on a tree of its own, so
    // that a slow moment of the machine falls on both.
    std::vector<double> bareDeletes, pageDeletes, askings;
    size_t marked = 0, left = 0;
    for (int round = 0; round < kRounds; round++)
    {
        const std::string suffix = std::string("-") + char('0' + round);
        std::wstring bareFolder = LongPath(tree + "\\delete-bare" + suffix + "\\");
        bareDeletes.push_back(Seconds([&] {
            for (int n = 0; n < 10000; n++)
            {
                wchar_t name[32];
                wsprintfW(name, L"file%05d.doc", n);
                DeleteFileW((bareFolder + name).c_str());
            }
        }));
        // A search lists the files to delete; all of them are marked.
        AnswerSoon(IDOK);
        SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_EMPTY_LIST, BN_CLICKED), 0);
        page.AddLocation(tree + "\\delete-page" + suffix);
        SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0);
        Pump(idle);
        LVITEMW selectAll = {};
        selectAll.stateMask = LVIS_SELECTED;
        selectAll.state = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&selectAll);
        marked = found.RowCount();
        AnswerSoon(IDOK);
        QueryPerformanceCounter(&pressed);
        double pageDelete = Seconds([&] {
            SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
            Pump(idle);
        });
        // From the answer on: the deletion itself, its progress window and the listing of what is left.
        double asking = double(questionShown.QuadPart - pressed.QuadPart) / double(frequency.QuadPart);
        askings.push_back(asking);
        pageDeletes.push_back(pageDelete - asking);
        left += found.RowCount();
    }
    std::string deleted = std::to_string(marked);
    deleted += " marked rows, each checked before its deletion, ";
    deleted += std::to_string(left);
    deleted += " rows left";
    PrintRatio("delete", deleted, bareDeletes, pageDeletes, "target <= 1.35");
    printf("         before that, collecting the selection and showing the question took %.3f s\n", Median(askings));

    // The same files moved to the Recycle Bin against deleted for good, each with
    // its record line; then the record's own cost per file. Fewer files and rounds
    // than elsewhere: under Wine every file added to the desktop's trash costs more
    // the fuller it is, so 10000 files a round would take minutes.
    std::vector<double> forGood, recycled;
    for (int round = 0; round < kRecycleRounds; round++)
    {
        const std::string suffix = "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(round);
        DeletionJob plain = MakeChosenFiles("velmora-bench-plain" + suffix, kRecycledFiles);
        plain.recordPath = tree + "\\deletions-plain.csv";
        forGood.push_back(DeleteAlone(std::move(plain)));
        DeletionJob toBin = MakeChosenFiles("velmora-bench-bin" + suffix, kRecycledFiles);
        toBin.recycle = true;
        toBin.recordPath = tree + "\\deletions-bin.csv";
        recycled.push_back(DeleteAlone(std::move(toBin)));
    }
    PrintRatio("recycle",
               std::to_string(kRecycledFiles) +
                   " files to the Recycle Bin (program) against deleted for good (bare), both recorded",
               forGood, recycled, "no target: the shell's moving costs what it costs");
    std::vector<double> recordTimes;
    for (int round = 0; round < kRounds; round++)
    {
        const std::string path = tree + "\\deletions-cost.csv";
        DeleteFileW(LongPath(path).c_str());
        DeletionRecord record(path, ZoneRule());
        ChosenFile file;
        file.path = tree + "\\some folder\\some file.doc";
        recordTimes.push_back(Seconds([&] {
            for (int n = 0; n < 10000; n++)
                record.Add(file, DeletionOutcome::Deleted, "");
        }) / 10000 * 1e6);
    }
    printf("record   one line per deleted file, median of %zu: %.1f us per file (min %.1f, max %.1f)\n",
           recordTimes.size(), Median(recordTimes), *std::min_element(recordTimes.begin(), recordTimes.end()),
           *std::max_element(recordTimes.begin(), recordTimes.end()));
    DestroyWindow(host);
    return 0;
}
