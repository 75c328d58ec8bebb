#include "engine/DirectoryIdentity.h"

#include <windows.h>

#include <vector>

// The volume serial and file index; a volume without a serial (0) cannot vouch
// for its indexes, so there the final path is the identity.
static bool ReadIdentity(HANDLE directory, std::wstring& identity)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(directory, &info))
        return false;
    if (info.dwVolumeSerialNumber != 0)
    {
        wchar_t text[40];
        wsprintfW(text, L"%08lx:%08lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
        identity = text;
        return true;
    }
    DWORD size = GetFinalPathNameByHandleW(directory, nullptr, 0, 0);
    if (size == 0)
        return false;
    std::vector<wchar_t> path(size + 1);
    DWORD length = GetFinalPathNameByHandleW(directory, path.data(), size + 1, 0);
    if (length == 0 || length > size)
        return false;
    identity.assign(L"path:").append(path.data(), length);
    return true;
}

bool DirectoryIdentity::FirstVisit(const std::wstring& path)
{
    HANDLE directory = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (directory == INVALID_HANDLE_VALUE)
        return true;
    std::wstring identity;
    bool known = ReadIdentity(directory, identity);
    CloseHandle(directory);
    return !known || seen.insert(identity).second;
}
