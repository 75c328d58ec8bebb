#include "framework/DataExchange.h"

#include "framework/CWnd.h"
#include "framework/Text.h"

#include <commctrl.h>

#include <climits>

void ExchangeCheck(HWND dialog, int id, int& value, bool save)
{
    HWND control = GetDlgItem(dialog, id);
    if (save)
        value = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    else
        SendMessageW(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ExchangeText(HWND dialog, int id, std::string& value, bool save)
{
    HWND control = GetDlgItem(dialog, id);
    if (save)
        value = GetWindowTextUtf8(control);
    else
        SetWindowTextW(control, Widen(value).c_str());
}

bool ParseLeadingInt64(const std::string& text, int64_t& value)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        i++;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return false;
    // One past INT64_MAX is INT64_MIN's magnitude; anything longer saturates there.
    const uint64_t limit = negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX);
    uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; i++)
    {
        uint64_t digit = uint64_t(text[i] - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    value = negative ? int64_t(0 - magnitude) : int64_t(magnitude);
    return true;
}

bool ParseLeadingInt(const std::string& text, int& value)
{
    int64_t wide = 0;
    if (!ParseLeadingInt64(text, wide))
        return false;
    value = wide > INT_MAX ? INT_MAX : wide < INT_MIN ? INT_MIN : int(wide);
    return true;
}

void ExchangeInt(HWND dialog, int id, int& value, bool save)
{
    HWND control = GetDlgItem(dialog, id);
    if (!save)
    {
        SetWindowTextW(control, std::to_wstring(value).c_str());
        return;
    }
    wchar_t buffer[64] = {};
    GetWindowTextW(control, buffer, 64);
    if (!ParseLeadingInt(Narrow(buffer), value))
    {
        value = 0;
        SetWindowTextW(control, L"0");
    }
}

void ExchangeDateTime(HWND dialog, int id, SYSTEMTIME& value, bool save)
{
    HWND control = GetDlgItem(dialog, id);
    if (save)
    {
        SYSTEMTIME shown = {};
        if (SendMessageW(control, DTM_GETSYSTEMTIME, 0, (LPARAM)&shown) == GDT_VALID)
            value = shown;
    }
    else
    {
        SendMessageW(control, DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&value);
    }
}

void ExchangeComboIndex(HWND dialog, int id, int& index, bool save)
{
    HWND control = GetDlgItem(dialog, id);
    if (save)
        index = (int)SendMessageW(control, CB_GETCURSEL, 0, 0);
    else
        SendMessageW(control, CB_SETCURSEL, index, 0);
}

void ExchangeComboText(HWND dialog, int id, std::string& text, bool save)
{
    if (!save)
        return;
    HWND control = GetDlgItem(dialog, id);
    int index = (int)SendMessageW(control, CB_GETCURSEL, 0, 0);
    int length = index < 0 ? CB_ERR : (int)SendMessageW(control, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
    {
        text.clear();
        return;
    }
    std::wstring entry(length + 1, L'\0');
    length = (int)SendMessageW(control, CB_GETLBTEXT, index, (LPARAM)entry.data());
    entry.resize(length > 0 ? length : 0);
    text = Narrow(entry);
}
