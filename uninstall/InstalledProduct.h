// The installed Velmora as the Windows Installer knows it, whichever build or
// platform it is, and the limits both programs put on where DLLs come from.
#pragma once

#include <windows.h>
#include <msi.h>

#include <string>

struct InstalledProductInfo
{
    // Empty when no product of the upgrade code is installed.
    std::wstring code;
    MSIINSTALLCONTEXT context = MSIINSTALLCONTEXT_NONE;
};

InstalledProductInfo InstalledProduct();
// The product's InstallLocation; false when the Installer does not give it.
bool InstalledLocation(const InstalledProductInfo& product, std::wstring& location);

// DLLs loaded by name come from System32 only, never from the program's folder
// or the current one, where another may have been put beside it.
void LoadLibrariesFromSystemOnly();
