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
// The gradients' light end: white text on it contrasts 5.1:1 (RGB(129, 129, 255) gave 3.2).
const COLORREF kLightBlue = RGB(90, 90, 240);
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

wchar_t Upper(wchar_t letter)
{
    return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(UINT_PTR(letter)))));
}

// The letter after the "&", in capitals, or 0.
wchar_t AccessKey(const std::wstring& text)
{
    size_t mark = text.find(L'&');
    return mark != std::wstring::npos && mark + 1 < text.size() ? Upper(text[mark + 1]) : 0;
}

// The caption with "&" before the first letter whose key is not `taken`: a word's first letter
// where one is free, else any.
std::wstring WithAccessKey(const std::wstring& caption, const std::wstring& taken)
{
    for (bool wordStart : {true, false})
        for (size_t at = 0; at < caption.size(); at++)
        {
            bool free = IsCharAlphaNumericW(caption[at]) && taken.find(Upper(caption[at])) == std::wstring::npos;
            if (free && (!wordStart || at == 0 || caption[at - 1] == L' '))
                return caption.substr(0, at) + L"&" + caption.substr(at);
        }
    return caption;
}

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

// One line of text over what is drawn already, in the given font.
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

// The room one line of `text` takes in `font`, "&" left out.
SIZE TextExtent(const std::wstring& text, HFONT font)
{
    RECT box = {};
    HDC screen = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(screen, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(screen, text.c_str(), (int)text.size(), &box, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(screen, oldFont);
    ReleaseDC(nullptr, screen);
    return {box.right - box.left, box.bottom - box.top};
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
    popup = GetSubMenu(menu, 0);
    if (!popup)
        return;
    menuItems.clear();
    LoadFonts();

    // The title takes the command id of the first item, but is disabled and never chosen.
    auto titleRecord = std::make_unique<MenuItemData>();
    titleRecord->isTitle = true;
    titleRecord->SetText(Widen(programTitle));
    InsertMenuW(popup, 0, MF_BYPOSITION | MF_OWNERDRAW | MF_DISABLED, GetMenuItemID(popup, 0),
                reinterpret_cast<LPCWSTR>(titleRecord.get()));
    menuItems.push_back(std::move(titleRecord));

    int count = GetMenuItemCount(popup);
    for (int position = 1; position < count; position++)
    {
        wchar_t caption[1025] = {};
        GetMenuStringW(popup, position, caption, 1024, MF_BYPOSITION);
        auto record = std::make_unique<MenuItemData>();
        record->SetText(caption);
        record->isSeparator = GetMenuItemID(popup, position) == 0;
        for (const ItemBitmap& bitmap : kItemBitmaps)
        {
            if (bitmap.position == position)
            {
                record->hasBitmap = true;
                record->bitmapId = bitmap.bitmapId;
            }
        }
        menuItems.push_back(std::move(record));
        ReplaceItem(position);
    }
    SetLinkCaptions();
}

void CTrayMenu::ReplaceItem(int position)
{
    const MenuItemData& record = *menuItems[position];
    UINT flags = record.isTitle ? MF_DISABLED : record.isSeparator ? MF_SEPARATOR : 0;
    UINT id = GetMenuItemID(popup, position);
    ModifyMenuW(popup, position, MF_BYPOSITION | MF_OWNERDRAW | flags, id == UINT(-1) ? 0 : id,
                reinterpret_cast<LPCWSTR>(&record));
}

void CTrayMenu::SetLinkCaptions()
{
    if (menuItems.size() <= size_t(kLink2Position) || promoLinks.empty())
        return;
    MenuItemData& link1 = *menuItems[kLink1Position];
    MenuItemData& link2 = *menuItems[kLink2Position];
    std::wstring taken;
    for (const auto& record : menuItems)
        if (record.get() != &link1 && record.get() != &link2 && AccessKey(record->text))
            taken += AccessKey(record->text);
    link1.SetText(WithAccessKey(Widen(promoLinks[linkIndex1].caption), taken));
    taken += AccessKey(link1.text);
    link2.SetText(WithAccessKey(Widen(promoLinks[linkIndex2].caption), taken));
}

void CTrayMenu::LoadFonts()
{
    LOGFONTW description = MenuFont(dpi);
    HFONT regular = CreateFontIndirectW(&description);
    description.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectW(&description);
    DeleteFonts();
    font = regular;
    boldFont = bold;
    lineHeight = std::max(TextExtent(L"Ag", font).cy, TextExtent(L"Ag", boldFont).cy);
}

void CTrayMenu::DeleteFonts()
{
    for (HFONT* held : {&font, &boldFont})
    {
        if (*held)
            DeleteObject(*held);
        *held = nullptr;
    }
}

int CTrayMenu::Show(HWND owner, POINT anchor)
{
    if (!popup || menuItems.size() <= size_t(kLink2Position) || promoLinks.empty())
        return 0;
    SetLinkCaptions();
    RECT spot = {anchor.x, anchor.y, anchor.x + 1, anchor.y + 1};
    dpi = DpiOfRect(spot);
    // The scale, the menu font and the links' captions may have changed since the last
    // opening: replacing the items makes the menu measure them again.
    LoadFonts();
    for (size_t position = 0; position < menuItems.size(); position++)
        ReplaceItem(int(position));
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(owner);
    int command = TrackPopupMenuEx(popup,
                                   TPM_BOTTOMALIGN | TPM_LEFTALIGN | TPM_RETURNCMD | TPM_VERNEGANIMATION |
                                       TPM_HORNEGANIMATION,
                                   anchor.x, anchor.y, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
    return command;
}

LRESULT CTrayMenu::OnMenuChar(wchar_t key) const
{
    for (size_t position = 0; position < menuItems.size(); position++)
        if (AccessKey(menuItems[position]->text) == Upper(key))
            return MAKELRESULT(position, MNC_EXECUTE);
    return MAKELRESULT(0, MNC_IGNORE);
}

void CTrayMenu::OpenLink(int command) const
{
    if (promoLinks.empty())
        return;
    const PromoLink& link = promoLinks[command == ID_TRAY_LINK1 ? linkIndex1 : linkIndex2];
    ShellExecuteW(nullptr, L"open", Widen(link.address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int CTrayMenu::ItemHeight(const MenuItemData& record) const
{
    if (record.isSeparator)
        return Scaled(kSeparatorHeight);
    return std::max(Scaled(record.isTitle ? kTitleHeight : kItemHeight), lineHeight + Scaled(2 * kTextMargin));
}

void CTrayMenu::Measure(MEASUREITEMSTRUCT& measure) const
{
    const MenuItemData* record = reinterpret_cast<const MenuItemData*>(measure.itemData);
    if (!record)
        return;
    measure.itemHeight = ItemHeight(*record);
    SIZE extent = TextExtent(record->text, record->isTitle ? boldFont : font);
    measure.itemWidth =
        Scaled(kIconWidth + kStripWidth) + std::max<int>(Scaled(kMinTextWidth), extent.cx + Scaled(2 * kTextGap));
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
    RECT textBox = {iconRight + Scaled(kTextGap), item.top, item.right, item.bottom};
    bool withBitmap = record->hasBitmap && !record->isTitle;
    const RECT& frameBox = withBitmap ? selection : body;
    // Read at every drawing: a change of theme shows at the next opening.
    const bool systemColours = IsHighContrast();

    COLORREF fill = GetSysColor(COLOR_MENU);
    COLORREF frame = fill;
    COLORREF text = GetSysColor(COLOR_MENUTEXT);
    bool whole = (draw.itemAction & ODA_DRAWENTIRE) != 0;
    bool selectionChanged = (draw.itemAction & ODA_SELECT) != 0;
    bool selected = (draw.itemState & ODS_SELECTED) != 0;

    if (whole)
    {
        FillColour(dc, body, GetSysColor(COLOR_MENU));
        DrawStrip(dc, systemColours);
        if (record->isTitle)
            DrawTitle(dc, item, record->text, systemColours);
        if (record->isSeparator)
            DrawSeparator(dc, body, systemColours);
    }
    if (selected && (whole || selectionChanged))
    {
        fill = GetSysColor(COLOR_HIGHLIGHT);
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
        frame = systemColours ? GetSysColor(COLOR_MENUTEXT) : kWhite;
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

    if (draw.itemState & ODS_GRAYED)
        text = GetSysColor(COLOR_GRAYTEXT);
    else if (!systemColours)
        fill = ReadableBackground(text, fill);
    FillColour(dc, frameBox, fill);
    FrameColour(dc, frameBox, frame);
    // The access key is underlined unless Windows hides the keyboard cues.
    UINT format = DT_SINGLELINE | DT_VCENTER | ((draw.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
    DrawTextOver(dc, record->text, textBox, format, text, font);
    if (record->hasBitmap)
        DrawResourceBitmap(dc, ScaledImageId(record->bitmapId, NearestImageScale(dpi)), bodyLeft, item.top,
                           Scaled(kIconWidth), Scaled(kIconWidth), RGB(0, 0, 0));
}

void CTrayMenu::DrawStrip(HDC dc, bool systemColours) const
{
    if (menuItems.empty())
        return;
    int bottom = 0;
    for (const auto& record : menuItems)
        bottom += ItemHeight(*record);
    RECT strip = {0, ItemHeight(*menuItems[0]), Scaled(kStripWidth), bottom};
    if (systemColours)
        FillColour(dc, strip, GetSysColor(COLOR_MENU));
    else
        GradientRect(dc, strip, kDarkBlue, kLightBlue, GRADIENT_FILL_RECT_V);

    LOGFONTW description = {};
    GetObjectW(GetStockObject(ANSI_VAR_FONT), sizeof(description), &description);
    wcscpy(description.lfFaceName, L"Tahoma");
    description.lfHeight = Scaled(kStripFontHeight);
    description.lfItalic = TRUE;
    description.lfEscapement = 900;
    description.lfOrientation = 900;
    HFONT stripFont = CreateFontIndirectW(&description);
    RECT textBox = {0, strip.top, strip.right - 1, strip.bottom};
    DrawTextOver(dc, kStripText, textBox, DT_SINGLELINE | DT_BOTTOM | DT_NOPREFIX,
                 systemColours ? GetSysColor(COLOR_MENUTEXT) : kWhite, stripFont);
    DeleteObject(stripFont);
}

void CTrayMenu::DrawTitle(HDC dc, const RECT& item, const std::wstring& text, bool systemColours) const
{
    if (systemColours)
        FillColour(dc, item, GetSysColor(COLOR_MENU));
    else
        GradientRect(dc, item, kDarkBlue, kLightBlue, GRADIENT_FILL_RECT_H);
    DrawTextOver(dc, text, item, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX,
                 systemColours ? GetSysColor(COLOR_MENUTEXT) : kWhite, boldFont);
    FrameColour(dc, item, systemColours ? GetSysColor(COLOR_MENUTEXT) : kDarkBlue);
}

void CTrayMenu::DrawSeparator(HDC dc, const RECT& body, bool systemColours) const
{
    int y = body.top + (body.bottom - body.top) / 2;
    if (systemColours)
    {
        Line(dc, body.left + 2, body.right - 2, y, GetSysColor(COLOR_MENUTEXT));
        return;
    }
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
    DeleteFonts();
}
