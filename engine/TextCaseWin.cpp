#include "engine/TextCase.h"

#include <climits>
#include <windows.h>

std::string LowerText(const std::string& utf8)
{
    if (utf8.empty() || utf8.size() > INT_MAX)
        return utf8;
    const int utf8Length = static_cast<int>(utf8.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8Length, nullptr, 0);
    if (wideLength <= 0)
        return utf8;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8Length, wide.data(), wideLength);
    CharLowerBuffW(wide.data(), static_cast<DWORD>(wideLength));
    const int lowerLength = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (lowerLength <= 0)
        return utf8;
    std::string lower(static_cast<size_t>(lowerLength), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, lower.data(), lowerLength, nullptr, nullptr);
    return lower;
}

void LowerWide(std::wstring& text)
{
    if (!text.empty())
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
}
