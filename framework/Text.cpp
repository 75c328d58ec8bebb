#include "framework/Text.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <vector>

std::wstring Widen(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), wide.data(), size);
    return wide;
}

std::string Narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::string Narrow(const wchar_t* wide)
{
    return wide ? Narrow(std::wstring(wide)) : std::string();
}

void NarrowInto(const wchar_t* wide, std::string& utf8)
{
    utf8.clear();
    size_t length = 0;
    bool ascii = true;
    for (; wide[length]; length++)
        ascii = ascii && wide[length] < 0x80;
    if (ascii)
    {
        utf8.resize(length);
        for (size_t i = 0; i < length; i++)
            utf8[i] = (char)wide[i];
        return;
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, wide, (int)length, nullptr, 0, nullptr, nullptr);
    utf8.resize(size);
    WideCharToMultiByte(CP_UTF8, 0, wide, (int)length, utf8.data(), size, nullptr, nullptr);
}

namespace
{
const wchar_t kLongPrefix[] = L"\\\\?\\";
const wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";
const wchar_t kDevicePrefix[] = L"\\\\.\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// The length of a full path's root ("C:\" or "\\server\share\"), or 0 when the
// path is not full: relative, or relative to a drive's current folder.
size_t RootLength(const std::wstring& path)
{
    if (path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\')
        return 3;
    if (!StartsWith(path, L"\\\\"))
        return 0;
    const size_t share = path.find(L'\\', 2);
    if (share == std::wstring::npos || share == 2)
        return 0;
    const size_t end = path.find(L'\\', share + 1);
    return end == std::wstring::npos ? path.size() : end + 1;
}
}

std::wstring LongPath(const std::string& utf8Path)
{
    std::wstring path = Widen(utf8Path);
    if (StartsWith(path, kLongPrefix) || StartsWith(path, kDevicePrefix))
        return path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    const size_t root = RootLength(path);
    if (root == 0)
        return path;
    // The long form is taken as it is written, so the parts the ordinary form
    // resolves (doubled separators, "." and "..") are resolved here; names keep
    // their trailing dots and blanks.
    std::vector<std::wstring> names;
    size_t start = root;
    while (start < path.size())
    {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        const std::wstring name = path.substr(start, end - start);
        if (name == L"..")
        {
            if (!names.empty())
                names.pop_back();
        }
        else if (!name.empty() && name != L".")
            names.push_back(name);
        start = end + 1;
    }
    std::wstring full = path.substr(0, root);
    if (full.back() != L'\\')
        full += L'\\';
    for (const std::wstring& name : names)
        full += name + L'\\';
    if (!names.empty() && path.back() != L'\\')
        full.pop_back();
    return full[0] == L'\\' ? kLongUncPrefix + full.substr(2) : kLongPrefix + full;
}

std::string ToAnsi(const std::string& utf8)
{
    std::wstring wide = Widen(utf8);
    if (wide.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string ansi(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), ansi.data(), size, nullptr, nullptr);
    return ansi;
}

std::string ProgramPath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;)
    {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), (DWORD)buffer.size());
        if (length == 0)
            return std::string();
        if (length < buffer.size())
            return Narrow(std::wstring(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramFolder()
{
    std::string path = ProgramPath();
    return path.substr(0, path.rfind('\\') + 1);
}
