#include "framework/UserFolder.h"

#include "framework/Text.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

std::string UserSettingsFolder()
{
    PWSTR folder = nullptr;
    std::string path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &folder)))
        path = Narrow(folder) + "\\Velmora\\";
    CoTaskMemFree(folder);
    return path;
}
