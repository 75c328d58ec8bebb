// What the owner-drawn tray menu knows about one of its items.
#pragma once

#include <string>

class MenuItemData
{
public:
    virtual ~MenuItemData() = default;

    bool isTitle = false;
    std::string text;
    bool hasBitmap = false;
    int bitmapId = 0;
    bool isSeparator = false;
};
