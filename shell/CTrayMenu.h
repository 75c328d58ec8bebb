// The notification icon's menu: every item is owner-drawn, with a title, a
// gradient strip bearing the publisher's name, bitmaps beside the commands and
// two links to the publisher's pages chosen at random for the run. Each item
// carries its name for screen readers and an access key; the text is in the
// user's menu font, and in high contrast only the system's colours are used.
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
    // An item grows beyond them when the menu font needs more room.
    static constexpr int kSeparatorHeight = 6;
    static constexpr int kItemHeight = 20;
    static constexpr int kTitleHeight = 25;
    static constexpr int kStripWidth = 25;
    static constexpr int kIconWidth = 20;
    static constexpr int kMinTextWidth = 100;
    // Room before and after an item's text, and above and below it.
    static constexpr int kTextGap = 5;
    static constexpr int kTextMargin = 2;

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
    // Puts the chosen links' captions in their items, each with an access key no other item has.
    void SetLinkCaptions();
    // The user's menu font at the menu's DPI; read again at every opening.
    void LoadFonts();
    // Opens the menu with its lower left corner at `anchor` (screen pixels), every item measured
    // again; returns the command chosen, or 0 when the menu was dismissed.
    int Show(HWND owner, POINT anchor);
    // The answer to WM_MENUCHAR: the item whose access key is `key`, chosen at once.
    LRESULT OnMenuChar(wchar_t key) const;
    // Commands 81 and 82 open the address of their link.
    void OpenLink(int command) const;
    void Measure(MEASUREITEMSTRUCT& measure) const;
    void Draw(const DRAWITEMSTRUCT& draw) const;
    void Destroy();

private:
    HFONT font = nullptr;
    HFONT boldFont = nullptr;
    // The taller of the two fonts' lines.
    int lineHeight = 0;

    int Scaled(int value) const;
    int ItemHeight(const MenuItemData& record) const;
    void ReplaceItem(int position);
    void DeleteFonts();
    void DrawStrip(HDC dc, bool systemColours) const;
    void DrawTitle(HDC dc, const RECT& item, const std::wstring& text, bool systemColours) const;
    void DrawSeparator(HDC dc, const RECT& body, bool systemColours) const;
};
