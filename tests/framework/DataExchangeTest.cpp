#include "framework/DataExchange.h"

#include "framework/CWnd.h"
#include "framework/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <climits>

TEST(DataExchangeInteger, ReadsTheLeadingNumberAsScanfDoes)
{
    struct Case
    {
        const char* text;
        bool parsed;
        int value;
    } cases[] = {
        {"42", true, 42},         {"  42abc", true, 42},   {"\t-7", true, -7},           {"+5", true, 5},
        {"", false, 0},           {"abc", false, 0},       {"-", false, 0},              {"- 5", false, 0},
        {"2147483647", true, INT_MAX}, {"99999999999", true, INT_MAX}, {"-2147483648", true, INT_MIN},
        {"-99999999999", true, INT_MIN},
    };
    for (const Case& c : cases)
    {
        int value = 12345;
        EXPECT_EQ(ParseLeadingInt(c.text, value), c.parsed) << c.text;
        if (c.parsed)
        {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(DataExchangeInteger, OnlyTheFirst63CharactersCount)
{
    HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 100, 20, dialog, (HMENU)100,
                                nullptr, nullptr);

    int value = -1;
    SetWindowTextW(edit, Widen(std::string(62, ' ') + "5").c_str());
    ExchangeInt(dialog, 100, value, true);
    EXPECT_EQ(value, 5);

    SetWindowTextW(edit, Widen(std::string(63, ' ') + "5").c_str());
    ExchangeInt(dialog, 100, value, true);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(GetWindowTextUtf8(edit), "0");

    value = -31;
    ExchangeInt(dialog, 100, value, false);
    EXPECT_EQ(GetWindowTextUtf8(edit), "-31");
    DestroyWindow(dialog);
}
