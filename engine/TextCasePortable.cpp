#include "engine/TextCase.h"

#include <locale.h>
#include <wctype.h>

std::string LowerText(const std::string& utf8)
{
    std::string lower = utf8;
    for (char& c : lower)
    {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

void LowerWide(std::wstring& text)
{
    // A locale object of its own: the process's locale is left as it is.
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    for (wchar_t& c : text)
    {
        if (utf8)
            c = static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), utf8));
        else if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
}
