#include "help/CWindowHelp.h"
#include "help/HtmlHelpLoader.h"

#include "framework/Text.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <htmlhelp.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace
{
const wchar_t kViewerServerKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

std::string ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string folder = Narrow(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string ModulePath(HMODULE module)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    return Narrow(path);
}

std::string SystemLibrary(const std::string& name)
{
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return Narrow(folder) + "\\" + name;
}

bool EndsWithNoCase(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() &&
           CompareStringOrdinal(Widen(text.substr(text.size() - end.size())).c_str(), -1, Widen(end).c_str(), -1,
                                TRUE) == CSTR_EQUAL;
}

// The viewer's registered location, changed by a test and put back as it was
// (every value of the key) when the test ends.
class ViewerRegistration
{
public:
    ViewerRegistration()
    {
        HKEY key = nullptr;
        existed = RegOpenKeyExW(HKEY_CLASSES_ROOT, kViewerServerKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (!existed)
            return;
        for (DWORD i = 0;; i++)
        {
            wchar_t name[256] = {};
            DWORD nameLength = 256;
            BYTE data[2048] = {};
            DWORD size = sizeof(data);
            DWORD type = 0;
            if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
                break;
            values.push_back({name, type, std::vector<BYTE>(data, data + size)});
        }
        RegCloseKey(key);
    }

    ~ViewerRegistration()
    {
        Remove();
        if (!existed)
            return;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kViewerServerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        for (const Value& value : values)
            RegSetValueExW(key, value.name.empty() ? nullptr : value.name.c_str(), 0, value.type, value.data.data(),
                           (DWORD)value.data.size());
        RegCloseKey(key);
    }

    bool Set(const std::string& path)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kViewerServerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return false;
        std::wstring data = Widen(path);
        LSTATUS status = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                        DWORD((data.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }

    void Remove() { RegDeleteKeyW(HKEY_CLASSES_ROOT, kViewerServerKey); }

private:
    struct Value
    {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    bool existed = false;
    std::vector<Value> values;
};

// What the stand-in viewer answers to a command.
HWND FakeAnswer(UINT command)
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7E00 + command));
}
}

TEST(HtmlHelpLoader, LoadsTheViewerFromItsRegisteredLocation)
{
    ViewerRegistration registration;
    const std::string fake = ProgramFolder() + "fake_viewer.dll";
    ASSERT_TRUE(registration.Set(fake));

    HtmlHelpLoader loader;
    EXPECT_EQ(loader.Library(), nullptr);
    EXPECT_EQ(loader.Call(nullptr, "Velmora.chm", HH_DISPLAY_TOC, 0), FakeAnswer(HH_DISPLAY_TOC));
    EXPECT_TRUE(EndsWithNoCase(ModulePath(loader.Library()), "\\fake_viewer.dll"));
    // Loaded once: a changed registration does not move a loaded viewer.
    registration.Remove();
    EXPECT_EQ(loader.Call(nullptr, "", HH_CLOSE_ALL, 0), FakeAnswer(HH_CLOSE_ALL));
}

TEST(HtmlHelpLoader, LoadsTheViewerByNameWithoutAUsableRegistration)
{
    ViewerRegistration registration;
    registration.Remove();
    HtmlHelpLoader unregistered;
    EXPECT_EQ(unregistered.Call(nullptr, "", HH_CLOSE_ALL, 0), nullptr);
    ASSERT_NE(unregistered.Library(), nullptr);
    EXPECT_TRUE(EndsWithNoCase(ModulePath(unregistered.Library()), "\\hhctrl.ocx"));

    // A registered path that cannot be loaded falls back to the name too.
    TempFolder folder;
    ASSERT_TRUE(registration.Set(folder.Path() + "hhctrl.ocx"));
    HtmlHelpLoader misregistered;
    misregistered.Call(nullptr, "", HH_CLOSE_ALL, 0);
    ASSERT_NE(misregistered.Library(), nullptr);
    EXPECT_TRUE(EndsWithNoCase(ModulePath(misregistered.Library()), "\\hhctrl.ocx"));
}

TEST(HtmlHelpLoader, AViewerWithoutItsEntryIsAFailureForGood)
{
    ViewerRegistration registration;
    // A library that loads but lacks export 14.
    const std::string noEntry = SystemLibrary("msimg32.dll");
    ASSERT_TRUE(registration.Set(noEntry));

    HtmlHelpLoader loader;
    EXPECT_EQ(loader.Call(nullptr, "Velmora.chm", HH_DISPLAY_TOC, 0), nullptr);
    EXPECT_TRUE(EndsWithNoCase(ModulePath(loader.Library()), "\\msimg32.dll"));

    // Even with a working viewer registered now, nothing is tried again.
    ASSERT_TRUE(registration.Set(ProgramFolder() + "fake_viewer.dll"));
    EXPECT_EQ(loader.Call(nullptr, "Velmora.chm", HH_DISPLAY_TOC, 0), nullptr);
    EXPECT_TRUE(EndsWithNoCase(ModulePath(loader.Library()), "\\msimg32.dll"));
}

namespace
{
// A plain top-level window to hold the page, as the main window's right panel does.
class HelpTestHost : public CWnd
{
public:
    bool Open()
    {
        const wchar_t* className = L"VelmoraHelpPageTestHost";
        return RegisterWindowClass(className, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                                   GetSysColorBrush(COLOR_BTNFACE)) &&
               Create(className, "Help page test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 0, 760,
                      560, nullptr, nullptr);
    }
};

struct FoundWindows
{
    const wchar_t* className;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectByClass(HWND window, LPARAM param)
{
    FoundWindows* found = reinterpret_cast<FoundWindows*>(param);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (!found->className || wcscmp(className, found->className) == 0)
        found->windows.push_back(window);
    return TRUE;
}

// The descendants of a window of one class.
std::vector<HWND> Descendants(HWND window, const wchar_t* className)
{
    FoundWindows found = {className, {}};
    EnumChildWindows(window, CollectByClass, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

BOOL CALLBACK CollectVisibleTopLevel(HWND window, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// This process's visible top-level windows.
std::vector<HWND> VisibleTopLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(CollectVisibleTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string TreeItemText(HWND tree, HTREEITEM item)
{
    wchar_t text[256] = {};
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = 256;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return Narrow(text);
}

// The captions of the tree's top-level entries, in order.
std::vector<std::string> RootEntries(HWND tree)
{
    std::vector<std::string> entries;
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item))
        entries.push_back(TreeItemText(tree, item));
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
    HelpTestHost host;
    // Pages outlive the host, whose destruction takes their windows with it.
    std::vector<std::unique_ptr<CWindowHelp>> pages;
    std::vector<HWND> windowsBefore;

    void SetUp() override
    {
        ASSERT_TRUE(host.Open());
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

    // Top-level windows that appeared since the test began.
    std::vector<HWND> NewTopLevelWindows() const
    {
        std::vector<HWND> added;
        for (HWND window : VisibleTopLevelWindows())
            if (std::find(windowsBefore.begin(), windowsBefore.end(), window) == windowsBefore.end())
                added.push_back(window);
        return added;
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
    EXPECT_TRUE(NewTopLevelWindows().empty());

    // The contents tree holds the help file's table of contents, introduction first.
    std::vector<HWND> trees = Descendants(page.hwnd, WC_TREEVIEWW);
    ASSERT_EQ(trees.size(), 1u);
    EXPECT_EQ(RootEntries(trees[0]),
              (std::vector<std::string>{"Introduction", "The main window", "Finding and deleting files",
                                        "Settings and protection", "The notification area icon and its menu",
                                        "Checking for updates", "The help and about pages",
                                        "Messages and questions"}));
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
    HWND tree = Descendants(page.hwnd, WC_TREEVIEWW).at(0);

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
    EXPECT_TRUE(NewTopLevelWindows().empty());
}

TEST_F(HelpPage, DestroyingThePageClosesTheViewer)
{
    CWindowHelp& page = Open();
    ASSERT_EQ(page.helpReady, 1);
    HWND firstHelp = GetWindow(page.hwnd, GW_CHILD);
    page.DestroyWindow();
    EXPECT_EQ(page.helpReady, 0);
    EXPECT_FALSE(IsWindow(firstHelp));
    EXPECT_TRUE(NewTopLevelWindows().empty());

    // A page made again shows the contents again.
    CWindowHelp& again = Open();
    EXPECT_EQ(again.helpReady, 1);
    EXPECT_EQ(Descendants(again.hwnd, WC_TREEVIEWW).size(), 1u);
}
