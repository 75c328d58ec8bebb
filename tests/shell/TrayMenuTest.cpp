#include "shell/CTrayMenu.h"

#include "framework/Gdi.h"
#include "framework/Text.h"
#include "resources/resource.h"
#include "tests/support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace
{
const COLORREF kDarkBlue = RGB(30, 30, 136);
const COLORREF kLightBlue = RGB(90, 90, 240);
// The least contrast of normal text.
const double kReadable = 4.5;

bool Near(COLORREF a, COLORREF b, int tolerance = 12)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A memory picture the size of a menu, cleared to a colour no item uses.
class Canvas
{
public:
    static const COLORREF kUnpainted = RGB(255, 0, 255);
    HDC dc = nullptr;

    Canvas(int width, int height)
    {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(kUnpainted);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

// The text without its access key's mark, as the menu shows it.
std::wstring Shown(std::wstring text)
{
    std::erase(text, L'&');
    return text;
}

// The lowest contrast of a text with what is behind it in `box`: a line's (row's, or column's
// across a gradient that runs along the rows) most common colour is its background, and the
// text's colour the most common of the others. 0 without text.
double LowestTextContrast(const Canvas& canvas, const RECT& box, bool columns)
{
    auto most = [](const auto& a, const auto& b) { return a.second < b.second; };
    std::vector<std::pair<COLORREF, std::set<COLORREF>>> lines;
    std::map<COLORREF, int> others;
    for (int line = 0; line < (columns ? box.right - box.left : box.bottom - box.top); line++)
    {
        std::map<COLORREF, int> count;
        for (int at = 0; at < (columns ? box.bottom - box.top : box.right - box.left); at++)
            count[columns ? canvas.At(box.left + line, box.top + at) : canvas.At(box.left + at, box.top + line)]++;
        lines.push_back({std::max_element(count.begin(), count.end(), most)->first, {}});
        for (const auto& [colour, times] : count)
            if (colour != lines.back().first)
            {
                others[colour] += times;
                lines.back().second.insert(colour);
            }
    }
    if (others.empty())
        return 0;
    COLORREF text = std::max_element(others.begin(), others.end(), most)->first;
    double lowest = 21;
    for (const auto& [background, colours] : lines)
        if (colours.count(text))
            lowest = std::min(lowest, ContrastRatio(text, background));
    return lowest;
}

class TrayMenu : public testing::Test
{
protected:
    CTrayMenu menu;

    void SetUp() override
    {
        ASSERT_NE(menu.menu, nullptr);
        menu.ChooseLinks();
        menu.Prepare("Velmora");
        ASSERT_EQ(menu.menuItems.size(), 14u);
    }

    UINT State(int position) const { return GetMenuState(menu.popup, position, MF_BYPOSITION); }

    MEASUREITEMSTRUCT Measure(int position) const
    {
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemID = GetMenuItemID(menu.popup, position);
        measure.itemData = reinterpret_cast<ULONG_PTR>(menu.menuItems[position].get());
        menu.Measure(measure);
        return measure;
    }

    void Draw(HDC dc, int position, RECT rect, UINT action, UINT state) const
    {
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemID = GetMenuItemID(menu.popup, position);
        draw.itemAction = action;
        draw.itemState = state;
        draw.hDC = dc;
        draw.rcItem = rect;
        draw.itemData = reinterpret_cast<ULONG_PTR>(menu.menuItems[position].get());
        menu.Draw(draw);
    }

    // Every item one below the other as the menu lays them out, each in `state`; their places.
    std::vector<RECT> DrawMenu(const Canvas& canvas, UINT state) const
    {
        int width = 0;
        for (int position = 0; position < 14; position++)
            width = std::max(width, int(Measure(position).itemWidth));
        std::vector<RECT> items;
        int top = 0;
        for (int position = 0; position < 14; position++)
        {
            RECT item = {0, top, width, top + int(Measure(position).itemHeight)};
            Draw(canvas.dc, position, item, ODA_DRAWENTIRE, position == 0 ? ODS_DISABLED : state);
            items.push_back(item);
            top = item.bottom;
        }
        return items;
    }
};
}

TEST_F(TrayMenu, EveryItemIsOwnerDrawnUnderADisabledTitle)
{
    ASSERT_EQ(GetMenuItemCount(menu.popup), 14);
    for (int position = 0; position < 14; position++)
        EXPECT_TRUE(State(position) & MF_OWNERDRAW) << position;

    // The title cannot be chosen, yet is not greyed (it is painted in colour).
    EXPECT_TRUE(menu.menuItems[0]->isTitle);
    EXPECT_TRUE(State(0) & MF_DISABLED);
    EXPECT_FALSE(State(0) & MF_GRAYED);
    for (int position : {1, 3, 5, 7, 8, 9, 11, 13})
        EXPECT_FALSE(State(position) & (MF_DISABLED | MF_GRAYED)) << position;

    const int commands[] = {ID_TRAY_LINK1, ID_TRAY_LINK1, 0, ID_TRAY_OPEN, 0, ID_TRAY_LOCK, 0, ID_TRAY_ABOUT,
                            ID_TRAY_HELP, ID_TRAY_CHECK_VERSION, 0, ID_TRAY_EXIT, 0, ID_TRAY_LINK2};
    for (int position = 0; position < 14; position++)
    {
        EXPECT_EQ(GetMenuItemID(menu.popup, position), UINT(commands[position])) << position;
        bool separator = commands[position] == 0;
        EXPECT_EQ(menu.menuItems[position]->isSeparator, separator) << position;
        EXPECT_EQ((State(position) & MF_SEPARATOR) != 0, separator) << position;
    }
    EXPECT_EQ(menu.menuItems[0]->text, L"Velmora");
    EXPECT_EQ(menu.menuItems[3]->text, L"&Open Main Window");
    EXPECT_EQ(menu.menuItems[11]->text, L"E&xit");

    const int bitmaps[] = {0, 0, 0, IDB_MENU_OPEN, 0, IDB_MENU_LOCK, 0, IDB_MENU_ABOUT,
                           IDB_MENU_HELP, IDB_MENU_CHECK_VERSION, 0, IDB_MENU_EXIT, 0, 0};
    for (int position = 0; position < 14; position++)
    {
        EXPECT_EQ(menu.menuItems[position]->hasBitmap, bitmaps[position] != 0) << position;
        EXPECT_EQ(menu.menuItems[position]->bitmapId, bitmaps[position]) << position;
    }
}

TEST_F(TrayMenu, TheTwoLinksAlwaysDifferAndVaryWithTheStartTime)
{
    std::set<std::pair<int, int>> picks;
    for (int run = 0; run < 40; run++)
    {
        menu.ChooseLinks();
        ASSERT_EQ(menu.promoLinks.size(), 14u);
        EXPECT_NE(menu.linkIndex1, menu.linkIndex2);
        EXPECT_GE(menu.linkIndex1, 0);
        EXPECT_LT(menu.linkIndex1, 14);
        EXPECT_GE(menu.linkIndex2, 0);
        EXPECT_LT(menu.linkIndex2, 14);
        picks.insert({menu.linkIndex1, menu.linkIndex2});
        Sleep(5);
    }
    EXPECT_GT(picks.size(), 1u);

    std::set<std::string> captions;
    for (const PromoLink& link : menu.promoLinks)
    {
        captions.insert(link.caption);
        EXPECT_EQ(link.address.rfind("https://www.corvath.com/", 0), 0u) << link.address;
    }
    EXPECT_EQ(captions.size(), 14u);
}

TEST_F(TrayMenu, ItemsAreMeasuredFromTheirCaptions)
{
    MEASUREITEMSTRUCT title = Measure(0);
    EXPECT_EQ(title.itemHeight, 25u);
    EXPECT_EQ(title.itemWidth, 145u);
    MEASUREITEMSTRUCT separator = Measure(2);
    EXPECT_EQ(separator.itemHeight, 6u);
    MEASUREITEMSTRUCT help = Measure(8);
    EXPECT_EQ(help.itemHeight, 20u);
    EXPECT_EQ(help.itemWidth, 145u);

    // A caption wider than 100 pixels widens the item by its own width.
    menu.menuItems[13]->SetText(std::wstring(60, L'W'));
    MEASUREITEMSTRUCT link = Measure(13);
    EXPECT_GT(link.itemWidth, 145u);
    menu.menuItems[13]->SetText(std::wstring(120, L'W'));
    EXPECT_GT(Measure(13).itemWidth, link.itemWidth);

    // The title, 8 items and 5 separators.
    int total = 0;
    for (int position = 0; position < 14; position++)
        total += Measure(position).itemHeight;
    EXPECT_EQ(total, 215);
}

TEST_F(TrayMenu, TheTitleIsAGradientInColourThoughDisabled)
{
    Canvas canvas(200, 220);
    Draw(canvas.dc, 0, {0, 0, 200, 25}, ODA_DRAWENTIRE, ODS_DISABLED);
    EXPECT_TRUE(Near(canvas.At(0, 12), kDarkBlue));   // the frame
    EXPECT_TRUE(Near(canvas.At(4, 4), kDarkBlue, 20)); // the gradient's start
    EXPECT_TRUE(Near(canvas.At(195, 4), kLightBlue, 20));
    // Its white title sits in the middle.
    bool white = false;
    for (int x = 70; x < 130; x++)
        white = white || canvas.At(x, 12) == RGB(255, 255, 255);
    EXPECT_TRUE(white);
    // The side strip below the title.
    EXPECT_TRUE(Near(canvas.At(2, 27), kDarkBlue, 20));
    EXPECT_TRUE(Near(canvas.At(2, 213), kLightBlue, 20));
}

TEST_F(TrayMenu, HoveringHighlightsBesideTheBitmapOrFromTheStrip)
{
    Canvas canvas(200, 220);
    // The system's highlight, darkened where its text would not be readable on it.
    COLORREF highlight = ReadableBackground(GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT));
    COLORREF menuColour = GetSysColor(COLOR_MENU);

    // "Open Main Window" has a bitmap: the highlight starts at 46, framed in white.
    Draw(canvas.dc, 3, {0, 25, 200, 45}, ODA_DRAWENTIRE, ODS_SELECTED);
    EXPECT_EQ(canvas.At(46, 35), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(190, 35), highlight);
    EXPECT_NE(canvas.At(40, 44), highlight);
    // Its bitmap is drawn in the icon cell, black left out.
    bool painted = false;
    for (int x = 27; x < 45; x++)
        for (int y = 27; y < 44; y++)
            painted = painted || (canvas.At(x, y) != menuColour && canvas.At(x, y) != RGB(0, 0, 0) &&
                                  canvas.At(x, y) != Canvas::kUnpainted);
    EXPECT_TRUE(painted);

    // Leaving the item paints the highlight away.
    Draw(canvas.dc, 3, {0, 25, 200, 45}, ODA_SELECT, 0);
    EXPECT_EQ(canvas.At(190, 35), menuColour);

    // A link has no bitmap: its highlight starts right after the strip.
    Draw(canvas.dc, 1, {0, 45, 200, 65}, ODA_DRAWENTIRE, ODS_SELECTED);
    EXPECT_EQ(canvas.At(26, 55), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(30, 55), highlight);
}

TEST_F(TrayMenu, SeparatorsAreEtchedLines)
{
    Canvas canvas(200, 20);
    Draw(canvas.dc, 2, {0, 10, 200, 16}, ODA_DRAWENTIRE, 0);
    EXPECT_EQ(canvas.At(100, 13), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.At(100, 14), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(100, 11), GetSysColor(COLOR_MENU));
    // The line keeps two pixels from each end.
    EXPECT_EQ(canvas.At(27, 13), GetSysColor(COLOR_MENU));
}

TEST_F(TrayMenu, EveryItemNamesItselfAndHasAnAccessKeyOfItsOwnWhicheverTheLinks)
{
    HMENU resource = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_TRAY));
    for (int first = 0; first < 14; first++)
        for (int second = 0; second < 14; second++)
        {
            if (first == second)
                continue;
            menu.linkIndex1 = first;
            menu.linkIndex2 = second;
            menu.SetLinkCaptions();
            std::set<wchar_t> keys;
            for (int position = 0; position < 14; position++)
            {
                // What a screen reader reads: the record at the start of the item's data.
                MENUITEMINFOW info = {};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_DATA;
                ASSERT_TRUE(GetMenuItemInfoW(menu.popup, position, TRUE, &info));
                const auto* name = reinterpret_cast<const MSAAMENUINFO*>(info.dwItemData);
                ASSERT_EQ(name->dwMSAASignature, DWORD(MSAA_MENU_SIG)) << position;
                std::wstring text(name->pszWText, name->cchWText);
                ASSERT_EQ(name->pszWText[name->cchWText], L'\0');
                wchar_t expected[256] = L"Velmora";
                if (position > 0)
                    GetMenuStringW(GetSubMenu(resource, 0), position - 1, expected, 256, MF_BYPOSITION);
                if (position == 1 || position == 13)
                    wcscpy(expected, Widen(menu.promoLinks[position == 1 ? first : second].caption).c_str());
                EXPECT_EQ(position == 1 || position == 13 ? Shown(text) : text, expected);
                if (position == 0 || menu.menuItems[position]->isSeparator)
                    continue;

                size_t mark = text.find(L'&');
                ASSERT_LT(mark + 1, text.size()) << Narrow(text);
                wchar_t key = towupper(text[mark + 1]);
                EXPECT_TRUE(keys.insert(key).second) << Narrow(text) << " with links " << first << ", " << second;
                for (wchar_t typed : {key, wchar_t(towlower(key))})
                    EXPECT_EQ(menu.OnMenuChar(typed), MAKELRESULT(position, MNC_EXECUTE)) << Narrow(text);
            }
        }
    DestroyMenu(resource);
    // Neither the title nor a separator is chosen by a key (the last links take neither letter).
    for (wchar_t key : {L'9', L'V'})
        EXPECT_EQ(menu.OnMenuChar(key), MAKELRESULT(0, MNC_IGNORE)) << char(key);
}

TEST_F(TrayMenu, EveryTextIsReadableInTheNormalLookAndInHighContrast)
{
    for (bool highContrast : {false, true})
    {
        std::optional<HighContrastBlack> scheme;
        if (highContrast)
            scheme.emplace();
        for (UINT state : {0u, UINT(ODS_SELECTED)})
        {
            Canvas canvas(300, 260);
            std::vector<RECT> items = DrawMenu(canvas, state);
            const std::string look = std::string(highContrast ? "high contrast" : "normal") + (state ? ", selected" : "");
            const RECT title = {1, 1, items[0].right - 1, items[0].bottom - 1};
            const RECT strip = {0, items[0].bottom, CTrayMenu::kStripWidth, items.back().bottom};
            EXPECT_GE(LowestTextContrast(canvas, title, true), kReadable) << look << ": the title";
            EXPECT_GE(LowestTextContrast(canvas, strip, false), kReadable) << look << ": the strip";
            for (int position = 1; position < 14; position++)
            {
                const RECT& item = items[position];
                RECT text = {CTrayMenu::kStripWidth + CTrayMenu::kIconWidth + 3, item.top + 1, item.right - 2,
                             item.bottom - 1};
                if (menu.menuItems[position]->isSeparator)
                    continue;
                EXPECT_GE(LowestTextContrast(canvas, text, false), kReadable)
                    << look << ": " << Narrow(menu.menuItems[position]->text);
            }
            if (!highContrast)
                continue;
            // In high contrast no gradient and no colour of the menu's own: the title's ends,
            // the strip's, and Help's highlight and frame.
            const RECT& help = items[8];
            const std::pair<POINT, int> spots[] = {
                {{4, 4}, COLOR_MENU},
                {{title.right - 5, 4}, COLOR_MENU},
                {{2, strip.top + 2}, COLOR_MENU},
                {{2, strip.bottom - 2}, COLOR_MENU},
                {{help.right - 5, help.top + 3}, state ? COLOR_HIGHLIGHT : COLOR_MENU},
                {{46, help.top + 3}, state ? COLOR_MENUTEXT : COLOR_MENU},
            };
            for (const auto& [spot, element] : spots)
                EXPECT_EQ(canvas.At(spot.x, spot.y), GetSysColor(element)) << look << " at " << spot.x << ", " << spot.y;
        }
    }
}

// "Make text bigger": the menu font at twice its size.
TEST_F(TrayMenu, ALargerMenuFontShowsEveryItemWhole)
{
    NONCLIENTMETRICSW saved = {};
    saved.cbSize = sizeof(saved);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(saved), &saved, 0));
    NONCLIENTMETRICSW larger = saved;
    larger.lfMenuFont.lfHeight *= 2;
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(larger), &larger, 0));
    menu.LoadFonts();
    for (int position = 0; position < 14; position++)
    {
        const MenuItemData& record = *menu.menuItems[position];
        if (record.isSeparator)
            continue;
        LOGFONTW description = larger.lfMenuFont;
        description.lfWeight = record.isTitle ? FW_BOLD : description.lfWeight;
        HFONT font = CreateFontIndirectW(&description);
        Canvas text(1, 1);
        HGDIOBJ old = SelectObject(text.dc, font);
        RECT extent = {};
        DrawTextW(text.dc, record.text.c_str(), int(record.text.size()), &extent, DT_SINGLELINE | DT_CALCRECT);
        SelectObject(text.dc, old);
        DeleteObject(font);
        // The title is centred over the whole item; the others start after the icon cell.
        const int before = record.isTitle ? 0 : CTrayMenu::kStripWidth + CTrayMenu::kIconWidth + CTrayMenu::kTextGap;
        EXPECT_GE(int(Measure(position).itemWidth), before + extent.right) << Narrow(record.text);
        EXPECT_GE(int(Measure(position).itemHeight), extent.bottom) << Narrow(record.text);
    }
    // The side strip grows with the items down to the last one.
    Canvas canvas(400, 400);
    EXPECT_TRUE(Near(canvas.At(2, DrawMenu(canvas, 0).back().bottom - 2), kLightBlue, 20));
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
}
