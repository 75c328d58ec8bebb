// The notification icon's menu: every item is owner-drawn, with a title, a
// gradient strip bearing the publisher's name, bitmaps beside the commands and
// two links to the publisher's pages chosen at random for the run.
#pragma once

#include "framework/Dpi.h"
#include "shell/MenuItemData.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

struct PromoLink
{
    std::string caption;
    std::string address;
};

class CTrayMenu
{
public:
    // Sizes in pixels at 96 DPI; the menu draws them at the DPI where it opens.
    static constexpr int kSeparatorHeight = 6;
    static constexpr int kItemHeight = 20;
    static constexpr int kTitleHeight = 25;
    static constexpr int kStripWidth = 25;
    static constexpr int kIconWidth = 20;
    static constexpr int kMinTextWidth = 100;
    // The title, 8 items and 5 separators.
    static constexpr int kStripBottom = 215;

    HMENU menu = nullptr;
    HMENU popup = nullptr;
    // The record at index p belongs to menu position p.
    std::vector<std::unique_ptr<MenuItemData>> menuItems;
    std::vector<PromoLink> promoLinks;
    int linkIndex1 = 0;
    int linkIndex2 = 1;
    // The DPI of the monitor the menu last opened on.
    UINT dpi = kBaseDpi;

    CTrayMenu();
    ~CTrayMenu();
    CTrayMenu(const CTrayMenu&) = delete;
    CTrayMenu& operator=(const CTrayMenu&) = delete;

    // Picks two different links for this run.
    void ChooseLinks();
    // Makes every item owner-drawn and adds the title item on top.
    void Prepare(const std::string& title);
    // Opens the menu at the cursor; its commands go to owner.
    void Show(HWND owner);
    // Commands 81 and 82 open the address of their link.
    void OpenLink(int command) const;
    void Measure(MEASUREITEMSTRUCT& measure) const;
    void Draw(const DRAWITEMSTRUCT& draw) const;
    void Destroy();

private:
    int Scaled(int value) const;
    std::string title;

    void ReplaceItem(int position, UINT flags, MenuItemData* record);
    void DrawStrip(HDC dc) const;
    void DrawTitle(HDC dc, const RECT& item) const;
    void DrawSeparator(HDC dc, const RECT& body) const;
};
