#include "tests/support/TempFolder.h"

#include "framework/Text.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>

static void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE)
    {
        do
        {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = folder + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryW(child.c_str()) || DeleteFileW(child.c_str());
            else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    // Process ids come round again, and a killed run leaves its folders behind:
    // only a folder made here is fresh.
    do
        path = Narrow(base) + "velmora-test-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(counter++) + "\\";
    while (!CreateDirectoryW(Widen(path).c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
}

TempFolder::~TempFolder()
{
    RemoveTree(LongPath(path.substr(0, path.size() - 1)));
}

std::string TempFolder::WriteFile(const std::string& relativePath, const std::string& content) const
{
    std::string full = path + relativePath;
    for (size_t slash = full.find('\\', path.size()); slash != std::string::npos; slash = full.find('\\', slash + 1))
        CreateDirectoryW(LongPath(full.substr(0, slash)).c_str(), nullptr);
    HANDLE file = CreateFileW(LongPath(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    DWORD written = 0;
    ::WriteFile(file, content.data(), (DWORD)content.size(), &written, nullptr);
    CloseHandle(file);
    return full;
}

std::string ReadWholeFile(const std::string& path)
{
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        content.append(buffer, read);
    CloseHandle(file);
    return content;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FixtureTrees()
{
    const char* trees = getenv("VELMORA_TREES");
    return trees ? trees : "";
}
