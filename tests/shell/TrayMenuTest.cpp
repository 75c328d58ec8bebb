#include "shell/CTrayMenu.h"

#include "framework/CWnd.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <set>
#include <thread>

namespace
{
const COLORREF kDarkBlue = RGB(30, 30, 136);
const COLORREF kLightBlue = RGB(129, 129, 255);

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
    EXPECT_EQ(menu.menuItems[3]->text, "Open Main Window");
    EXPECT_EQ(menu.menuItems[11]->text, "Exit");

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
    menu.menuItems[13]->text = std::string(60, 'W');
    MEASUREITEMSTRUCT link = Measure(13);
    EXPECT_GT(link.itemWidth, 145u);
    menu.menuItems[13]->text = std::string(120, 'W');
    EXPECT_GT(Measure(13).itemWidth, link.itemWidth);

    // The items' heights add up to the side strip.
    int total = 0;
    for (int position = 0; position < 14; position++)
        total += Measure(position).itemHeight;
    EXPECT_EQ(total, CTrayMenu::kStripBottom);
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
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
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

TEST_F(TrayMenu, OpensAtTheCursorAndClosesOnAClickElsewhere)
{
    // A window to own the menu and paint its items.
    class Owner : public CWnd
    {
    public:
        CTrayMenu* menu = nullptr;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_MEASUREITEM)
            {
                menu->Measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
                return TRUE;
            }
            if (message == WM_DRAWITEM)
            {
                menu->Draw(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            }
            return CWnd::WindowProc(message, wParam, lParam);
        }
    } owner;
    owner.menu = &menu;
    ASSERT_TRUE(CWnd::RegisterWindowClass(L"VelmoraTrayOwner", 0, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(owner.Create(
        {.className = L"VelmoraTrayOwner", .title = "owner", .style = WS_POPUP | WS_VISIBLE, .size = {10, 10}}));
    SetCursorPos(600, 500);

    std::atomic<bool> found{false};
    RECT shown = {};
    std::thread clicker([&] {
        for (int i = 0; i < 500 && !found; i++)
        {
            HWND popup = FindWindowW(L"#32768", nullptr);
            if (popup && IsWindowVisible(popup))
            {
                Sleep(200);
                GetWindowRect(popup, &shown);
                found = true;
                // A click far from the menu.
                SetCursorPos(50, 900);
                INPUT clicks[2] = {};
                clicks[0].type = clicks[1].type = INPUT_MOUSE;
                clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
                clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
                SendInput(2, clicks, sizeof(INPUT));
            }
            Sleep(10);
        }
    });
    menu.Show(owner.hwnd);
    clicker.join();
    owner.DestroyWindow();

    ASSERT_TRUE(found);
    EXPECT_EQ(shown.left, 600);
    EXPECT_EQ(shown.bottom, 500);
    EXPECT_EQ(shown.right - shown.left - 2 * GetSystemMetrics(SM_CXEDGE) >= 145, true);
    EXPECT_EQ(menu.menuItems[1]->text, menu.promoLinks[menu.linkIndex1].caption);
    EXPECT_EQ(menu.menuItems[13]->text, menu.promoLinks[menu.linkIndex2].caption);
}
