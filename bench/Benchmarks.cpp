// Times the search, the listing, the sorting and the deletion of the program
// against bare loops over the same files, in one run, and prints the ratios.
//   velmora_bench.exe TREE   (TREE made by bench/make-tree.py)
#include "engine/CScanEntriesThread.h"
#include "framework/CWnd.h"
#include "framework/MessageLoop.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "search_page/CWindowWiperEntries.h"
#include "settings/CWiperSettings.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
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

const int kDeleteRounds = 5;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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

    CWiperSettings settings;
    settings.SetDefaults();
    CWindowWiperEntries page(&settings);
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
        return settings.requestedOperation == Operation::None && settings.runningOperation == Operation::None &&
               (size_t)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == settings.foundFiles.size();
    };

    printf("Velmora benchmarks, one run, 32-bit build under this machine's Wine\n");
    std::wstring searchTree = LongPath(tree + "\\search");
    int files = 0;
    double bare = Seconds([&] { files = BareWalk(searchTree); });
    page.AddLocation(tree + "\\search");
    double search = Seconds([&] {
        SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0);
        Pump(idle);
    });
    printf("search   %d files: bare walk %.3f s, full search %.3f s, ratio %.2f (target <= 1.5)\n", files, bare,
           search, search / bare);

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
    size_t typedHits = settings.foundFiles.size();
    std::vector<double> oneType, threeTypes;
    for (int round = 0; round < 3; round++)
    {
        oneType.push_back(searchTyped(L"*.doc"));
        threeTypes.push_back(searchTyped(L"*.tmp;*.log;*.doc"));
    }
    printf("search   three types against one, %zu hits each, median of 3: %.3f s against %.3f s, ratio %.2f (%s)\n",
           typedHits, Median(threeTypes), Median(oneType), Median(threeTypes) / Median(oneType),
           settings.foundFiles.size() == typedHits ? "same hits" : "HITS DIFFER");
    SendDlgItemMessageW(page.hwnd, IDC_ALL_FILES, BM_CLICK, 0, 0);
    SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0);
    Pump(idle);

    double show = Seconds([&] {
        page.RefreshResults();
        UpdateWindow(list);
    });
    printf("listing  %zu rows: %.3f s (target < 0.2 s)\n", settings.foundFiles.size(), show);

    // Every tenth row selected, as a user might have chosen them by hand.
    std::set<std::string> chosen;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int row = 0; row < (int)settings.foundFiles.size(); row += 10)
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
        double sort = Seconds([&] {
            SendMessageW(page.hwnd, WM_NOTIFY, IDC_RESULTS, (LPARAM)&click);
            UpdateWindow(list);
        });
        printf("sort     by %-8s with %zu selected: %.3f s (target < 0.1 s), same files selected: %s\n",
               columns[column], chosen.size(), sort, ShownSelection(list) == chosen ? "yes" : "NO");
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
           settings.foundFiles.size(), double(questionShown.QuadPart - pressed.QuadPart) / double(frequency.QuadPart));

    std::string listFile = tree + "\\results.csv";
    double save = Seconds([&] { page.ResultView().SaveList(listFile); });
    printf("save     %zu rows as CSV: %.3f s (target < 1 s)\n", settings.foundFiles.size(), save);
    DeleteFileW(LongPath(listFile).c_str());

    // Five rounds, each a bare loop then the program on a tree of its own, so
    // that a slow moment of the machine falls on both.
    std::vector<double> bareDeletes, pageDeletes, askings;
    size_t marked = 0, left = 0;
    for (int round = 0; round < kDeleteRounds; round++)
    {
        std::string suffix = "-" + std::to_string(round);
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
        settings.locations.clear();
        page.AddLocation(tree + "\\delete-page" + suffix);
        SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0);
        Pump(idle);
        LVITEMW selectAll = {};
        selectAll.stateMask = LVIS_SELECTED;
        selectAll.state = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&selectAll);
        marked = settings.foundFiles.size();
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
        left += settings.foundFiles.size();
    }
    std::vector<double> ratios;
    for (int round = 0; round < kDeleteRounds; round++)
        ratios.push_back(pageDeletes[round] / bareDeletes[round]);
    printf("delete   %zu marked rows, median of %d: bare loop %.3f s, program %.3f s, ratio %.2f (min %.2f, max %.2f; "
           "target <= 1.35), each file checked before its deletion; %zu rows left\n",
           marked, kDeleteRounds, Median(bareDeletes), Median(pageDeletes), Median(ratios),
           *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()), left);
    printf("         before that, collecting the selection and showing the question took %.3f s\n", Median(askings));
    DestroyWindow(host);
    return 0;
}
