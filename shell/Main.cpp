// Velmora.exe's entry. The program reads no command line.
#include "shell/CWiperApp.h"
#include "uninstall/InstalledProduct.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    LoadLibrariesFromSystemOnly();
    CWiperApp app;
    app.InitInstance();
    return 0;
}
