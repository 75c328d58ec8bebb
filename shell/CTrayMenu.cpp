#include "shell/CTrayMenu.h"

#include "framework/Gdi.h"
#include "framework/Text.h"
#include "resources/resource.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

namespace
{
const COLORREF kDarkBlue = RGB(30, 30, 136);
const COLORREF kLightBlue = RGB(129, 129, 255);
const COLORREF kWhite = RGB(255, 255, 255);
// The strip's upright caption, at 96 DPI.
const int kStripFontHeight = 18;
// The publisher's name on the side strip; the blanks keep it off the strip's end.
const wchar_t kStripText[] = L"  Corvath";

const PromoLink kPromoLinks[] = {
    {"Corvath on the web", "https://www.corvath.com/"},
    {"Velmora home page", "https://www.corvath.com/velmora/"},
    {"Velmora news", "https://www.corvath.com/velmora/news/"},
    {"Tips for Velmora", "https://www.corvath.com/velmora/tips/"},
    {"Questions and answers", "https://www.corvath.com/velmora/faq/"},
    {"Write to Corvath", "https://www.corvath.com/contact/"},
    {"Corvath Disk Report", "https://www.corvath.com/diskreport/"},
    {"Corvath Duplicate Finder", "https://www.corvath.com/duplicates/"},
    {"Corvath Folder Sync", "https://www.corvath.com/foldersync/"},
    {"Corvath Backup Mate", "https://www.corvath.com/backupmate/"},
    {"Corvath Rename Kit", "https://www.corvath.com/renamekit/"},
    {"Corvath Secure Notes", "https://www.corvath.com/securenotes/"},
    {"All Corvath programs", "https://www.corvath.com/programs/"},
    {"Corvath downloads", "https://www.corvath.com/download/"},
};
const int kPromoLinkCount = sizeof(kPromoLinks) / sizeof(kPromoLinks[0]);

// The bitmap of each command item, by menu position once the title is on top.
struct ItemBitmap
{
    int position;
    int bitmapId;
};
const ItemBitmap kItemBitmaps[] = {
    {3, IDB_MENU_OPEN}, {5, IDB_MENU_LOCK}, {7, IDB_MENU_ABOUT},
    {8, IDB_MENU_HELP}, {9, IDB_MENU_CHECK_VERSION}, {11, IDB_MENU_EXIT},
};
// Menu positions of the two link items once the title is on top.
const int kLink1Position = 1;
const int kLink2Position = 13;

void GradientRect(HDC dc, const RECT& rect, COLORREF from, COLORREF to, ULONG mode)
{
    TRIVERTEX vertices[2] = {};
    vertices[0].x = rect.left;
    vertices[0].y = rect.top;
    vertices[0].Red = static_cast<COLOR16>(GetRValue(from) << 8);
    vertices[0].Green = static_cast<COLOR16>(GetGValue(from) << 8);
    vertices[0].Blue = static_cast<COLOR16>(GetBValue(from) << 8);
    vertices[1].x = rect.right;
    vertices[1].y = rect.bottom;
    vertices[1].Red = static_cast<COLOR16>(GetRValue(to) << 8);
    vertices[1].Green = static_cast<COLOR16>(GetGValue(to) << 8);
    vertices[1].Blue = static_cast<COLOR16>(GetBValue(to) << 8);
    GRADIENT_RECT gradient = {0, 1};
    GradientFill(dc, vertices, 2, &gradient, 1, mode);
}

void FillColour(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void FrameColour(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

// One line of text over what is drawn already, in the given font, or the context's own when null.
void DrawTextOver(HDC dc, const std::wstring& text, RECT box, UINT format, COLORREF colour, HFONT font)
{
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    COLORREF oldText = SetTextColor(dc, colour);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), (int)text.size(), &box, format);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    if (font)
        SelectObject(dc, oldFont);
}

void Line(HDC dc, int x1, int x2, int y, COLORREF colour)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y, nullptr);
    LineTo(dc, x2, y);
    SelectObject(dc, old);
    DeleteObject(pen);
}
}

CTrayMenu::CTrayMenu()
{
    menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_TRAY));
}

CTrayMenu::~CTrayMenu()
{
    Destroy();
}

void CTrayMenu::ChooseLinks()
{
    promoLinks.assign(kPromoLinks, kPromoLinks + kPromoLinkCount);
    srand(GetTickCount());
    linkIndex1 = rand() % kPromoLinkCount;
    do
        linkIndex2 = rand() % kPromoLinkCount;
    while (linkIndex2 == linkIndex1);
}

void CTrayMenu::Prepare(const std::string& programTitle)
{
    title = programTitle;
    popup = GetSubMenu(menu, 0);
    if (!popup)
        return;
    menuItems.clear();

    // The title takes the command id of the first item, but is disabled and never chosen.
    auto titleRecord = std::make_unique<MenuItemData>();
    titleRecord->isTitle = true;
    InsertMenuW(popup, 0, MF_BYPOSITION | MF_OWNERDRAW | MF_DISABLED, GetMenuItemID(popup, 0),
                reinterpret_cast<LPCWSTR>(titleRecord.get()));
    menuItems.push_back(std::move(titleRecord));

    int count = GetMenuItemCount(popup);
    for (int position = 1; position < count; position++)
    {
        wchar_t caption[1025] = {};
        GetMenuStringW(popup, position, caption, 1024, MF_BYPOSITION);
        auto record = std::make_unique<MenuItemData>();
        record->text = Narrow(caption);
        record->isSeparator = GetMenuItemID(popup, position) == 0;
        for (const ItemBitmap& bitmap : kItemBitmaps)
        {
            if (bitmap.position == position)
            {
                record->hasBitmap = true;
                record->bitmapId = bitmap.bitmapId;
            }
        }
        ReplaceItem(position, record->isSeparator ? MF_SEPARATOR : 0, record.get());
        menuItems.push_back(std::move(record));
    }
}

void CTrayMenu::ReplaceItem(int position, UINT flags, MenuItemData* record)
{
    UINT id = GetMenuItemID(popup, position);
    ModifyMenuW(popup, position, MF_BYPOSITION | MF_OWNERDRAW | flags, id == UINT(-1) ? 0 : id,
                reinterpret_cast<LPCWSTR>(record));
}

void CTrayMenu::Show(HWND owner)
{
    if (!popup || menuItems.size() <= size_t(kLink2Position) || promoLinks.empty())
        return;
    // Replacing the items makes the menu measure them again for their new captions.
    menuItems[kLink1Position]->text = promoLinks[linkIndex1].caption;
    ReplaceItem(kLink1Position, 0, menuItems[kLink1Position].get());
    menuItems[kLink2Position]->text = promoLinks[linkIndex2].caption;
    ReplaceItem(kLink2Position, 0, menuItems[kLink2Position].get());

    POINT cursor;
    GetCursorPos(&cursor);
    // Opened on a monitor of another scale, every item is measured again.
    RECT spot = {cursor.x, cursor.y, cursor.x + 1, cursor.y + 1};
    UINT spotDpi = DpiOfRect(spot);
    if (spotDpi != dpi)
    {
        dpi = spotDpi;
        for (size_t position = 1; position < menuItems.size(); position++)
            ReplaceItem(int(position), menuItems[position]->isSeparator ? MF_SEPARATOR : 0,
                        menuItems[position].get());
    }
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(owner);
    TrackPopupMenuEx(popup, TPM_BOTTOMALIGN | TPM_LEFTALIGN | TPM_VERNEGANIMATION | TPM_HORNEGANIMATION, cursor.x,
                     cursor.y, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
}

void CTrayMenu::OpenLink(int command) const
{
    if (promoLinks.empty())
        return;
    const PromoLink& link = promoLinks[command == ID_TRAY_LINK1 ? linkIndex1 : linkIndex2];
    ShellExecuteW(nullptr, L"open", Widen(link.address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CTrayMenu::Measure(MEASUREITEMSTRUCT& measure) const
{
    const MenuItemData* record = reinterpret_cast<const MenuItemData*>(measure.itemData);
    measure.itemHeight = Scaled(kItemHeight);
    if (record && record->isTitle)
        measure.itemHeight = Scaled(kTitleHeight);
    else if (measure.itemID == 0)
        measure.itemHeight = Scaled(kSeparatorHeight);

    SIZE extent = {};
    HDC screen = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(screen, GetStockObject(DEVICE_DEFAULT_FONT));
    std::wstring caption = record ? Widen(record->text) : std::wstring();
    GetTextExtentPoint32W(screen, caption.c_str(), (int)caption.size(), &extent);
    SelectObject(screen, oldFont);
    ReleaseDC(nullptr, screen);
    measure.itemWidth = Scaled(kIconWidth + kStripWidth) + std::max<int>(Scaled(kMinTextWidth), extent.cx);
}

void CTrayMenu::Draw(const DRAWITEMSTRUCT& draw) const
{
    const MenuItemData* record = reinterpret_cast<const MenuItemData*>(draw.itemData);
    if (!record)
        return;
    HDC dc = draw.hDC;
    const RECT& item = draw.rcItem;
    // Beyond the strip: the icon cell, a line's gap, then the text.
    const int bodyLeft = item.left + Scaled(kStripWidth + 1);
    const int iconRight = item.left + Scaled(kStripWidth + kIconWidth);
    RECT iconCell = {bodyLeft, item.top, iconRight, item.bottom};
    RECT body = {bodyLeft, item.top, item.right, item.bottom};
    RECT selection = {iconRight + 1, item.top, item.right, item.bottom};
    RECT textBox = {iconRight + Scaled(5), item.top, item.right, item.bottom};
    bool withBitmap = record->hasBitmap && !record->isTitle;
    const RECT& frameBox = withBitmap ? selection : body;

    COLORREF fill = GetSysColor(COLOR_MENU);
    COLORREF frame = fill;
    COLORREF text = GetSysColor(COLOR_MENUTEXT);
    bool whole = (draw.itemAction & ODA_DRAWENTIRE) != 0;
    bool selectionChanged = (draw.itemAction & ODA_SELECT) != 0;
    bool selected = (draw.itemState & ODS_SELECTED) != 0;

    if (whole)
    {
        FillColour(dc, body, GetSysColor(COLOR_MENU));
        DrawStrip(dc);
        if (record->isTitle)
            DrawTitle(dc, item);
        if (record->isSeparator)
            DrawSeparator(dc, body);
    }
    if (selected && (whole || selectionChanged))
    {
        fill = GetSysColor(COLOR_HIGHLIGHT);
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
        frame = kWhite;
        if (withBitmap)
        {
            RECT bevel = iconCell;
            DrawEdge(dc, &bevel, BDR_RAISEDOUTER | BDR_SUNKENINNER, BF_RIGHT | BF_BOTTOM);
            DrawEdge(dc, &bevel, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_LEFT | BF_TOP);
        }
    }
    if (!selected && selectionChanged && !record->isTitle)
    {
        // Removes the previous highlight.
        FillColour(dc, body, fill);
        FrameColour(dc, frameBox, frame);
        if (withBitmap)
            FillColour(dc, iconCell, fill);
    }
    if (record->isTitle || record->isSeparator)
        return;

    FillColour(dc, frameBox, fill);
    FrameColour(dc, frameBox, frame);
    DrawTextOver(dc, Widen(record->text), textBox, DT_SINGLELINE | DT_VCENTER,
                 (draw.itemState & ODS_GRAYED) ? GetSysColor(COLOR_GRAYTEXT) : text, nullptr);
    if (record->hasBitmap)
        DrawResourceBitmap(dc, ScaledImageId(record->bitmapId, NearestImageScale(dpi)), bodyLeft, item.top,
                           Scaled(kIconWidth), Scaled(kIconWidth), RGB(0, 0, 0));
}

void CTrayMenu::DrawStrip(HDC dc) const
{
    RECT strip = {0, Scaled(kTitleHeight), Scaled(kStripWidth), Scaled(kStripBottom)};
    GradientRect(dc, strip, kDarkBlue, kLightBlue, GRADIENT_FILL_RECT_V);

    LOGFONTW description = {};
    GetObjectW(GetStockObject(ANSI_VAR_FONT), sizeof(description), &description);
    wcscpy(description.lfFaceName, L"Tahoma");
    description.lfHeight = Scaled(kStripFontHeight);
    description.lfItalic = TRUE;
    description.lfEscapement = 900;
    description.lfOrientation = 900;
    HFONT font = CreateFontIndirectW(&description);
    RECT textBox = {0, strip.top, strip.right - 1, strip.bottom};
    DrawTextOver(dc, kStripText, textBox, DT_SINGLELINE | DT_BOTTOM, kWhite, font);
    DeleteObject(font);
}

void CTrayMenu::DrawTitle(HDC dc, const RECT& item) const
{
    GradientRect(dc, item, kDarkBlue, kLightBlue, GRADIENT_FILL_RECT_H);
    LOGFONTW description = {};
    GetObjectW(GetStockObject(ANSI_VAR_FONT), sizeof(description), &description);
    description.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectW(&description);
    DrawTextOver(dc, Widen(title), item, DT_SINGLELINE | DT_CENTER | DT_VCENTER, kWhite, font);
    DeleteObject(font);
    FrameColour(dc, item, kDarkBlue);
}

void CTrayMenu::DrawSeparator(HDC dc, const RECT& body) const
{
    int y = body.top + (body.bottom - body.top) / 2;
    Line(dc, body.left + 2, body.right - 2, y, GetSysColor(COLOR_3DDKSHADOW));
    Line(dc, body.left + 2, body.right - 2, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
}

int CTrayMenu::Scaled(int value) const
{
    return ScaleForDpi(value, dpi);
}

void CTrayMenu::Destroy()
{
    if (menu)
        DestroyMenu(menu);
    menu = nullptr;
    popup = nullptr;
    menuItems.clear();
}
