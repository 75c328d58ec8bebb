// Velmora.exe's entry. The program reads no command line.
#include "shell/CWiperApp.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    CWiperApp app;
    app.InitInstance();
    return 0;
}
