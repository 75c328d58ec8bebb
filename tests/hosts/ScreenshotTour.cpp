// A documentation utility: opens the main window at its smallest size, shows
// each page in turn and saves it as a BMP, the search page after a search.
//   screenshot_tour.exe OUTPUT-FOLDER SEARCH-FOLDER SUFFIX
// writes OUTPUT-FOLDER\PAGE-SUFFIX.bmp for the pages settings, search, about,
// help and update.
#include "framework/Text.h"
#include "resources/resource.h"
#include "shell/CWindowMain.h"
#include "shell/Globals.h"
#include "shell/ShellMessages.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenCapture.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

namespace
{
// How long a search may take before the tour gives up on it.
const DWORD kSearchTimeoutMs = 60000;
const DWORD kSettleMs = 400;

bool SearchFinished()
{
    return !searchPage.OperationActive();
}
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitialize(nullptr);
    LoadLibraryW(L"riched20.dll");

    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc != 4)
        return 2;
    const std::wstring output = argv[1], searched = argv[2], suffix = argv[3];
    LocalFree(argv);

    CWindowMain mainWindow;
    wiperSettings.installFolder = Narrow(output) + "\\";
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VELMORA));
    if (!CWnd::RegisterDialogClass(L"Velmora", icon) ||
        !mainWindow.Create({.className = L"Velmora", .title = CWindowMain::title, .style = WS_OVERLAPPEDWINDOW}) ||
        mainWindow.SetUp() != 1)
        return 1;
    ShowWindow(mainWindow.hwnd, SW_SHOWNORMAL);

    const struct
    {
        PageId id;
        const wchar_t* name;
    } tour[] = {{PageSettings, L"settings"}, {PageDeleteFiles, L"search"}, {PageAbout, L"about"},
                {PageHelp, L"help"}, {PageCheckUpdates, L"update"}};
    int failures = 0;
    for (const auto& page : tour)
    {
        // Through the toolbar's tab and the tree, as a user gets there.
        bool helpSet = page.id == PageAbout || page.id == PageHelp || page.id == PageCheckUpdates;
        SendMessageW(mainWindow.hwnd, WM_COMMAND, helpSet ? ID_TOOLBAR_HELP : ID_TOOLBAR_TOOLS, 0);
        mainWindow.leftPanel.SelectPage(page.id);
        // As small as the window may be: where clipping would show first.
        SetWindowPos(mainWindow.hwnd, HWND_TOP, 0, 0, 1, 1, 0);
        if (page.id == PageDeleteFiles && searchPage.AddLocation(Narrow(searched)))
        {
            SendMessageW(GetDlgItem(searchPage.hwnd, IDC_FIND), BM_CLICK, 0, 0);
            PumpUntil(SearchFinished, kSearchTimeoutMs);
        }
        PumpUntil([] { return false; }, kSettleMs);
        RECT shown;
        GetWindowRect(mainWindow.hwnd, &shown);
        if (!SaveScreenArea(shown, output + L"\\" + page.name + L"-" + suffix + L".bmp"))
            failures++;
    }
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = mainWindow.hwnd;
    data.uID = IDC_TRAY_ICON;
    Shell_NotifyIconW(NIM_DELETE, &data);
    mainWindow.DestroyWindow();
    return failures == 0 ? 0 : 1;
}
