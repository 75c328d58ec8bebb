#include "engine/RealPath.h"

#include "engine/FileSystemRedirectionOff.h"

#include <windows.h>

#include <vector>

std::wstring ComparablePath(std::wstring path)
{
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        path = L"\\\\" + path.substr(8);
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        path = path.substr(4);
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    CharLowerBuffW(path.data(), (DWORD)path.size());
    return path;
}

std::wstring RealPath(const std::wstring& path)
{
    FileSystemRedirectionOff seeFoldersAsTheyAre;
    HANDLE directory = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (directory == INVALID_HANDLE_VALUE)
        return std::wstring();
    std::wstring real;
    DWORD size = GetFinalPathNameByHandleW(directory, nullptr, 0, 0);
    if (size > 0)
    {
        std::vector<wchar_t> buffer(size + 1);
        DWORD length = GetFinalPathNameByHandleW(directory, buffer.data(), size + 1, 0);
        if (length > 0 && length <= size)
            real = ComparablePath(std::wstring(buffer.data(), length));
    }
    CloseHandle(directory);
    return real;
}

bool IsWithin(const std::wstring& path, const std::wstring& root)
{
    return !root.empty() && path.compare(0, root.size(), root) == 0;
}
