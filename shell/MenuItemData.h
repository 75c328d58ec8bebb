// What the owner-drawn tray menu knows about one of its items: the item data the
// menu hands back when the item is measured and drawn. It starts with the record
// a screen reader takes the item's name from (MSAAMENUINFO), so it has no virtual
// function, whose table pointer would come first, and it is never copied, as the
// record points into the item's own text.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <cstddef>
#include <string>
#include <type_traits>

struct MenuItemData
{
    MSAAMENUINFO accessible = {MSAA_MENU_SIG, 0, nullptr};
    // What the item shows, "&" before its access key; the title's is the program's name,
    // a separator's is empty. Changed through SetText only.
    std::wstring text;
    bool isTitle = false;
    bool isSeparator = false;
    bool hasBitmap = false;
    int bitmapId = 0;

    MenuItemData() { SetText(L""); }
    MenuItemData(const MenuItemData&) = delete;
    MenuItemData& operator=(const MenuItemData&) = delete;

    void SetText(const std::wstring& shown)
    {
        text = shown;
        accessible.cchWText = static_cast<DWORD>(text.size());
        accessible.pszWText = text.data();
    }
};

static_assert(std::is_standard_layout_v<MenuItemData> && offsetof(MenuItemData, accessible) == 0,
              "a screen reader finds the item's name at the start of its data");
