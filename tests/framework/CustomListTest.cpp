#include "framework/CCustomList.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

TEST(CustomList, ColumnToolTipNeedsAnExistingColumn)
{
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 300, 100, parent, nullptr,
                                nullptr, nullptr);
    CCustomList custom;
    ASSERT_TRUE(custom.SubclassControl(list));
    custom.InitToolTips();
    custom.InsertColumn(0, "A", LVCFMT_LEFT, 40);
    custom.InsertColumn(1, "B", LVCFMT_LEFT, 60);
    EXPECT_TRUE(custom.SetColumnToolTip(1, "Bee"));
    EXPECT_FALSE(custom.SetColumnToolTip(2, "none"));
    EXPECT_FALSE(custom.SetColumnToolTip(-1, "none"));
    DestroyWindow(list);
    EXPECT_EQ(custom.hwnd, nullptr);
    DestroyWindow(parent);
}
