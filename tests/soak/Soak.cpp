// The soak: the main window through 200 rounds of what a user does in it, with
// the process's GDI and USER objects, handles and private bytes counted at the
// 10th round and the last; then a search of a million files, with the window's
// answers timed. Exits 1 when a count grew by more than 5 % or a step failed.
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

// Prints one resource's line; false when it grew too much.
bool PrintGrowth(const char* what, size_t baseline, size_t last)
{
    const double growth = baseline ? (double(last) - double(baseline)) / double(baseline) : (last ? 1.0 : 0.0);
    const bool held = growth <= kAllowedGrowth;
    printf("%-16s %12zu %12zu %+8.1f %%  %s\n", what, baseline, last, 100.0 * growth, held ? "ok" : "LEAK");
    return held;
}

bool PrintTable(const ResourceCounts& baseline, const ResourceCounts& last, int lastRound)
{
    const std::string lastColumn = "round " + std::to_string(lastRound);
    printf("%-16s %12s %12s %10s\n", "resource", "round 10", lastColumn.c_str(), "growth");
    bool held = PrintGrowth("GDI objects", baseline.gdiObjects, last.gdiObjects);
    held = PrintGrowth("USER objects", baseline.userObjects, last.userObjects) && held;
    held = PrintGrowth("kernel handles", baseline.kernelHandles, last.kernelHandles) && held;
    held = PrintGrowth("private bytes", baseline.privateBytes, last.privateBytes) && held;
    return held;
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
        if (round == kBaselineRound)
            baseline = CountResources();
        if (round == rounds)
            last = CountResources();
    }
    printf("%s\n", CountSources().c_str());
    bool held = rounds < kBaselineRound || PrintTable(baseline, last, rounds);
    if (!session.RunLongSearch())
    {
        printf("long search: %s\n", session.Failure().c_str());
        held = false;
    }
    app.ExitProgram();
    return held ? 0 : 1;
}
