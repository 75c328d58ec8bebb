#include "help/HtmlHelpLoader.h"

#include "framework/Text.h"

namespace
{
const wchar_t kViewerServerKey[] =
    L"Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
const wchar_t kViewerName[] = L"hhctrl.ocx";
const int kEntryOrdinal = 15;

// A path that names its folder: a drive and a backslash, or a share's two backslashes.
bool IsFullPath(const std::wstring& path)
{
    return path.size() > 2 && ((path[1] == L':' && path[2] == L'\\') || (path[0] == L'\\' && path[1] == L'\\'));
}

// The viewer library's path as registered for its control class by the system,
// or "". Only the machine's registration counts, not one a user's own classes
// could put in front of it, and only a full path: a bare name would be looked for.
std::wstring RegisteredViewerPath()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kViewerServerKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t path[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH * sizeof(wchar_t);
    DWORD type = 0;
    LSTATUS status = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    std::wstring found = path;
    if (type == REG_EXPAND_SZ)
    {
        wchar_t expanded[MAX_PATH] = {};
        DWORD length = ExpandEnvironmentStringsW(path, expanded, MAX_PATH);
        found = length > 0 && length <= MAX_PATH ? expanded : L"";
    }
    return IsFullPath(found) ? found : std::wstring();
}

// The system's own viewer, from System32 whatever the search order.
HMODULE LoadSystemViewer()
{
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return LoadLibraryW((std::wstring(system) + L"\\" + kViewerName).c_str());
}
}

bool HtmlHelpLoader::Load()
{
    if (!library && !failed)
    {
        std::wstring registered = RegisteredViewerPath();
        if (!registered.empty())
            library = LoadLibraryW(registered.c_str());
        if (!library)
            library = LoadSystemViewer();
        if (!library)
            failed = true;
    }
    if (failed)
        return false;
    if (!entry)
    {
        entry = reinterpret_cast<Entry>(
            reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(kEntryOrdinal))));
        if (!entry)
        {
            failed = true;
            return false;
        }
    }
    return true;
}

HWND HtmlHelpLoader::Call(HWND caller, const std::string& file, UINT command, DWORD_PTR data)
{
    if (!Load())
        return nullptr;
    // No file at all (closing every window) is a null text, not an empty one.
    std::wstring wideFile = Widen(file);
    return entry(caller, file.empty() ? nullptr : wideFile.c_str(), command, data);
}

bool ViewerRefusesPath(const std::string& path, bool onNetwork)
{
    return onNetwork || path.find('#') != std::string::npos;
}

std::string ViewableHelpFile(const std::string& file, const std::string& localFolder)
{
    const std::wstring wide = Widen(file);
    bool onNetwork = wide.size() > 1 && wide[0] == L'\\' && wide[1] == L'\\';
    if (!onNetwork && wide.size() > 2 && wide[1] == L':')
        onNetwork = GetDriveTypeW(wide.substr(0, 3).c_str()) == DRIVE_REMOTE;
    if (!ViewerRefusesPath(file, onNetwork) || localFolder.empty() || ViewerRefusesPath(localFolder, false))
        return file;
    const std::string copy = localFolder + file.substr(file.rfind('\\') + 1);
    CreateDirectoryW(Widen(localFolder).c_str(), nullptr);
    return CopyFileW(wide.c_str(), Widen(copy).c_str(), FALSE) ? copy : file;
}

HtmlHelpLoader& ProcessHelpLoader()
{
    static HtmlHelpLoader loader;
    return loader;
}

HWND CallHtmlHelp(HWND caller, const std::string& file, UINT command, DWORD_PTR data)
{
    return ProcessHelpLoader().Call(caller, file, command, data);
}
