// The soak: the main window through 200 rounds of what a user does in it, with
// the process's GDI and USER objects, handles and private bytes counted at the
// 10th round and the last; then a search of a million files, with the window's
// answers timed. Exits 1 when a count grew by more than 5 %, saw nothing (could
// not be read, or read 0), or a step failed.
//   velmora_soak.exe TREES [ROUNDS]
//   (TREES made by tests/soak/make-soak-trees.py, which serves the top-ups beside it)
#include "framework/CWnd.h"
#include "shell/CWindowMain.h"
#include "shell/Globals.h"
#include "tests/soak/ResourceCounters.h"
#include "tests/soak/SoakSession.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TempFolder.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
const int kRounds = 200;
// Before this round the program settles: first uses fill caches and pools for good.
const int kBaselineRound = 10;
const double kAllowedGrowth = 0.05;
const std::string kVersionReply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n"
                                  "Velmora 2.0 finds files faster.\n\n1.1;1.0\n2.0;1.0;\n";

// The counts, in the order the table lists them.
const struct
{
    const char* name;
    ResourceCount ResourceCounts::*count;
} kCounters[] = {{"GDI objects", &ResourceCounts::gdiObjects},
                 {"USER objects", &ResourceCounts::userObjects},
                 {"kernel handles", &ResourceCounts::kernelHandles},
                 {"private bytes", &ResourceCounts::privateBytes}};

// Why a count says nothing about a leak, or "": a process holding windows holds
// some of everything counted, so a 0 means the count saw nothing.
std::string Blindness(const ResourceCount& count)
{
    if (!count.failure.empty())
        return "could not be counted (" + count.failure + ")";
    return count.value ? "" : "read 0 while the process holds windows";
}

// Prints a line for each count that saw nothing; true when every count saw something.
bool AllCounted(const ResourceCounts& counts, int round)
{
    bool counted = true;
    for (const auto& counter : kCounters)
    {
        const std::string blindness = Blindness(counts.*counter.count);
        if (!blindness.empty())
            printf("round %d: %s: %s\n", round, counter.name, blindness.c_str());
        counted = counted && blindness.empty();
    }
    return counted;
}

// Prints one resource's line; false when it grew too much or saw nothing at the
// end. The baseline is never 0: a blind one ends the soak.
bool PrintGrowth(const char* what, size_t baseline, const ResourceCount& last)
{
    const double growth = (double(last.value) - double(baseline)) / double(baseline);
    const bool blind = !Blindness(last).empty();
    const bool held = growth <= kAllowedGrowth && !blind;
    printf("%-16s %12zu %12zu %+8.1f %%  %s\n", what, baseline, last.value, 100.0 * growth,
           blind ? "BLIND" : held ? "ok" : "LEAK");
    return held;
}

bool PrintTable(const ResourceCounts& baseline, const ResourceCounts& last, int lastRound)
{
    std::string sources;
    for (const auto& counter : kCounters)
        sources += (sources.empty() ? "" : ", ") + std::string(counter.name) + " " + (last.*counter.count).source;
    printf("%s\n", sources.c_str());
    const std::string lastColumn = "round " + std::to_string(lastRound);
    printf("%-16s %12s %12s %10s\n", "resource", "round 10", lastColumn.c_str(), "growth");
    bool held = true;
    for (const auto& counter : kCounters)
        held = PrintGrowth(counter.name, (baseline.*counter.count).value, last.*counter.count) && held;
    return AllCounted(last, lastRound) && held;
}
}

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        printf("usage: velmora_soak TREES [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? atoi(argv[2]) : kRounds;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitialize(nullptr);
    LoadLibraryW(L"riched20.dll");

    LocalHttpServer server(LocalHttpServer::Answer::Reply, kVersionReply);
    if (!server.Listening())
    {
        printf("the local update server did not start\n");
        return 1;
    }
    UpdateServer updateServer;
    updateServer.domain = "127.0.0.1";
    updateServer.port = server.Port();
    updateServer.webHost = "www.velmora.test";
    updateServer.webAddress = "http://www.velmora.test";

    TempFolder settingsFolder;
    wiperSettings.installFolder = settingsFolder.Path();
    CWindowMain app(updateServer);
    if (!CWnd::RegisterDialogClass(L"Velmora", nullptr) ||
        !app.Create({.className = L"Velmora", .title = CWindowMain::title, .style = WS_OVERLAPPEDWINDOW}) ||
        app.SetUp() != 1)
    {
        printf("the main window did not open\n");
        return 1;
    }
    app.ShowMainWindow();

    printf("Velmora soak, %d rounds of %zu files found, sorted three times, %zu deleted, every page, the tray menu "
           "and an update check\n",
           rounds, SoakSession::kCycleFiles, SoakSession::kDeletedPerCycle);
    SoakSession session(app, argv[1]);
    ResourceCounts baseline, last;
    for (int round = 1; round <= rounds; round++)
    {
        if (!session.RunCycle())
        {
            printf("round %d: %s\n", round, session.Failure().c_str());
            return 1;
        }
        // A blind baseline would make the remaining rounds pointless.
        if (round == kBaselineRound)
        {
            baseline = CountResources();
            if (!AllCounted(baseline, round))
                return 1;
        }
        if (round == rounds)
            last = CountResources();
    }
    bool held = rounds < kBaselineRound || PrintTable(baseline, last, rounds);
    if (!session.RunLongSearch())
    {
        printf("long search: %s\n", session.Failure().c_str());
        held = false;
    }
    app.ExitProgram();
    return held ? 0 : 1;
}
