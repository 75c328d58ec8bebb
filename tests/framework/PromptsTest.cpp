#include "framework/Prompts.h"

#include "resources/resource.h"
#include "framework/CWnd.h"
#include "framework/Text.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <thread>
#include <vector>

namespace
{
const std::array<int, 5> kNotFoundEnabled = {0, 0, 1, 1, 1};
const std::array<std::string, 5> kNotFoundCaptions = {"", "", "Cancel", "Skip", "Skip all"};

// Where a control's text goes when drawn in its font within its width with
// `format`; `lineHeight` gets the font's line height.
RECT TextExtent(HWND control, UINT format, int* lineHeight = nullptr)
{
    RECT rect;
    GetClientRect(control, &rect);
    rect.bottom = 0;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    if (lineHeight)
        *lineHeight = metrics.tmHeight;
    DrawTextW(dc, Widen(GetWindowTextUtf8(control)).c_str(), -1, &rect, format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return rect;
}

// How the question's static control draws it.
const UINT kQuestionFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;

struct Layout
{
    bool found = false;
    int windowWidth = 0;
    int clientHeight = 0;
    bool centred = false;
    int lines = 0;
};

Layout Measure(HWND dialog)
{
    Layout layout;
    if (!dialog)
        return layout;
    layout.found = true;
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    layout.windowWidth = window.right - window.left;
    layout.clientHeight = client.bottom;
    HWND text = GetDlgItem(dialog, IDC_PROMPT_TEXT);
    layout.centred = (GetWindowLongW(text, GWL_STYLE) & SS_TYPEMASK) == SS_CENTER;
    int lineHeight = 0;
    layout.lines = TextExtent(text, kQuestionFormat, &lineHeight).bottom / std::max(lineHeight, 1);
    return layout;
}

Layout ShowAndMeasure(const std::string& text)
{
    Layout layout;
    DialogDriver driver("Warning", [&](HWND dialog) {
        layout = Measure(dialog);
        PressKey(dialog, VK_RETURN);
    });
    ShowMessage(nullptr, "Warning", "", text, IDI_EXCLAMATION_MARK);
    return layout;
}
}

TEST(PromptLayout, SingleLineIsCentredAndEachLineAddsOneLineHeight)
{
    Layout one = ShowAndMeasure("Please select any folder.");
    Layout two = ShowAndMeasure("first line\nsecond line");
    Layout three = ShowAndMeasure("The following folder was not found:\nC:\\Docs\\\nSkip it?");
    Layout five = ShowAndMeasure("1\n2\n3\n4\n5");
    ASSERT_TRUE(one.found && two.found && three.found && five.found);

    EXPECT_TRUE(one.centred);
    EXPECT_FALSE(two.centred);
    EXPECT_FALSE(three.centred);
    EXPECT_EQ(three.lines, 3);

    int lineHeight = two.clientHeight - one.clientHeight;
    EXPECT_GT(lineHeight, 5);
    EXPECT_EQ(three.clientHeight - two.clientHeight, lineHeight);
    EXPECT_EQ(five.clientHeight - three.clientHeight, 2 * lineHeight);
    EXPECT_EQ(one.clientHeight, 60 + lineHeight);
    EXPECT_EQ(one.windowWidth, 300);
}

TEST(PromptLayout, LongTextWrapsAndStaysLeftAligned)
{
    Layout limit = ShowAndMeasure("The number of found files exceeds the 100000 limit.\n"
                                  "To ensure normal viewing, the results will be truncated.\n"
                                  "If necessary, please set new search criteria.");
    Layout wrapped = ShowAndMeasure(std::string(40, 'x') + " " + std::string(40, 'y') + " " + std::string(40, 'z'));
    ASSERT_TRUE(limit.found && wrapped.found);
    EXPECT_GE(limit.lines, 3);
    EXPECT_FALSE(limit.centred);
    EXPECT_GT(wrapped.lines, 1);
    EXPECT_FALSE(wrapped.centred);
}

TEST(PromptLayout, CentredOverOwnerOrScreen)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 80, 600, 500, nullptr,
                                 nullptr, nullptr, nullptr);
    RECT ownerRect, dialogRect = {};
    GetWindowRect(owner, &ownerRect);
    {
        DialogDriver driver("Warning", [&](HWND dialog) {
            GetWindowRect(dialog, &dialogRect);
            PressKey(dialog, VK_ESCAPE);
        });
        ShowMessage(owner, "Warning", "", "text", IDI_EXCLAMATION_MARK);
    }
    EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, (ownerRect.left + ownerRect.right) / 2, 1);
    EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 1);
    DestroyWindow(owner);

    {
        DialogDriver driver("Warning", [&](HWND dialog) {
            GetWindowRect(dialog, &dialogRect);
            CloseWithCloseBox(dialog);
        });
        ShowMessage(nullptr, "Warning", "", "text", IDI_EXCLAMATION_MARK);
    }
    EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST(ShowMessage, ShowsCaptionHeadingAndTextAndAnyKeyCloses)
{
    std::string caption, frame, text;
    bool hasIcon = false;
    {
        DialogDriver driver("Error", [&](HWND dialog) {
            caption = GetWindowTextUtf8(dialog);
            text = ControlText(dialog, IDC_PROMPT_TEXT);
            frame = ControlText(dialog, -1);
            hasIcon = SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0) != 0;
            ClickButton(dialog, IDOK);
        });
        ShowMessage(nullptr, "Error", "Heading", "Wrong settings.dat", IDI_EXCLAMATION_MARK);
    }
    EXPECT_EQ(caption, "Error");
    EXPECT_EQ(text, "Wrong settings.dat");
    EXPECT_EQ(frame, "Heading");
    EXPECT_TRUE(hasIcon);
}

namespace
{
bool AnswerYesNo(std::function<void(HWND)> act)
{
    DialogDriver driver("Warning", act);
    return AskYesNo(nullptr, "Warning", "", "Do you want to stop searching?", IDI_QUESTION_MARK);
}
}

TEST(AskYesNo, OnlyYesAnswersTrue)
{
    EXPECT_TRUE(AnswerYesNo([](HWND d) { ClickButton(d, IDOK); }));
    EXPECT_FALSE(AnswerYesNo([](HWND d) { ClickButton(d, IDCANCEL); }));
    EXPECT_FALSE(AnswerYesNo([](HWND d) { PressKey(d, VK_ESCAPE); }));
    EXPECT_FALSE(AnswerYesNo([](HWND d) { CloseWithCloseBox(d); }));
    // Enter with the initial focus chooses the default, "No".
    EXPECT_FALSE(AnswerYesNo([](HWND d) { PressKey(d, VK_RETURN); }));
}

TEST(AskYesNo, ButtonsSitBelowTheText)
{
    RECT yes = {}, no = {}, text = {};
    AnswerYesNo([&](HWND d) {
        GetWindowRect(GetDlgItem(d, IDOK), &yes);
        GetWindowRect(GetDlgItem(d, IDCANCEL), &no);
        GetWindowRect(GetDlgItem(d, IDC_PROMPT_TEXT), &text);
        PressKey(d, VK_ESCAPE);
    });
    EXPECT_EQ(yes.right - yes.left, 100);
    EXPECT_EQ(no.left - yes.left, 185);
    EXPECT_EQ(yes.top, no.top);
    EXPECT_GT(yes.top, text.bottom);
}

TEST(AskYesNo, WorksFromAWorkerThreadWithoutOwner)
{
    bool answer = false;
    DialogDriver driver("Deleting Files", [](HWND d) { ClickButton(d, IDOK); });
    std::thread worker([&] {
        answer = AskYesNo(nullptr, "Deleting Files", "", "Do you want to terminate deleting?", IDI_QUESTION_MARK);
    });
    worker.join();
    EXPECT_TRUE(answer);
}

namespace
{
struct ChoiceView
{
    std::string captions[5];
    bool enabled[5] = {};
    int left[5] = {};
};

const int kPositionIds[5] = {IDOK, IDC_CHOICE_YES_FOR_ALL, IDCANCEL, IDC_CHOICE_NO, IDC_CHOICE_NO_FOR_ALL};

Choice Choose(std::function<void(HWND)> act, ChoiceView* view = nullptr,
           const std::array<int, 5>& enabled = kNotFoundEnabled,
           const std::array<std::string, 5>& captions = kNotFoundCaptions)
{
    DialogDriver driver("Files Searching", [&](HWND d) {
        if (view && d)
        {
            for (int i = 0; i < 5; i++)
            {
                HWND button = GetDlgItem(d, kPositionIds[i]);
                view->captions[i] = GetWindowTextUtf8(button);
                view->enabled[i] = IsWindowEnabled(button);
                RECT r;
                GetWindowRect(button, &r);
                view->left[i] = r.left;
            }
        }
        act(d);
    });
    return AskChoice(nullptr, "Files Searching", "", "The following folder was not found:\nC:\\gone\\",
                     IDI_EXCLAMATION_MARK, enabled, captions);
}
}

TEST(AskChoice, ShowsTheGivenCaptionsAndEnableStatesLeftToRight)
{
    ChoiceView view;
    Choose([](HWND d) { PressKey(d, VK_ESCAPE); }, &view);
    for (int i = 0; i < 5; i++)
    {
        std::erase(view.captions[i], '&');
        EXPECT_EQ(view.captions[i], kNotFoundCaptions[i]) << i;
        EXPECT_EQ(view.enabled[i], kNotFoundEnabled[i] != 0) << i;
        if (i > 0)
        {
            EXPECT_EQ(view.left[i] - view.left[i - 1], 105) << i;
        }
    }
}

TEST(AskChoice, EachButtonGivesItsResultAndCancellingGivesZero)
{
    EXPECT_EQ(Choose([](HWND d) { ClickButton(d, IDC_CHOICE_NO); }), Choice::No);
    EXPECT_EQ(Choose([](HWND d) { ClickButton(d, IDC_CHOICE_NO_FOR_ALL); }), Choice::NoForAll);
    EXPECT_EQ(Choose([](HWND d) { ClickButton(d, IDCANCEL); }), Choice::Cancel);
    EXPECT_EQ(Choose([](HWND d) { PressKey(d, VK_ESCAPE); }), Choice::Cancel);
    EXPECT_EQ(Choose([](HWND d) { CloseWithCloseBox(d); }), Choice::Cancel);

    std::array<int, 5> all = {1, 1, 1, 1, 1};
    std::array<std::string, 5> names = {"A", "B", "C", "D", "E"};
    EXPECT_EQ(Choose([](HWND d) { ClickButton(d, IDOK); }, nullptr, all, names), Choice::Yes);
    EXPECT_EQ(Choose([](HWND d) { ClickButton(d, IDC_CHOICE_YES_FOR_ALL); }, nullptr, all, names), Choice::YesForAll);
}

TEST(AskChoice, DisabledButtonsCannotBeChosen)
{
    // A click on a disabled button does nothing; the dialog stays until Escape.
    Choice result = Choose([](HWND d) {
        ClickButton(d, IDOK);
        ClickButton(d, IDC_CHOICE_YES_FOR_ALL);
        Sleep(200);
        PressKey(d, VK_ESCAPE);
    });
    EXPECT_EQ(result, Choice::Cancel);
}

namespace
{
HWND FocusOf(HWND dialog)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

// From the focus the prompt opens with, the ids Tab reaches until it comes back.
std::vector<int> TabCycle(HWND dialog, size_t bound)
{
    std::vector<int> ids;
    for (HWND focus = FocusOf(dialog); ids.size() <= bound; )
    {
        ids.push_back(GetDlgCtrlID(focus));
        PressKey(dialog, VK_TAB);
        const DWORD start = GetTickCount();
        while (FocusOf(dialog) == focus && GetTickCount() - start < 1000)
            Sleep(10);
        focus = FocusOf(dialog);
        if (GetDlgCtrlID(focus) == ids.front())
            break;
    }
    return ids;
}
}

// A prompt opens on its safe answer, so that Enter never means "delete", and Tab
// goes from button to button left to right.
TEST(PromptKeys, TheFocusStartsOnTheSafeAnswerAndTabGoesLeftToRight)
{
    const std::array<int, 5> all = {1, 1, 1, 1, 1};
    const std::array<int, 5> firstThree = {1, 1, 1, 0, 0};
    const std::array<std::string, 5> names = {"A", "B", "C", "D", "E"};
    const struct
    {
        std::array<int, 5> enabled;
        std::vector<int> cycle;
    } cases[] = {
        {all, {IDCANCEL, IDC_CHOICE_NO, IDC_CHOICE_NO_FOR_ALL, IDOK, IDC_CHOICE_YES_FOR_ALL}},
        {firstThree, {IDCANCEL, IDOK, IDC_CHOICE_YES_FOR_ALL}},
        {kNotFoundEnabled, {IDCANCEL, IDC_CHOICE_NO, IDC_CHOICE_NO_FOR_ALL}},
    };
    for (const auto& c : cases)
    {
        std::vector<int> cycle;
        const Choice answer = Choose(
            [&](HWND d) {
                cycle = TabCycle(d, 5);
                PressKey(d, VK_RETURN);
            },
            nullptr, c.enabled, names);
        EXPECT_EQ(cycle, c.cycle);
        EXPECT_EQ(answer, Choice::Cancel);
    }

    std::vector<int> cycle;
    bool yes = true;
    {
        DialogDriver driver("Warning", [&](HWND d) {
            cycle = TabCycle(d, 2);
            PressKey(d, VK_RETURN);
        });
        yes = AskYesNo(nullptr, "Warning", "", "Do you really want to delete selected file(s)?", IDI_QUESTION_MARK);
    }
    EXPECT_EQ(cycle, (std::vector<int>{IDCANCEL, IDOK}));
    EXPECT_FALSE(yes);
}

namespace
{
// What a screen reader, the keyboard and a reader of larger text get of a prompt.
struct PromptView
{
    std::string question;
    // A visible, enabled static that is no tab stop, shows '&' as it is and comes before every button.
    bool questionIsReadFirst = false;
    bool keysAreUnique = true;
    // What is cut: outside the dialog, over another control or too small for its text.
    std::string cut;
    int lineHeight = 0;
    double contrast = 0;
};

const std::string kQuestion =
    "Could not open file \"C:\\Docs & Notes\\averyveryverylongfoldernamewithoutanyspaces\\notes.txt\", open error 2";

PromptView ViewPrompt(HWND dialog)
{
    PromptView view;
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HWND text = GetDlgItem(dialog, IDC_PROMPT_TEXT);
    wchar_t textClass[16] = {};
    GetClassNameW(text, textClass, 16);
    const LONG textStyle = GetWindowLongW(text, GWL_STYLE);
    view.question = ControlText(dialog, IDC_PROMPT_TEXT);
    view.questionIsReadFirst = lstrcmpiW(textClass, L"Static") == 0 && IsWindowVisible(text) &&
                               IsWindowEnabled(text) && !(textStyle & WS_TABSTOP) && (textStyle & SS_NOPREFIX);
    view.contrast = TextContrast(text);
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<RECT> placed;
    std::string keys;
    bool textSeen = false;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
        const std::string name = GetWindowTextUtf8(child);
        const RECT rect = RectInParent(child);
        // Buttons are drawn with edges around their caption.
        const int edges = child == text ? 0 : 2 * GetSystemMetrics(SM_CXEDGE);
        const RECT extent =
            child == text ? TextExtent(text, kQuestionFormat, &view.lineHeight) : TextExtent(child, DT_SINGLELINE);
        RECT common;
        textSeen |= child == text;
        if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX || !IsWindowVisible(child))
            continue;
        if (!IntersectRect(&common, &rect, &client) || !EqualRect(&common, &rect) ||
            extent.right + edges > rect.right - rect.left || extent.bottom + edges > rect.bottom - rect.top)
            view.cut += name + " is cut; ";
        for (const RECT& other : placed)
            if (IntersectRect(&common, &rect, &other))
                view.cut += name + " overlaps; ";
        placed.push_back(rect);
        if (child == text || name.find_first_not_of(' ') == std::string::npos)
            continue;
        view.questionIsReadFirst &= textSeen;
        const size_t mark = name.find('&');
        const char key = mark + 1 < name.size() ? static_cast<char>(std::toupper(name[mark + 1])) : 0;
        view.keysAreUnique &= key && keys.find(key) == std::string::npos;
        keys += key;
    }
    return view;
}
}

// A prompt's question is what a screen reader reads when it opens, each button
// has a key of its own, and the prompt stays whole and legible in high contrast
// and with larger text.
TEST(PromptAccess, TheQuestionIsReadFirstKeysAreUniqueAndEveryLookIsWholeAndLegible)
{
    const std::array<int, 5> all = {1, 1, 1, 1, 1};
    const std::array<std::string, 5> answers = {"Yes", "Yes for all", "Cancel", "No", "No for all"};
    const std::function<void()> prompts[] = {
        [] { ShowMessage(nullptr, "Prompt", "", kQuestion, IDI_EXCLAMATION_MARK); },
        [] { AskYesNo(nullptr, "Prompt", "", kQuestion, IDI_QUESTION_MARK); },
        [&] { AskChoice(nullptr, "Prompt", "", kQuestion, IDI_EXCLAMATION_MARK, all, answers); },
        [] { AskChoice(nullptr, "Prompt", "", kQuestion, IDI_EXCLAMATION_MARK, kNotFoundEnabled, kNotFoundCaptions); },
    };
    enum Look { Usual, HighContrast, LargerText };
    const int kLargerTextHeight = 24;
    for (Look look : {Usual, HighContrast, LargerText})
    {
        std::optional<HighContrastBlack> colours;
        std::optional<MessageFontHeight> largerText;
        if (look == HighContrast)
            colours.emplace();
        if (look == LargerText)
            largerText.emplace(-kLargerTextHeight);
        for (size_t i = 0; i < std::size(prompts); i++)
        {
            PromptView view;
            {
                DialogDriver driver("Prompt", [&](HWND dialog) {
                    view = ViewPrompt(dialog);
                    PressKey(dialog, VK_ESCAPE);
                });
                prompts[i]();
            }
            SCOPED_TRACE("look " + std::to_string(look) + ", prompt " + std::to_string(i));
            EXPECT_EQ(view.question, kQuestion);
            EXPECT_TRUE(view.questionIsReadFirst);
            EXPECT_TRUE(view.keysAreUnique);
            EXPECT_EQ(view.cut, "");
            EXPECT_GE(view.contrast, 4.5);
            EXPECT_GE(view.lineHeight, look == LargerText ? kLargerTextHeight : 1);
        }
    }
}
