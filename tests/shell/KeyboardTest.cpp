// The main window by keyboard: Tab and Shift+Tab from the page tree through
// the page shown, in reading order, and back; F6 between the two.
#include "tests/shell/MainWindowFixture.h"

#include "framework/MessageLoop.h"

namespace
{
RECT RectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// Top to bottom, and left to right within a row: a control whose middle lies
// within the first control of a row belongs to that row.
std::vector<HWND> ReadingOrder(std::vector<HWND> controls)
{
    std::stable_sort(controls.begin(), controls.end(),
                     [](HWND a, HWND b) { return RectOf(a).top < RectOf(b).top; });
    std::vector<HWND> ordered;
    for (size_t first = 0; first < controls.size();)
    {
        const RECT row = RectOf(controls[first]);
        size_t end = first + 1;
        while (end < controls.size() && (RectOf(controls[end]).top + RectOf(controls[end]).bottom) / 2 < row.bottom)
            end++;
        std::stable_sort(controls.begin() + first, controls.begin() + end,
                         [](HWND a, HWND b) { return RectOf(a).left < RectOf(b).left; });
        ordered.insert(ordered.end(), controls.begin() + first, controls.begin() + end);
        first = end;
    }
    return ordered;
}

std::string Named(HWND control)
{
    wchar_t className[64] = {};
    GetClassNameW(control, className, 64);
    return Narrow(className) + " " + std::to_string(GetDlgCtrlID(control)) + " \"" + GetWindowTextUtf8(control) + "\"";
}

std::vector<std::string> Names(const std::vector<HWND>& controls)
{
    std::vector<std::string> names;
    for (HWND control : controls)
        names.push_back(Named(control));
    return names;
}
}

class Keyboard : public MainWindow
{
protected:
    // A key as the message loop hands it on, with Shift held as asked.
    void Press(UINT key, bool shift = false)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg = {};
        msg.hwnd = GetFocus();
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        msg.lParam = 1;
        DispatchLoopMessage(msg);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }

    // The page's control that holds the focus (a combo box's edit is inside its box), or the focus itself.
    static HWND FocusedControl(HWND page)
    {
        HWND focus = GetFocus();
        for (HWND control = focus; control; control = GetParent(control))
        {
            if (GetParent(control) == page)
                return control;
        }
        return focus;
    }

    // From the tree, Tab (or Shift+Tab) until the focus is back in the tree.
    std::vector<HWND> Walk(HWND page, bool backwards)
    {
        SetFocus(app->leftPanel.tree);
        std::vector<HWND> visited;
        const size_t bound = ReachableTabStops(page).size() + 2;
        for (size_t step = 0; step < bound; step++)
        {
            Press(VK_TAB, backwards);
            HWND control = FocusedControl(page);
            if (control == app->leftPanel.tree)
                break;
            visited.push_back(control);
        }
        return visited;
    }

    void ExpectReadingOrderWalk(HWND page, const std::string& state)
    {
        const std::vector<HWND> expected = ReadingOrder(ReachableTabStops(page));
        ASSERT_FALSE(expected.empty()) << state;
        EXPECT_EQ(Names(Walk(page, false)), Names(expected)) << state << ": Tab from the tree";
        EXPECT_EQ(GetFocus(), app->leftPanel.tree) << state << ": Tab after the last control";
        EXPECT_EQ(Names(Walk(page, true)), Names(std::vector<HWND>(expected.rbegin(), expected.rend())))
            << state << ": Shift+Tab from the tree";
        EXPECT_EQ(GetFocus(), app->leftPanel.tree) << state << ": Shift+Tab before the first control";
    }

    void Choose(HWND page, int id, int index)
    {
        SendDlgItemMessageW(page, id, CB_SETCURSEL, index, 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)GetDlgItem(page, id));
    }
};

TEST_F(Keyboard, TabWalksFromTheTreeThroughEachPageInReadingOrderAndBack)
{
    Open();
    // F6 and Shift+F6 between the tree and the page, as in Explorer.
    SetFocus(app->leftPanel.tree);
    Press(VK_F6);
    EXPECT_EQ(GetParent(GetFocus()), settingsPage.hwnd);
    Press(VK_F6, true);
    EXPECT_EQ(GetFocus(), app->leftPanel.tree);

    ExpectReadingOrderWalk(settingsPage.hwnd, "settings page");
    SendMessageW(GetDlgItem(settingsPage.hwnd, IDC_PROTECT), BM_CLICK, 0, 0);
    ExpectReadingOrderWalk(settingsPage.hwnd, "settings page, password on");
    SendMessageW(GetDlgItem(settingsPage.hwnd, IDC_PROTECT), BM_CLICK, 0, 0);

    // "You didn't apply any changes. Do you want to reset them?" Yes.
    ChooseTreeItem(PageDeleteFiles, {IDOK});
    ExpectReadingOrderWalk(searchPage.hwnd, "search page");
    // Every date and size control shown: "is between" for both.
    Choose(searchPage.hwnd, IDC_DATE_CONDITION, 4);
    Choose(searchPage.hwnd, IDC_SIZE_CONDITION, 3);
    ExpectReadingOrderWalk(searchPage.hwnd, "search page, both between");

    // The help set: the update page, with its Cancel on while a check runs.
    Command(ID_TOOLBAR_HELP);
    ChooseTreeItem(PageCheckUpdates);
    EnableWindow(GetDlgItem(app->updatePage.hwnd, IDC_UPDATE_CANCEL), TRUE);
    ExpectReadingOrderWalk(app->updatePage.hwnd, "update page");
}

// A button that disables itself when pressed passes the focus on, to a control of
// the same page a user can reach.
TEST_F(Keyboard, AButtonThatDisablesItselfPassesTheFocusOn)
{
    Open();
    auto pressFocused = [&](HWND page, int id, std::vector<int> answers) {
        HWND button = GetDlgItem(page, id);
        SetFocus(button);
        ASSERT_EQ(GetFocus(), button) << id;
        DialogCloser closer(answers);
        SendMessageW(button, BM_CLICK, 0, 0);
        closer.Stop();
        HWND focus = GetFocus();
        EXPECT_FALSE(IsWindowEnabled(button)) << id;
        ASSERT_NE(focus, nullptr) << id;
        EXPECT_TRUE(IsChild(page, focus)) << id;
        EXPECT_TRUE(IsWindowVisible(focus) && IsWindowEnabled(focus)) << id;
    };
    ClickStartWithWindows();
    pressFocused(settingsPage.hwnd, IDC_RESET, {IDOK});

    ChooseTreeItem(PageDeleteFiles);
    searchPage.AddLocation("C:\\one");
    searchPage.AddLocation("C:\\two");
    LVITEMW item = {};
    item.state = item.stateMask = LVIS_SELECTED;
    SendMessageW(GetDlgItem(searchPage.hwnd, IDC_LOCATIONS), LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
    // "Do you want to remove 2 item(s) from list?" Yes.
    pressFocused(searchPage.hwnd, IDC_REMOVE, {IDOK});
    searchPage.AddLocation("C:\\three");
    // "Do you want to empty list?" Yes.
    pressFocused(searchPage.hwnd, IDC_EMPTY_LIST, {IDOK});
}
