#include "help/CWindowHelp.h"

#include "framework/Text.h"
#include "tests/support/PageHost.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace
{
BOOL CALLBACK CollectTree(HWND window, LPARAM trees)
{
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (wcscmp(className, WC_TREEVIEWW) == 0)
        reinterpret_cast<std::vector<HWND>*>(trees)->push_back(window);
    return TRUE;
}

// The page's contents trees (the viewer's tree views).
std::vector<HWND> Trees(HWND page)
{
    std::vector<HWND> trees;
    EnumChildWindows(page, CollectTree, reinterpret_cast<LPARAM>(&trees));
    return trees;
}

BOOL CALLBACK CollectVisibleTopLevel(HWND window, LPARAM windows)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// This process's visible top-level windows.
std::vector<HWND> VisibleTopLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(CollectVisibleTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The captions of the tree's top-level entries, in order.
std::vector<std::string> RootEntries(HWND tree)
{
    std::vector<std::string> entries;
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item))
    {
        wchar_t text[256] = {};
        TVITEMW data = {};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = 256;
        TreeView_GetItem(tree, &data);
        entries.push_back(Narrow(text));
    }
    return entries;
}

SIZE ClientSize(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return {rect.right, rect.bottom};
}

class HelpPage : public testing::Test
{
protected:
    PageHost host;
    // Pages outlive the host, whose destruction takes their windows with it.
    std::vector<std::unique_ptr<CWindowHelp>> pages;
    std::vector<HWND> windowsBefore;

    void SetUp() override
    {
        ASSERT_TRUE(host.Open("Help page test", 760, 560));
        windowsBefore = VisibleTopLevelWindows();
    }

    void TearDown() override { host.DestroyWindow(); }

    // A page shown in the host, filling its client area as the right panel makes it.
    CWindowHelp& Open(std::unique_ptr<CWindowHelp> page)
    {
        pages.push_back(std::move(page));
        CWindowHelp& opened = *pages.back();
        EXPECT_TRUE(opened.Create(host.hwnd));
        SIZE size = ClientSize(host.hwnd);
        MoveWindow(opened.hwnd, 0, 0, size.cx, size.cy, TRUE);
        ShowWindow(opened.hwnd, SW_SHOW);
        return opened;
    }

    CWindowHelp& Open() { return Open(std::make_unique<CWindowHelp>()); }

    // The number of visible top-level windows that appeared since the test began.
    long NewTopLevelWindows() const
    {
        std::vector<HWND> now = VisibleTopLevelWindows();
        return std::count_if(now.begin(), now.end(), [this](HWND window) {
            return std::find(windowsBefore.begin(), windowsBefore.end(), window) == windowsBefore.end();
        });
    }
};
}

TEST_F(HelpPage, ShowsTheHelpFileWithItsContentsInsideThePage)
{
    CWindowHelp& page = Open();
    EXPECT_EQ(page.minWidth, 480);
    EXPECT_EQ(page.minHeight, 450);
    ASSERT_EQ(page.helpReady, 1);

    // The viewer's window is the page's only child and fills it.
    HWND help = GetWindow(page.hwnd, GW_CHILD);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(GetWindow(help, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetParent(help), page.hwnd);
    LONG style = GetWindowLongW(help, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & (WS_POPUP | WS_CAPTION));
    SIZE pageSize = ClientSize(page.hwnd);
    RECT helpRect = {};
    GetWindowRect(help, &helpRect);
    EXPECT_EQ(helpRect.right - helpRect.left, pageSize.cx);
    EXPECT_EQ(helpRect.bottom - helpRect.top, pageSize.cy);
    EXPECT_EQ(NewTopLevelWindows(), 0);

    // The contents tree holds the help file's table of contents, introduction first.
    std::vector<HWND> trees = Trees(page.hwnd);
    ASSERT_EQ(trees.size(), 1u);
    EXPECT_EQ(RootEntries(trees[0]),
              (std::vector<std::string>{"Introduction", "The main window", "Finding and deleting files",
                                        "Settings and protection", "The notification area icon and its menu",
                                        "Checking for updates", "The help and about pages",
                                        "Using Velmora by keyboard", "Messages and questions"}));
    EXPECT_TRUE(IsWindowVisible(trees[0]));

    // Enter and Escape leave the page as it is.
    SendMessageW(page.hwnd, WM_COMMAND, IDOK, 0);
    SendMessageW(page.hwnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindow(page.hwnd));
    EXPECT_TRUE(IsWindow(help));
}

TEST_F(HelpPage, TheViewerFollowsThePageSize)
{
    CWindowHelp& page = Open();
    ASSERT_EQ(page.helpReady, 1);
    HWND help = GetWindow(page.hwnd, GW_CHILD);
    HWND tree = Trees(page.hwnd).at(0);

    for (SIZE size : {SIZE{600, 500}, SIZE{480, 450}, SIZE{900, 700}})
    {
        MoveWindow(page.hwnd, 0, 0, size.cx, size.cy, TRUE);
        RECT helpRect = {};
        GetWindowRect(help, &helpRect);
        POINT origin = {0, 0};
        ClientToScreen(page.hwnd, &origin);
        EXPECT_EQ(helpRect.left, origin.x);
        EXPECT_EQ(helpRect.top, origin.y);
        EXPECT_EQ(helpRect.right - helpRect.left, size.cx);
        EXPECT_EQ(helpRect.bottom - helpRect.top, size.cy);
        // The viewer lays its panes out in the new size: the tree stays inside the page.
        RECT treeRect = {};
        GetWindowRect(tree, &treeRect);
        EXPECT_LE(treeRect.bottom, helpRect.bottom);
        EXPECT_GT(treeRect.bottom - treeRect.top, size.cy / 2);
    }
    // A paint asks the viewer for its window type again; nothing breaks.
    RedrawWindow(page.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(IsWindow(help));
}

TEST_F(HelpPage, WithoutTheHelpFileThePageStaysEmptyAndResizesQuietly)
{
    TempFolder folder;
    CWindowHelp& page = Open(std::make_unique<CWindowHelp>(folder.Path() + "Velmora.chm"));
    EXPECT_EQ(page.helpReady, 0);
    EXPECT_EQ(GetWindow(page.hwnd, GW_CHILD), nullptr);

    // A resize with no help window only changes the page.
    MoveWindow(page.hwnd, 0, 0, 620, 480, TRUE);
    RedrawWindow(page.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    SIZE size = ClientSize(page.hwnd);
    EXPECT_EQ(size.cx, 620);
    EXPECT_EQ(size.cy, 480);
    EXPECT_EQ(GetWindow(page.hwnd, GW_CHILD), nullptr);
    EXPECT_EQ(NewTopLevelWindows(), 0);
}

TEST_F(HelpPage, ShowsAHelpFileWhosePathTheAnsiCodePageCannotSpell)
{
    // Cyrillic and Chinese together are outside every ANSI code page; the viewer gets the path whole.
    TempFolder folder;
    // "Справка 帮助\Velmora.chm" in UTF-8
    const std::string copy = folder.WriteFile(
        "\xD0\xA1\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBA\xD0\xB0 \xE5\xB8\xAE\xE5\x8A\xA9\\Velmora.chm", "");
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring beside = program;
    beside = beside.substr(0, beside.rfind(L'\\') + 1) + L"Velmora.chm";
    ASSERT_TRUE(CopyFileW(beside.c_str(), Widen(copy).c_str(), FALSE));

    CWindowHelp& page = Open(std::make_unique<CWindowHelp>(copy));
    EXPECT_EQ(page.helpReady, 1);
    std::vector<HWND> trees = Trees(page.hwnd);
    ASSERT_EQ(trees.size(), 1u);
    EXPECT_EQ(RootEntries(trees[0]).size(), 9u);
}

TEST_F(HelpPage, DestroyingThePageClosesTheViewer)
{
    CWindowHelp& page = Open();
    ASSERT_EQ(page.helpReady, 1);
    HWND firstHelp = GetWindow(page.hwnd, GW_CHILD);
    page.DestroyWindow();
    EXPECT_EQ(page.helpReady, 0);
    EXPECT_FALSE(IsWindow(firstHelp));
    EXPECT_EQ(NewTopLevelWindows(), 0);

    // A page made again shows the contents again.
    CWindowHelp& again = Open();
    EXPECT_EQ(again.helpReady, 1);
    EXPECT_EQ(Trees(again.hwnd).size(), 1u);
}
