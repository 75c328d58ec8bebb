#include "tests/support/SavedClassesKey.h"

#include "framework/Text.h"

#include <windows.h>

#include <utility>

namespace
{
bool CopyTree(HKEY from, HKEY root, const std::wstring& path)
{
    HKEY to = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &to, nullptr) != ERROR_SUCCESS)
        return false;
    bool copied = RegCopyTreeW(from, nullptr, to) == ERROR_SUCCESS;
    RegCloseKey(to);
    return copied;
}
}

SavedClassesKey::SavedClassesKey(std::wstring keyPath)
    : path(std::move(keyPath)), backup(L"Software\\Velmora tests saved key " + std::to_wstring(GetCurrentProcessId()))
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    RegDeleteTreeW(HKEY_CURRENT_USER, backup.c_str());
    existed = CopyTree(key, HKEY_CURRENT_USER, backup);
    RegCloseKey(key);
}

SavedClassesKey::~SavedClassesKey()
{
    Remove();
    HKEY saved = nullptr;
    if (existed && RegOpenKeyExW(HKEY_CURRENT_USER, backup.c_str(), 0, KEY_READ, &saved) == ERROR_SUCCESS)
    {
        CopyTree(saved, HKEY_CLASSES_ROOT, path);
        RegCloseKey(saved);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, backup.c_str());
}

bool SavedClassesKey::Set(const std::string& text)
{
    std::wstring data = Widen(text);
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, path.c_str(), nullptr, REG_SZ, data.c_str(),
                           DWORD((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void SavedClassesKey::Remove()
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
}
