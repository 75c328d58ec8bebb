#include "help/CWindowHelpAbout.h"

#include "framework/Text.h"
#include "resources/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessagePump.h"
#include "tests/support/PageHost.h"
#include "tests/support/SavedClassesKey.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>

namespace
{
class AboutPage : public testing::Test
{
protected:
    PageHost host;
    CWindowHelpAbout page;

    void SetUp() override
    {
        ASSERT_TRUE(host.Open("About page test", 600, 520, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        ASSERT_TRUE(page.Create(host.hwnd));
        MoveWindow(page.hwnd, 0, 0, 480, 450, TRUE);
        ShowWindow(page.hwnd, SW_SHOW);
    }

    void TearDown() override { host.DestroyWindow(); }

    HWND Item(int id) const { return GetDlgItem(page.hwnd, id); }
    std::string Text(int id) const { return GetWindowTextUtf8(Item(id)); }

    // What the link shows: its text inside the link's markup.
    std::string LinkText() const
    {
        const std::string markup = Text(IDC_ABOUT_LINK);
        const size_t start = markup.find('>') + 1;
        return markup.substr(start, markup.rfind('<') - start);
    }

    // The text colour the page gives a control of its own.
    COLORREF TextColour(HWND control) const
    {
        HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, RGB(1, 2, 3));
        SendMessageW(page.hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
        COLORREF colour = GetTextColor(dc);
        DeleteDC(dc);
        return colour;
    }

    // The control the rights notice is, found by its text.
    HWND Notice() const
    {
        for (HWND child = GetWindow(page.hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetWindowTextUtf8(child).find("Corvath") != std::string::npos)
                return child;
        return nullptr;
    }
};
}

TEST_F(AboutPage, ShowsNameVersionNoticeAndLink)
{
    EXPECT_EQ(page.minWidth, 480);
    EXPECT_EQ(page.minHeight, 450);
    EXPECT_EQ(Text(IDC_ABOUT_TITLE), "Velmora - v.1.0");
    EXPECT_TRUE(IsWindowVisible(Item(IDC_ABOUT_TITLE)));
    EXPECT_EQ(Text(IDC_ABOUT_VERSION), "- v.1.0");
    EXPECT_FALSE(IsWindowVisible(Item(IDC_ABOUT_VERSION)));
    EXPECT_EQ(Text(IDC_ABOUT_NOTES), "");
    ASSERT_NE(Notice(), nullptr);
    EXPECT_NE(Text(GetDlgCtrlID(Notice())).find("Copyright"), std::string::npos);
    const std::string link = LinkText();
    EXPECT_EQ(link.rfind("http://", 0), 0u);
    EXPECT_NE(link.find("corvath.com"), std::string::npos);
    // The texts cannot be edited; the link is one the keyboard reaches; the notes have a name.
    EXPECT_TRUE(GetWindowLongW(Item(IDC_ABOUT_TITLE), GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongW(Item(IDC_ABOUT_NOTES), GWL_STYLE) & ES_READONLY);
    wchar_t linkClass[16] = {};
    GetClassNameW(Item(IDC_ABOUT_LINK), linkClass, 16);
    EXPECT_STREQ(linkClass, WC_LINK);
    EXPECT_TRUE(GetWindowLongW(Item(IDC_ABOUT_LINK), GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(LabelOf(Item(IDC_ABOUT_NOTES)), "Release notes");

    // Enter and Escape leave the page as it is.
    SendMessageW(page.hwnd, WM_COMMAND, IDOK, 0);
    SendMessageW(page.hwnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindow(page.hwnd));
    EXPECT_EQ(Text(IDC_ABOUT_TITLE), "Velmora - v.1.0");
}

TEST_F(AboutPage, OnlyTheLinkIsBlueAllTextsReadInHighContrastTooAndTheLinkShowsTheHand)
{
    EXPECT_EQ(TextColour(Item(IDC_ABOUT_LINK)), RGB(0, 0, 255));
    EXPECT_NE(TextColour(Notice()), RGB(0, 0, 255));
    EXPECT_NE(TextColour(Item(IDC_ABOUT_TITLE)), RGB(0, 0, 255));
    // The texts read, and at once after a change to high contrast, where the link takes the system's colour.
    std::optional<HighContrastBlack> colours;
    for (bool highContrast : {false, true})
    {
        if (highContrast)
            colours.emplace();
        PumpUntil([] { return false; }, 100);
        for (HWND text : {Item(IDC_ABOUT_TITLE), Notice(), Item(IDC_ABOUT_LINK)})
            EXPECT_GE(TextContrast(text), 4.5) << GetDlgCtrlID(text) << (highContrast ? " in high contrast" : "");
    }
    EXPECT_EQ(TextColour(Item(IDC_ABOUT_LINK)), GetSysColor(COLOR_HOTLIGHT));
    colours.reset();

    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_TRUE(SendMessageW(page.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(IDC_ABOUT_LINK)),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), hand);
    // Elsewhere the page leaves the cursor to the default handling.
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    SendMessageW(page.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(Notice()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), hand);
}

TEST_F(AboutPage, AClickOrEnterOnTheLinkOpensItsAddress)
{
    // Web addresses open with a command that writes the address it was given into a file.
    TempFolder folder;
    const std::string opened = folder.Path() + "opened.txt";
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    SavedClassesKey webHandler(L"http\\shell\\open\\command");
    ASSERT_TRUE(webHandler.Set(Narrow(system) + "\\cmd.exe /c echo %1> \"" + opened + "\""));

    HWND link = Item(IDC_ABOUT_LINK);
    const std::function<void()> opens[] = {
        [&] {
            SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        },
        // Enter as the dialog manager delivers it to the focused link.
        [&] {
            SetFocus(link);
            MSG enter = {};
            enter.hwnd = link;
            enter.message = WM_KEYDOWN;
            enter.wParam = VK_RETURN;
            enter.lParam = 1;
            if (!IsDialogMessageW(page.hwnd, &enter))
                DispatchMessageW(&enter);
        },
    };
    for (const auto& open : opens)
    {
        DeleteFileW(Widen(opened).c_str());
        open();
        std::string text;
        PumpUntil(
            [&] {
                text = ReadWholeFile(opened);
                return text.find('\n') != std::string::npos;
            },
            10000);
        EXPECT_EQ(text, LinkText() + "\r\n");
    }
}

TEST_F(AboutPage, PaintsThePictureStretchedWithBlueTransparent)
{
    const int width = 480, height = 450;
    const COLORREF background = RGB(10, 200, 10);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, canvas);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &all, brush);
    DeleteObject(brush);

    SendMessageW(page.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);

    // The picture covers 100, 150 to 350, 400: its page is white, its lens light blue.
    EXPECT_EQ(GetPixel(dc, 100 + 75, 150 + 50), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 100 + 145, 150 + 105), RGB(170, 215, 255));
    // Its blue corners are transparent, and nothing is drawn outside it.
    EXPECT_EQ(GetPixel(dc, 100 + 1, 150 + 1), background);
    EXPECT_EQ(GetPixel(dc, 100 + 248, 150 + 248 - 200), background);
    EXPECT_EQ(GetPixel(dc, 99, 200), background);
    EXPECT_EQ(GetPixel(dc, 200, 149), background);
    EXPECT_EQ(GetPixel(dc, 350, 300), background);
    EXPECT_EQ(GetPixel(dc, 200, 400), background);
    // The magnifier's handle, near the lower right: the picture spans the whole square.
    EXPECT_EQ(GetPixel(dc, 100 + 220, 150 + 180), RGB(90, 60, 30));
    int pureBlue = 0;
    for (int y = 150; y < 400; y++)
        for (int x = 100; x < 350; x++)
            pureBlue += GetPixel(dc, x, y) == RGB(0, 0, 255);
    EXPECT_EQ(pureBlue, 0);

    SelectObject(dc, previous);
    DeleteObject(canvas);
    DeleteDC(dc);
}
