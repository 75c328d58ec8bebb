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

#include <cstdio>
#include <functional>
#include <string>
#include <thread>

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

// Answers "Yes" to the deletion question from a helper thread.
void AnswerYesSoon()
{
    std::thread([] {
        for (int i = 0; i < 6000; i++, Sleep(10))
        {
            HWND dialog = FindWindowW(L"#32770", L"Warning");
            if (dialog && IsWindowVisible(dialog))
            {
                QueryPerformanceCounter(&questionShown);
                PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                return;
            }
        }
    }).detach();
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
    // Done when both operations have ended and the list shows every row.
    auto idle = [&] {
        return settings.requestedOperation == 0 && settings.runningOperation == 0 &&
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

    double show = Seconds([&] {
        page.RefreshResults();
        UpdateWindow(list);
    });
    printf("listing  %zu rows: %.3f s (target < 0.2 s)\n", settings.foundFiles.size(), show);

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
        printf("sort     by %-8s %.3f s (target < 0.5 s)\n", columns[column], sort);
    }

    std::wstring bareFolder = LongPath(tree + "\\delete-bare\\");
    double bareDelete = Seconds([&] {
        for (int n = 0; n < 10000; n++)
        {
            wchar_t name[32];
            wsprintfW(name, L"file%05d.doc", n);
            DeleteFileW((bareFolder + name).c_str());
        }
    });
    // A search lists the files to delete; all of them are marked.
    settings.locations.clear();
    page.AddLocation(tree + "\\delete-page");
    SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0);
    Pump(idle);
    LVITEMW selectAll = {};
    selectAll.stateMask = LVIS_SELECTED;
    selectAll.state = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&selectAll);
    size_t marked = settings.foundFiles.size();
    AnswerYesSoon();
    LARGE_INTEGER pressed, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&pressed);
    double pageDelete = Seconds([&] {
        SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
        Pump(idle);
    });
    // From the answer on: the deletion itself, its progress window and the listing of what is left.
    double asking = double(questionShown.QuadPart - pressed.QuadPart) / double(frequency.QuadPart);
    double deleting = pageDelete - asking;
    printf("delete   %zu marked rows: bare loop %.3f s, program %.3f s, ratio %.2f (target <= 1.3); %zu rows left\n",
           marked, bareDelete, deleting, deleting / bareDelete, settings.foundFiles.size());
    printf("         before that, collecting the selection and showing the question took %.3f s\n", asking);
    DestroyWindow(host);
    return 0;
}
