#include "framework/Text.h"

#include <windows.h>

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

std::wstring LongPath(const std::string& utf8Path)
{
    std::wstring path = Widen(utf8Path);
    if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    if (path.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
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
