// The main window by keyboard and by screen reader: Tab and Shift+Tab from the
// page tree through the page shown, in reading order, and back; F6 between the
// two; access keys; the names a screen reader finds; the toolbar's keys; the
// focus kept across prompts.
#include "tests/shell/MainWindowFixture.h"

#include "framework/ComScope.h"
#include "framework/MessageLoop.h"

#include <oleacc.h>

#include <cwctype>
#include <map>

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

std::wstring ClassOf(HWND control)
{
    wchar_t className[64] = {};
    GetClassNameW(control, className, 64);
    return className;
}

bool IsStaticText(HWND control)
{
    const LONG kind = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
    return _wcsicmp(ClassOf(control).c_str(), L"Static") == 0 && kind != SS_ICON && kind != SS_BITMAP;
}

std::wstring TextOf(HWND control)
{
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    return text;
}

std::wstring WithoutAccessMarks(const std::wstring& text)
{
    std::wstring plain;
    for (size_t i = 0; i < text.size(); i++)
    {
        if (text[i] == L'&' && i + 1 < text.size())
            i++;
        plain += text[i];
    }
    return plain;
}

// The letter after a single '&', upper case; 0 without one.
wchar_t AccessKeyOf(const std::wstring& text)
{
    for (size_t i = 0; i + 1 < text.size(); i++)
    {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&')
            return towupper(text[i + 1]);
        i++;
    }
    return 0;
}

// The name a screen reader gives a control: a button's own text; for any other
// control its label by the platform's rule.
std::wstring NameByPlatformRule(HWND control)
{
    if (_wcsicmp(ClassOf(control).c_str(), L"Button") == 0)
        return WithoutAccessMarks(TextOf(control));
    return Widen(LabelOf(control));
}

// What oleacc itself answers for the control's name.
std::wstring AccessibleName(HWND control)
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object))))
        return L"(no accessible object)";
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result;
    if (object->get_accName(self, &name) == S_OK && name)
        result = name;
    SysFreeString(name);
    object->Release();
    return result;
}

// Every control a user can put the focus on: the tab stops and the other
// buttons of a radio group, which the arrows reach.
std::vector<HWND> FocusableControls(HWND page)
{
    std::vector<HWND> controls;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        const bool radio = _wcsicmp(ClassOf(child).c_str(), L"Button") == 0 &&
                           (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
        if ((style & WS_TABSTOP || radio) && IsWindowVisible(child) && IsWindowEnabled(child))
            controls.push_back(child);
    }
    return controls;
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
    // A key as the message loop hands it on, with Shift or Ctrl held as asked.
    void Press(UINT key, bool shift = false, bool control = false)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg = {};
        msg.hwnd = GetFocus();
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        msg.lParam = 1;
        DispatchLoopMessage(msg);
        keys[VK_SHIFT] = keys[VK_CONTROL] = 0;
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

    void FocusFirstOf(HWND page)
    {
        SetFocus(app->leftPanel.tree);
        Press(VK_TAB);
        ASSERT_EQ(GetParent(FocusedControl(page)), page);
    }

    // Alt and a letter, as the message loop hands it on.
    void PressAlt(wchar_t letter)
    {
        MSG msg = {};
        msg.hwnd = GetFocus();
        msg.message = WM_SYSCHAR;
        msg.wParam = letter;
        msg.lParam = 1 | kAltHeld;
        DispatchLoopMessage(msg);
    }

    // Every page in each state of its criteria that shows other controls.
    void ForEachPageState(const std::function<void(HWND page, const std::string& state)>& check)
    {
        check(settingsPage.hwnd, "settings page");
        SendMessageW(GetDlgItem(settingsPage.hwnd, IDC_PROTECT), BM_CLICK, 0, 0);
        check(settingsPage.hwnd, "settings page, password on");
        SendMessageW(GetDlgItem(settingsPage.hwnd, IDC_PROTECT), BM_CLICK, 0, 0);

        // "You didn't apply any changes. Do you want to reset them?" Yes.
        ChooseTreeItem(PageDeleteFiles, {IDOK});
        check(searchPage.hwnd, "search page");
        // A date and a size condition with one bound, then every date and size control shown.
        Choose(searchPage.hwnd, IDC_DATE_CONDITION, 1);
        Choose(searchPage.hwnd, IDC_SIZE_CONDITION, 1);
        SendMessageW(GetDlgItem(searchPage.hwnd, IDC_SPECIFY_TYPE), BM_CLICK, 0, 0);
        check(searchPage.hwnd, "search page, one bound, a type");
        Choose(searchPage.hwnd, IDC_DATE_CONDITION, 4);
        Choose(searchPage.hwnd, IDC_SIZE_CONDITION, 3);
        check(searchPage.hwnd, "search page, both between");
        Choose(searchPage.hwnd, IDC_DATE_CONDITION, 5);
        check(searchPage.hwnd, "search page, an age");

        // The help set: the about page, and the update page with its Cancel on while a check runs.
        Command(ID_TOOLBAR_HELP);
        check(app->aboutPage.hwnd, "about page");
        ChooseTreeItem(PageCheckUpdates);
        EnableWindow(GetDlgItem(app->updatePage.hwnd, IDC_UPDATE_CANCEL), TRUE);
        check(app->updatePage.hwnd, "update page");
    }

private:
    // The context code of a key pressed with Alt held.
    static const LPARAM kAltHeld = 1 << 29;
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

    ForEachPageState([&](HWND page, const std::string& state) { ExpectReadingOrderWalk(page, state); });
}

// Access keys are unique on each page and Alt with a label's key moves the focus
// to the control it labels; every focusable control has a name by the platform's
// rule, told apart from the others of its kind, and oleacc reads the same name
// for the edit boxes.
TEST_F(Keyboard, EveryControlHasANameAndEveryLabelItsOwnKey)
{
    ComScope com;
    Open();
    EXPECT_FALSE(NameByPlatformRule(app->leftPanel.tree).empty()) << "page tree";
    ForEachPageState([&](HWND page, const std::string& state) {
        std::map<wchar_t, std::string> keys;
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        {
            const wchar_t key = IsWindowVisible(child) ? AccessKeyOf(TextOf(child)) : 0;
            if (!key)
                continue;
            EXPECT_TRUE(keys.emplace(key, Named(child)).second)
                << state << ": Alt+" << char(key) << " for " << keys[key] << " and " << Named(child);
            // A label (or a frame) hands the focus to the first control after it.
            const bool frame = (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX &&
                               _wcsicmp(ClassOf(child).c_str(), L"Button") == 0;
            if ((!IsStaticText(child) && !frame) || !IsWindowEnabled(child))
                continue;
            HWND labelled = GetWindow(child, GW_HWNDNEXT);
            while (labelled && !(GetWindowLongW(labelled, GWL_STYLE) & WS_TABSTOP && IsWindowVisible(labelled)))
                labelled = GetWindow(labelled, GW_HWNDNEXT);
            ASSERT_NE(labelled, nullptr) << state << ": " << Named(child) << " labels nothing";
            SetFocus(app->leftPanel.tree);
            FocusFirstOf(page);
            PressAlt(towlower(key));
            EXPECT_EQ(FocusedControl(page), labelled) << state << ": Alt+" << char(key) << " from " << Named(child);
        }

        std::map<std::wstring, std::map<std::wstring, std::string>> namesByClass;
        for (HWND control : FocusableControls(page))
        {
            const std::wstring name = NameByPlatformRule(control);
            EXPECT_FALSE(name.empty()) << state << ": " << Named(control) << " has no name";
            auto [other, added] = namesByClass[ClassOf(control)].emplace(name, Named(control));
            EXPECT_TRUE(added || name.empty()) << state << ": \"" << Narrow(name) << "\" names " << other->second
                                               << " and " << Named(control);
            if (_wcsicmp(ClassOf(control).c_str(), L"Edit") == 0)
            {
                EXPECT_EQ(Narrow(AccessibleName(control)), Narrow(name)) << state << ": oleacc, " << Named(control);
            }
        }
    });
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

// Every toolbar command has a key that works from inside a page; the gaps
// between the button groups are separators, not buttons without a name.
TEST_F(Keyboard, TheToolbarsCommandsHaveKeys)
{
    Open();
    const int buttons = static_cast<int>(SendMessageW(app->toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < buttons; i++)
    {
        TBBUTTON button = {};
        SendMessageW(app->toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        wchar_t text[64] = {};
        SendMessageW(app->toolbar, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(text));
        EXPECT_TRUE((button.fsStyle & BTNS_SEP) || (button.idCommand && text[0])) << "button " << i;
    }

    struct Case
    {
        const char* keys;
        UINT key;
        bool control;
        int pageSet;
        PageId page;
    };
    const Case cases[] = {
        {"Ctrl+H", 'H', true, 1, PageAbout},
        {"Ctrl+T", 'T', true, 0, PageSettings},
        {"F1", VK_F1, false, 1, PageHelp},
        {"Ctrl+T again", 'T', true, 0, PageSettings},
    };
    for (const Case& c : cases)
    {
        const std::vector<HWND> stops = ReachableTabStops(app->pages[app->currentPage]->hwnd);
        SetFocus(stops.empty() ? app->leftPanel.tree : stops.back());
        Press(c.key, false, c.control);
        EXPECT_EQ(app->leftPanel.pageSet, c.pageSet) << c.keys;
        EXPECT_EQ(app->currentPage, c.page) << c.keys;
        EXPECT_TRUE(IsWindowVisible(GetFocus())) << c.keys << ": the focus left on a hidden page";
    }

    // Lock without a password says why it cannot lock.
    DialogCloser closer({IDOK});
    Press('L', false, true);
    EXPECT_EQ(Texts(closer.Stop()), std::vector<std::string>{std::string("Velmora: ") + kLockMessage});
    EXPECT_TRUE(Visible());

    Press('Q', false, true);
    EXPECT_FALSE(IsWindow(window)) << "Ctrl+Q ends the program";
}

// When a prompt or the progress window closes, the focus is back on the control
// that had it, or, where the action turned that control off, on a control of the
// same page a user can reach.
TEST_F(Keyboard, TheFocusComesBackWhenAPromptCloses)
{
    Open();
    SetForegroundWindow(window);
    HWND box = GetDlgItem(settingsPage.hwnd, IDC_START_WITH_WINDOWS);
    SetFocus(box);
    Command(ID_TOOLBAR_LOCK, {IDOK});
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(GetFocus(), box) << Named(GetFocus());

    ChooseTreeItem(PageDeleteFiles);
    folder.WriteFile("files\\one.txt", "x");
    ASSERT_TRUE(searchPage.AddLocation(folder.Path() + "files"));
    HWND find = GetDlgItem(searchPage.hwnd, IDC_FIND);
    SetFocus(find);
    {
        DialogCloser closer({IDOK});
        SendMessageW(find, BM_CLICK, 0, 0);
        EXPECT_TRUE(PumpUntil([] { return searchPage.RunningOperation() == Operation::None; }));
        EXPECT_TRUE(PumpUntil([] { return !FindWindowW(nullptr, L"Files Searching"); }));
    }
    EXPECT_EQ(GetFocus(), find) << Named(GetFocus());

    // Hidden with the focus on Find, shown again by the tray's About: Find is on
    // a page no longer shown, and the focus goes where the user can see it.
    CloseBox();
    Command(ID_TRAY_ABOUT);
    PumpUntil([] { return false; }, 50);
    ASSERT_TRUE(Visible());
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(IsChild(window, focus)) << Named(focus);
    EXPECT_TRUE(IsWindowVisible(focus) && IsWindowEnabled(focus)) << Named(focus);
}
