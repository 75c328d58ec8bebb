#include "engine/SkipRules.h"

#include "engine/TextCase.h"

namespace
{
const char kSeparator = ';';
const wchar_t kBackslash = L'\\';
const wchar_t kReplacement = 0xFFFD;

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// UTF-8 to the wide form the file system's names take: UTF-16 where wchar_t has 16 bits (Windows),
// one character per unit elsewhere. A malformed sequence becomes U+FFFD.
std::wstring WideOf(std::string_view utf8)
{
    std::wstring wide;
    size_t i = 0;
    while (i < utf8.size())
    {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        int extra;
        char32_t c;
        if (lead < 0x80)
        {
            extra = 0;
            c = lead;
        }
        else if (lead >= 0xC2 && lead < 0xE0)
        {
            extra = 1;
            c = lead & 0x1F;
        }
        else if (lead >= 0xE0 && lead < 0xF0)
        {
            extra = 2;
            c = lead & 0x0F;
        }
        else if (lead >= 0xF0 && lead < 0xF5)
        {
            extra = 3;
            c = lead & 0x07;
        }
        else
        {
            wide += kReplacement;
            i++;
            continue;
        }
        int taken = 0;
        while (taken < extra && i + 1 + taken < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + 1 + taken]) & 0xC0) == 0x80)
        {
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + 1 + taken]) & 0x3F);
            taken++;
        }
        // Cut short, overlong, a surrogate or past U+10FFFF: not a character.
        static const char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (taken < extra || c < kLeast[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        {
            wide += kReplacement;
            i += 1 + taken;
            continue;
        }
        i += 1 + extra;
        if (sizeof(wchar_t) == 2 && c > 0xFFFF)
        {
            wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        else
            wide += static_cast<wchar_t>(c);
    }
    return wide;
}

size_t Utf16Length(const std::wstring& wide)
{
    size_t length = wide.size();
    for (wchar_t c : wide)
    {
        if (static_cast<char32_t>(c) > 0xFFFF)
            length++;
    }
    return length;
}

std::string_view Trimmed(std::string_view text)
{
    const char* blanks = " \t";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return std::string_view();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Lower case, without the \\?\ prefix, ending with one backslash: the form paths are compared in.
std::wstring ComparingForm(std::wstring_view path)
{
    std::wstring form;
    if (path.substr(0, 8) == L"\\\\?\\UNC\\")
        form = L"\\\\" + std::wstring(path.substr(8));
    else if (path.substr(0, 4) == L"\\\\?\\")
        form = path.substr(4);
    else
        form = path;
    while (!form.empty() && form.back() == kBackslash)
        form.pop_back();
    form += kBackslash;
    LowerWide(form);
    return form;
}

// The folder's own name, from its comparing form; empty for "c:\" or "\\server\share\".
std::wstring_view OwnName(std::wstring_view form)
{
    const std::wstring_view inner = form.substr(0, form.size() - 1);
    const size_t last = inner.rfind(kBackslash);
    if (last == std::wstring_view::npos)
        return std::wstring_view();
    if (inner.substr(0, 2) == L"\\\\" && inner.find(kBackslash, 2) == last)
        return std::wstring_view();
    return inner.substr(last + 1);
}

// '?' stands for one character, which a UTF-16 name may hold in two units.
size_t CharacterLength(std::wstring_view name, size_t at)
{
    return at + 1 < name.size() && IsHighSurrogate(name[at]) && IsLowSurrogate(name[at + 1]) ? 2 : 1;
}

// '*' stands for any run of characters, '?' for one; the rest must be equal. When a later part
// fails, the last '*' takes one character more, so the cost stays near the lengths' product.
bool MatchesPattern(std::wstring_view pattern, std::wstring_view name)
{
    size_t p = 0;
    size_t n = 0;
    size_t star = std::wstring_view::npos;
    size_t starName = 0;
    while (n < name.size())
    {
        if (p < pattern.size() && pattern[p] == L'*')
        {
            star = p++;
            starName = n;
        }
        else if (p < pattern.size() && pattern[p] == L'?')
        {
            n += CharacterLength(name, n);
            p++;
        }
        else if (p < pattern.size() && pattern[p] == name[n])
        {
            n++;
            p++;
        }
        else if (star != std::wstring_view::npos)
        {
            starName += CharacterLength(name, starName);
            n = starName;
            p = star + 1;
        }
        else
            return false;
    }
    while (p < pattern.size() && pattern[p] == L'*')
        p++;
    return p == pattern.size();
}
}

bool SkipRules::Parse(const std::string& utf8Text, std::string& tooLong)
{
    paths.clear();
    patterns.clear();
    const std::string_view text = utf8Text;
    size_t start = 0;
    for (;;)
    {
        const size_t end = text.find(kSeparator, start);
        const std::string_view entry = Trimmed(text.substr(start, end == std::string_view::npos ? end : end - start));
        const std::wstring wide = WideOf(entry);
        if (Utf16Length(wide) > kMaxEntryLength)
        {
            tooLong = std::string(entry);
            paths.clear();
            patterns.clear();
            return false;
        }
        if (wide.find(kBackslash) == std::wstring::npos)
        {
            if (!wide.empty())
            {
                patterns.push_back(wide);
                LowerWide(patterns.back());
            }
        }
        // An entry of backslashes alone names no folder.
        else if (wide.find_first_not_of(kBackslash) != std::wstring::npos)
            paths.push_back(ComparingForm(wide));
        if (end == std::string_view::npos)
            return true;
        start = end + 1;
    }
}

bool SkipRules::Empty() const
{
    return paths.empty() && patterns.empty();
}

bool SkipRules::Skips(std::wstring_view folderPath) const
{
    const std::wstring form = ComparingForm(folderPath);
    for (const std::wstring& path : paths)
    {
        if (form.compare(0, path.size(), path) == 0)
            return true;
    }
    const std::wstring_view name = OwnName(form);
    if (name.empty())
        return false;
    for (const std::wstring& pattern : patterns)
    {
        if (MatchesPattern(pattern, name))
            return true;
    }
    return false;
}
