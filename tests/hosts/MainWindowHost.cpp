// A test utility: the main window as a user sees it, without the installer's
// folder lookup or the single-instance rule. settings.dat is kept beside this
// program, or in the folder given on the command line.
#include "framework/MessageLoop.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "shell/CWindowMain.h"
#include "shell/Globals.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitialize(nullptr);
    LoadLibraryW(L"riched20.dll");

    std::string folder = ProgramFolder();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc > 1)
    {
        folder = Narrow(argv[1]);
        if (folder.empty() || folder.back() != '\\')
            folder += '\\';
    }
    LocalFree(argv);

    CWindowMain mainWindow;
    wiperSettings.installFolder = folder;
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VELMORA));
    if (!CWnd::RegisterDialogClass(L"Velmora", icon) ||
        !mainWindow.Create({.className = L"Velmora", .title = CWindowMain::title, .style = WS_OVERLAPPEDWINDOW}))
        return 1;
    if (mainWindow.SetUp() != 1)
    {
        mainWindow.DestroyWindow();
        return 1;
    }
    RunMessageLoop();
    return 0;
}
