// uninstall.exe: finds the installed product and hands it to the Windows
// Installer for removal, then ends at once without waiting. The Installer's
// windows take over from there, and the package itself ends a running Velmora
// and removes the user's "Start with Windows" value. It shows nothing itself.
#include "uninstall/InstalledProduct.h"
#include "uninstall/UninstallParameters.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    LoadLibrariesFromSystemOnly();
    // Without an installed product no installer is started.
    const std::wstring productCode = InstalledProduct().code;
    if (productCode.empty())
        return 0;
    // By its full path: a program of that name elsewhere on the search path is not the Installer.
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    const std::wstring installer = std::wstring(system) + L"\\msiexec.exe";
    const std::wstring parameters = UninstallParameters(productCode);
    ShellExecuteW(nullptr, L"open", installer.c_str(), parameters.c_str(), L"", SW_SHOWNORMAL);
    return 0;
}
