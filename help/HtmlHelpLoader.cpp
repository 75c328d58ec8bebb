#include "help/HtmlHelpLoader.h"

#include "framework/Text.h"

namespace
{
const wchar_t kViewerServerKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
const int kEntryOrdinal = 15;

// The viewer library's path as registered for its control class, or "".
std::wstring RegisteredViewerPath()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kViewerServerKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t path[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH * sizeof(wchar_t);
    DWORD type = 0;
    LSTATUS status = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    if (type == REG_SZ)
        return path;
    wchar_t expanded[MAX_PATH] = {};
    DWORD length = ExpandEnvironmentStringsW(path, expanded, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? expanded : std::wstring();
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
            library = LoadLibraryW(L"hhctrl.ocx");
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

HtmlHelpLoader& ProcessHelpLoader()
{
    static HtmlHelpLoader loader;
    return loader;
}

HWND CallHtmlHelp(HWND caller, const std::string& file, UINT command, DWORD_PTR data)
{
    return ProcessHelpLoader().Call(caller, file, command, data);
}
