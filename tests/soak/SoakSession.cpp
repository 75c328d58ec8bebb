#include "tests/soak/SoakSession.h"

#include "engine/CScanEntriesThread.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "search_page/CWindowWiperEntries.h"
#include "shell/CWindowMain.h"
#include "shell/Globals.h"
#include "shell/ShellMessages.h"
#include "tests/soak/ResponseProbe.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TempFolder.h"

#include <commctrl.h>

#include <cstdio>

namespace
{
const DWORD kStepTimeoutMs = 120000;
const DWORD kTopUpTimeoutMs = 60000;
// Long enough for the menu to draw itself before it is closed.
const UINT kMenuShownMs = 150;
// The native top-up process's request and answer.
const char kTopUpWanted[] = "\\top-up-wanted";
const char kToppedUp[] = "\\topped-up";
// The columns clicked each cycle: name, size, date.
const int kSortColumns[] = {1, 4, 5};
const char kLatestVersionLine[] = "The latest version of Velmora is";
// What a user should never wait for, and what the listing may hold, during the long search.
const double kWorstAnswerMs = 100;
const double kPrivateMegabytesLimit = 64;
const double kMegabyte = 1024.0 * 1024.0;

// Set by the menu's timer, which runs inside the menu's own message loop.
bool menuWasShown = false;

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND menu = FindWindowW(L"#32768", nullptr);
    menuWasShown = menu && IsWindowVisible(menu);
    EndMenu();
}

std::string PromptList(const std::vector<SeenPrompt>& prompts)
{
    std::string list;
    for (const SeenPrompt& prompt : prompts)
        list += " [" + prompt.caption + ": " + prompt.text + "]";
    return list;
}
}

SoakSession::SoakSession(CWindowMain& app, const std::string& trees)
    : app(app), searchPage(*static_cast<CWindowWiperEntries*>(app.pages.at(PageDeleteFiles))),
      resultList(GetDlgItem(searchPage.hwnd, IDC_RESULTS)), trees(trees)
{
}

bool SoakSession::Fail(const std::string& what)
{
    failure = what;
    return false;
}

void SoakSession::ShowPage(int page)
{
    SendMessageW(app.hwnd, WM_SHOW_PAGE, page, 0);
    UpdateWindow(app.hwnd);
}

bool SoakSession::RunCycle()
{
    if (!Search())
        return false;
    SortByThreeColumns();
    SelectEvery(kCycleFiles / kDeletedPerCycle);
    if (!DeleteSelected() || !TopUp())
        return false;
    VisitEveryPage();
    return OpenAndCloseTrayMenu() && CheckForUpdates();
}

bool SoakSession::Find(size_t& rows)
{
    SendMessageW(searchPage.hwnd, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0);
    const bool ended = PumpUntil(
        [&] {
            return !searchPage.OperationActive() &&
                   size_t(SendMessageW(resultList, LVM_GETITEMCOUNT, 0, 0)) == searchPage.Found().RowCount();
        },
        kStepTimeoutMs);
    rows = searchPage.Found().RowCount();
    return ended || Fail("the search did not end");
}

bool SoakSession::Search()
{
    ShowPage(PageDeleteFiles);
    if (searchPage.Locations().empty())
        searchPage.AddLocation(trees + "\\cycle");
    size_t rows = 0;
    if (!Find(rows))
        return false;
    return rows == kCycleFiles || Fail("the search listed " + std::to_string(rows) + " files");
}

void SoakSession::SortByThreeColumns()
{
    for (int column : kSortColumns)
    {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = resultList;
        click.hdr.idFrom = IDC_RESULTS;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageW(searchPage.hwnd, WM_NOTIFY, IDC_RESULTS, (LPARAM)&click);
        UpdateWindow(resultList);
    }
}

void SoakSession::SelectEvery(size_t step)
{
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    SendMessageW(resultList, LVM_SETITEMSTATE, WPARAM(-1), (LPARAM)&item);
    item.state = LVIS_SELECTED;
    for (size_t row = 0; row < searchPage.Found().RowCount(); row += step)
        SendMessageW(resultList, LVM_SETITEMSTATE, row, (LPARAM)&item);
}

bool SoakSession::DeleteSelected()
{
    DialogCloser closer({IDOK});
    SendMessageW(searchPage.hwnd, WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
    const bool ended = PumpUntil([&] { return !searchPage.OperationActive(); }, kStepTimeoutMs);
    const std::vector<SeenPrompt> prompts = closer.Stop();
    if (!ended)
        return Fail("the deletion did not end");
    // The question, and nothing else: every selected file could go.
    if (prompts.size() != 1)
        return Fail("the deletion asked" + PromptList(prompts));
    const size_t left = searchPage.Found().RowCount();
    return left == kCycleFiles - kDeletedPerCycle || Fail("the deletion left " + std::to_string(left) + " rows");
}

bool SoakSession::TopUp()
{
    const std::string done = trees + kToppedUp;
    DeleteFileW(LongPath(done).c_str());
    HANDLE request = CreateFileW(LongPath(trees + kTopUpWanted).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (request == INVALID_HANDLE_VALUE)
        return Fail("the top-up could not be asked for (error " + std::to_string(GetLastError()) + ")");
    CloseHandle(request);
    return PumpUntil([&] { return FileExists(done); }, kTopUpTimeoutMs) ||
           Fail("the tree was not topped up: is make-soak-trees.py --serve running?");
}

void SoakSession::VisitEveryPage()
{
    for (int page : {PageSettings, PageDeleteFiles, PageAbout, PageHelp, PageCheckUpdates})
    {
        ShowPage(page);
        PumpUntil([] { return false; }, 20);
    }
}

bool SoakSession::OpenAndCloseTrayMenu()
{
    menuWasShown = false;
    SetTimer(nullptr, 0, kMenuShownMs, CloseMenu);
    // A right click on the icon, as the shell tells it (NOTIFYICON_VERSION_4), at the screen's middle.
    POINT anchor = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    SendMessageW(app.hwnd, WM_TRAY_NOTIFY, MAKEWPARAM(anchor.x, anchor.y), MAKELPARAM(WM_CONTEXTMENU, IDC_TRAY_ICON));
    return menuWasShown || Fail("the tray menu did not show");
}

bool SoakSession::CheckForUpdates()
{
    ShowPage(PageCheckUpdates);
    SendMessageW(app.updatePage.hwnd, WM_COMMAND, MAKEWPARAM(IDC_CHECK_FOR_UPDATES, BN_CLICKED), 0);
    HWND checkButton = GetDlgItem(app.updatePage.hwnd, IDC_CHECK_FOR_UPDATES);
    const bool ended = PumpUntil([&] { return IsWindowEnabled(checkButton) != FALSE; }, kStepTimeoutMs);
    if (!ended)
        return Fail("the update check did not end");
    const std::string report = app.updatePage.ReportText();
    return report.find(kLatestVersionLine) != std::string::npos || Fail("the update check reported: " + report);
}

bool SoakSession::RunLongSearch()
{
    ShowPage(PageDeleteFiles);
    {
        DialogCloser closer({IDOK});
        SendMessageW(searchPage.hwnd, WM_COMMAND, MAKEWPARAM(IDC_EMPTY_LIST, BN_CLICKED), 0);
        closer.Stop();
    }
    searchPage.AddLocation(trees + "\\million");
    DialogCloser closer;
    ResponseProbe probe(app.hwnd);
    size_t rows = 0;
    const bool ended = Find(rows);
    probe.Stop();
    const std::vector<SeenPrompt> prompts = closer.Stop();
    const double peakMegabytes = double(probe.PeakPrivateBytes()) / kMegabyte;
    printf("long search  %zu rows listed; %d answers sampled every %lu ms\n", rows, probe.Samples(),
           ResponseProbe::kIntervalMs);
    printf("             worst answer %.1f ms (target <= %.0f: %s)\n", probe.WorstMs(), kWorstAnswerMs,
           probe.WorstMs() <= kWorstAnswerMs ? "met" : "MISSED");
    printf("             peak private bytes %.1f MB (target < %.0f: %s)\n", peakMegabytes, kPrivateMegabytesLimit,
           peakMegabytes < kPrivateMegabytesLimit ? "met" : "MISSED");
    if (!ended)
        return false;
    const bool limitShown =
        prompts.size() == 1 && prompts[0].text.find("exceeds the 100000 limit") != std::string::npos;
    if (!limitShown)
        return Fail("the long search showed" + PromptList(prompts));
    return rows == CScanEntriesThread::kMaxFoundFiles ||
           Fail("the long search listed " + std::to_string(rows) + " rows");
}
