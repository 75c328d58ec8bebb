// The main window, its pages and the prompts at the display scale of the
// prefix the tests run in (VELMORA_DPI names it; unset means any).
#include "framework/Prompts.h"
#include "framework/Dpi.h"
#include "resources/resource.h"
#include "shell/CWindowMain.h"
#include "shell/Globals.h"
#include "shell/ShellMessages.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessagePump.h"
#include "tests/shell/MainWindowFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
const char kLongText[] = "The following folder was not found:\nC:\\Documents\\Reports\\2026\\\nSkip it and go on?";

struct Control
{
    std::string name;
    RECT rect;
    bool frame;
};

std::string ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return std::string(name, name + wcslen(name));
}

// The visible controls directly inside `parent`, in its client coordinates.
std::vector<Control> VisibleControls(HWND parent)
{
    std::vector<Control> controls;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
        if (!IsWindowVisible(child))
            continue;
        RECT rect = RectInParent(child);
        bool frame = ClassOf(child) == "Button" && (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
        controls.push_back({ClassOf(child) + " " + std::to_string(GetDlgCtrlID(child)), rect, frame});
    }
    return controls;
}

// The width of an icon's image.
int IconWidth(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP image = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(image), &image);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return image.bmWidth;
}

// True when the icon resource holds an image drawn at `size` pixels, not only one to stretch.
bool HoldsImageOfSize(int iconId, int size)
{
    HRSRC group = FindResourceW(nullptr, MAKEINTRESOURCEW(iconId), RT_GROUP_ICON);
    auto* directory = group ? static_cast<BYTE*>(LockResource(LoadResource(nullptr, group))) : nullptr;
    int imageId = directory ? LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR) : 0;
    HRSRC image = imageId ? FindResourceW(nullptr, MAKEINTRESOURCEW(imageId), RT_ICON) : nullptr;
    if (!image)
        return false;
    HICON icon = CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(nullptr, image))),
                                          SizeofResource(nullptr, image), TRUE, 0x30000, 0, 0, LR_DEFAULTCOLOR);
    const int width = IconWidth(icon);
    DestroyIcon(icon);
    return width == size;
}

// Every visible control inside the client area, and none over another (frames aside).
void ExpectWhole(HWND parent, bool noOverlaps, const std::string& what)
{
    RECT client;
    GetClientRect(parent, &client);
    std::vector<Control> controls = VisibleControls(parent);
    EXPECT_FALSE(controls.empty()) << what;
    for (const Control& control : controls)
    {
        RECT inside;
        IntersectRect(&inside, &control.rect, &client);
        EXPECT_TRUE(EqualRect(&inside, &control.rect))
            << what << ": " << control.name << " at " << control.rect.left << "," << control.rect.top << "-"
            << control.rect.right << "," << control.rect.bottom << " outside " << client.right << "x" << client.bottom;
    }
    // A label's text wraps as the label draws it, and lines below its bottom are cut off.
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
        wchar_t text[512] = {};
        if (!IsWindowVisible(child) || ClassOf(child) != "Static" || GetWindowTextW(child, text, 512) == 0)
            continue;
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        RECT rect = RectInParent(child), extent = {0, 0, rect.right - rect.left, 0};
        HDC dc = GetDC(child);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0)));
        DrawTextW(dc, text, -1, &extent,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0) |
                      ((style & SS_EDITCONTROL) ? DT_EDITCONTROL : 0));
        SelectObject(dc, old);
        ReleaseDC(child, dc);
        EXPECT_LE(extent.right, rect.right - rect.left) << what << ": label " << GetDlgCtrlID(child) << " is cut";
        EXPECT_LE(extent.bottom, rect.bottom - rect.top) << what << ": label " << GetDlgCtrlID(child) << " is cut";
    }
    if (!noOverlaps)
        return;
    for (size_t i = 0; i < controls.size(); i++)
        for (size_t j = i + 1; j < controls.size(); j++)
        {
            RECT common;
            if (controls[i].frame || controls[j].frame)
                continue;
            EXPECT_FALSE(IntersectRect(&common, &controls[i].rect, &controls[j].rect))
                << what << ": " << controls[i].name << " overlaps " << controls[j].name;
        }
}

class DisplayScale : public testing::Test
{
protected:
    TempFolder folder;
    std::unique_ptr<CWindowMain> app;
    HWND window = nullptr;
    UINT dpi = kBaseDpi;

    void SetUp() override
    {
        wiperSettings.SetDefaults();
        wiperSettings.installFolder = folder.Path();
        OpenMainWindow(app);
        window = app->hwnd;
        dpi = DpiOfWindow(window);
        // A prefix meant for a scale must really run at it, or every check here passes at 100 %.
        if (const char* wanted = std::getenv("VELMORA_DPI"))
        {
            ASSERT_EQ(dpi, static_cast<UINT>(std::atoi(wanted)));
        }
        ShowWindow(window, SW_SHOWNORMAL);
        PumpUntil([] { return false; }, 50);
    }

    void TearDown() override { CloseMainWindow(app); }

    SIZE ToolbarImageSize() const
    {
        int width = 0, height = 0;
        ImageList_GetIconSize(app->toolbarImages, &width, &height);
        return {width, height};
    }
};
}

TEST_F(DisplayScale, EveryPageIsWholeAtTheWindowsMinimumSize)
{
    for (PageId page : {PageSettings, PageDeleteFiles, PageAbout, PageHelp, PageCheckUpdates})
    {
        SendMessageW(window, WM_SHOW_PAGE, page, 0);
        MoveWindow(window, 0, 0, 100, 100, TRUE);
        PumpUntil([] { return false; }, 20);
        HWND shown = app->pages[page]->hwnd;
        ASSERT_TRUE(IsWindowVisible(shown));
        RECT panel;
        GetClientRect(app->rightPanel.hwnd, &panel);
        SIZE minimum = app->pages[page]->MinimumSize();
        EXPECT_GE(panel.right, minimum.cx) << "page " << page;
        EXPECT_GE(panel.bottom, minimum.cy) << "page " << page;
        ExpectWhole(shown, page == PageDeleteFiles, "page " + std::to_string(page));
    }
    // The splitter and the pictures follow the scale too.
    EXPECT_EQ(RectInParent(app->splitterBar.hwnd).right - RectInParent(app->splitterBar.hwnd).left,
              ScaleForDpi(3, dpi));
    int scale = NearestImageScale(dpi);
    EXPECT_EQ(ToolbarImageSize().cx, 40 * scale / 100);
    EXPECT_EQ(ToolbarImageSize().cy, 32 * scale / 100);
    EXPECT_EQ(IconWidth(app->trayIcon), SmallIconSize(dpi));
}

TEST_F(DisplayScale, ThePromptsAreWhole)
{
    const std::array<int, 5> enabled = {1, 1, 1, 1, 1};
    const std::array<std::string, 5> captions = {"Yes", "Yes for all", "Cancel", "No", "No for all"};
    auto check = [](const std::string& what) {
        return [what](HWND dialog) {
            ExpectWhole(dialog, true, what);
            PressKey(dialog, VK_ESCAPE);
        };
    };
    {
        DialogDriver driver("Scaled message", check("message"));
        ShowMessage(window, "Scaled message", "Heading", kLongText, IDI_EXCLAMATION_MARK);
    }
    {
        DialogDriver driver("Scaled question", check("question"));
        AskYesNo(window, "Scaled question", "", kLongText, IDI_QUESTION_MARK);
    }
    {
        DialogDriver driver("Scaled choice", check("choice"));
        AskChoice(window, "Scaled choice", "", kLongText, IDI_EXCLAMATION_MARK, enabled, captions);
    }
}

TEST_F(DisplayScale, AChangeOfScaleLaysTheWindowOutAgain)
{
    UINT doubled = dpi * 2;
    int barLeft = RectInParent(app->splitterBar.hwnd).left;
    // Within the screen, which the window may not outgrow.
    RECT suggested = {10, 10, GetSystemMetrics(SM_CXSCREEN) - 30, GetSystemMetrics(SM_CYSCREEN) - 30};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(doubled, doubled), reinterpret_cast<LPARAM>(&suggested));

    RECT after;
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&after, &suggested));
    EXPECT_EQ(app->dpi, doubled);
    EXPECT_EQ(RectInParent(app->splitterBar.hwnd).left, 2 * barLeft);
    int scale = NearestImageScale(doubled);
    EXPECT_EQ(ToolbarImageSize().cx, 40 * scale / 100);
    // The notification icon is shown by the taskbar, whose monitor did not change.
    const UINT taskbarDpi = TaskbarDpi();
    EXPECT_EQ(IconWidth(app->trayIcon), taskbarDpi ? SmallIconSize(taskbarDpi) : GetSystemMetrics(SM_CXSMICON));
    // The window's placement is stored at 96 DPI, whatever the scale.
    SendMessageW(window, WM_COMMAND, ID_TOOLBAR_EXIT, 0);
    CWiperSettings saved;
    saved.installFolder = folder.Path();
    saved.Load();
    EXPECT_EQ(saved.windowWidth, UnscaleForDpi(suggested.right - suggested.left, doubled));
    EXPECT_EQ(saved.splitterPos, UnscaleForDpi(2 * barLeft, doubled));
}

TEST(ProgramIcons, HoldAnImageForEachCommonScale)
{
    // The small-icon sizes at 100, 125, 150 and 200 %; the program's icon also for Explorer's views.
    for (int size : {16, 20, 24, 32})
    {
        EXPECT_TRUE(HoldsImageOfSize(IDI_TRAY_256, size)) << size;
        EXPECT_TRUE(HoldsImageOfSize(IDI_VELMORA, size)) << size;
    }
    for (int size : {48, 256})
        EXPECT_TRUE(HoldsImageOfSize(IDI_VELMORA, size)) << size;
}
