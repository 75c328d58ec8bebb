#include "tests/e2e/Installation.h"

#include "settings/CWiperSettings.h"

#include "framework/Text.h"

#include <msi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdlib>

std::vector<std::wstring> InstalledProductCodes()
{
    std::vector<std::wstring> codes;
    wchar_t code[39] = {};
    for (DWORD index = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, index, code) == ERROR_SUCCESS; index++)
        codes.push_back(code);
    return codes;
}

std::wstring InstalledProductCode()
{
    std::vector<std::wstring> codes = InstalledProductCodes();
    return codes.empty() ? L"" : codes.front();
}

std::string InstalledFolder()
{
    wchar_t location[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    const std::wstring code = InstalledProductCode();
    if (code.empty() || MsiGetProductInfoW(code.c_str(), INSTALLPROPERTY_INSTALLLOCATION, location, &length) != ERROR_SUCCESS)
        return std::string();
    return Narrow(location);
}

bool ProductInstalled()
{
    const std::wstring code = InstalledProductCode();
    return !code.empty() && MsiQueryProductStateW(code.c_str()) == INSTALLSTATE_DEFAULT;
}

static std::string ShellFolder(int id)
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path);
    return Narrow(path);
}

std::string UserSettingsPath()
{
    return UserSettingsFolder() + "settings.dat";
}

void ForgetUserFiles()
{
    for (const char* name : {"settings.dat", "last search.txt"})
        DeleteFileW(Widen(UserSettingsFolder() + name).c_str());
}

std::string ProgramFilesFolder()
{
    return ShellFolder(CSIDL_PROGRAM_FILES);
}

bool StartMenuEntryExists(const std::string& name)
{
    for (int folder : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS})
    {
        const std::wstring path = Widen(ShellFolder(folder) + "\\Velmora\\" + name);
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}

std::string FileVersionOf(const std::string& path)
{
    const std::wstring file = Widen(path);
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), nullptr);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!size || !GetFileVersionInfoW(file.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return "";
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS)) + "." + std::to_string(LOWORD(info->dwFileVersionLS));
}

int StartMenuEntryCount()
{
    int count = 0;
    for (int folder : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS})
    {
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW(Widen(ShellFolder(folder) + "\\Velmora\\*.lnk").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do
            count++;
        while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    return count;
}

std::string BuildPath(const char* variable)
{
    const char* value = std::getenv(variable);
    return value ? value : "";
}

static BOOL CALLBACK CountIfMainWindow(HWND window, LPARAM param)
{
    wchar_t className[64] = {};
    wchar_t caption[64] = {};
    GetClassNameW(window, className, 64);
    InternalGetWindowText(window, caption, 64);
    if (wcscmp(className, L"Velmora") == 0 && wcscmp(caption, L"Velmora") == 0)
        ++*reinterpret_cast<int*>(param);
    return TRUE;
}

int CountMainWindows()
{
    int count = 0;
    EnumWindows(CountIfMainWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

std::string WindowText(HWND window)
{
    wchar_t text[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                             &copied))
        return std::string();
    return Narrow(text);
}

bool MsiexecRunning()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        found = _wcsicmp(entry.szExeFile, L"msiexec.exe") == 0;
    CloseHandle(snapshot);
    return found;
}
