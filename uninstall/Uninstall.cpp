// uninstall.exe: finds the product code through the ProgID the package registers
// and hands it to the Windows Installer, whose own windows take over from there.
// It shows nothing itself and does not wait for the installer.
#include "uninstall/UninstallParameters.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // The shell may hand "open" to a COM handler.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    CLSID productCode = {};
    LPOLESTR productCodeText = nullptr;
    // Without the ProgID there is no product to remove, so no installer is started.
    if (SUCCEEDED(CLSIDFromProgID(L"Velmora.1.0", &productCode)) &&
        SUCCEEDED(StringFromCLSID(productCode, &productCodeText)))
    {
        const std::wstring parameters = UninstallParameters(productCodeText);
        CoTaskMemFree(productCodeText);
        ShellExecuteW(nullptr, L"open", L"msiexec", parameters.c_str(), L"", SW_SHOWNORMAL);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}
