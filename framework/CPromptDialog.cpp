#include "framework/CPromptDialog.h"

#include "framework/Dpi.h"
#include "framework/Text.h"
#include "resources/resource.h"

#include <algorithm>
#include <cwctype>

namespace
{
// Sizes at 96 DPI.
const int kFrameLeft = 5;
const int kTextLeft = 15;
const int kTextTop = 20;
// Between the text and the frame's right edge and bottom.
const int kTextMargin = 10;
// Between the frame's caption and the text.
const int kCaptionGap = 5;
const int kButtonWidth = 100;
const int kButtonGap = 5;
// Around a button's caption.
const int kButtonPaddingX = 16;
const int kButtonPaddingY = 7;
// Between the frame and the dialog's right edge.
const int kRightMargin = 4;
// The font used where the system's message font cannot be made.
const int kFallbackFontHeight = 11;

// How a static control with SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL draws its
// text: words wrap, a word wider than a line breaks, '&' shows as it is.
const UINT kTextFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;

// Line feeds become the line breaks controls show.
std::wstring ToControlText(const std::string& text)
{
    std::wstring wide;
    for (wchar_t c : Widen(text))
    {
        if (c == L'\n' && (wide.empty() || wide.back() != L'\r'))
            wide += L'\r';
        wide += c;
    }
    return wide;
}

std::wstring WindowTextOf(HWND window)
{
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
    return text;
}

wchar_t AccessKeyOf(const std::wstring& caption)
{
    const size_t mark = caption.find(L'&');
    if (mark == std::wstring::npos || mark + 1 == caption.size())
        return 0;
    return static_cast<wchar_t>(std::towupper(caption[mark + 1]));
}

// Gives each captioned button a key no other button of the dialog has: the
// caller's own when its caption marks one, else the first free initial of a
// word, else any free letter or digit.
void AddAccessKeys(const std::vector<HWND>& buttons)
{
    std::wstring used;
    for (HWND button : buttons)
        if (wchar_t key = AccessKeyOf(WindowTextOf(button)))
            used += key;
    for (HWND button : buttons)
    {
        std::wstring caption = WindowTextOf(button);
        if (AccessKeyOf(caption))
            continue;
        size_t pick = std::wstring::npos;
        for (bool initialsOnly : {true, false})
        {
            for (size_t i = 0; i < caption.size() && pick == std::wstring::npos; i++)
            {
                const bool initial = i == 0 || caption[i - 1] == L' ';
                if (std::iswalnum(caption[i]) && (initial || !initialsOnly) &&
                    used.find(static_cast<wchar_t>(std::towupper(caption[i]))) == std::wstring::npos)
                    pick = i;
            }
        }
        if (pick == std::wstring::npos)
            continue;
        used += static_cast<wchar_t>(std::towupper(caption[pick]));
        caption.insert(pick, L"&");
        SetWindowTextW(button, caption.c_str());
    }
}
}

CPromptDialog::CPromptDialog(int templateId, const std::string& caption, const std::string& heading,
                             const std::string& text, int iconId)
    : CDialog(templateId), caption(caption), heading(heading), text(text), iconId(iconId)
{
}

CPromptDialog::~CPromptDialog()
{
    if (font)
        DeleteObject(font);
}

void CPromptDialog::Layout(const Shape& shape, const std::vector<HWND>& buttons)
{
    HICON icon = (HICON)LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16,
                                   LR_SHARED);
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    SetText(caption);
    dpi = DpiOfWindow(hwnd);
    font = CreateMessageFont(dpi);
    if (!font)
        font = CreateFontW(Scaled(kFallbackFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0,
                           0, 0, 0, L"MS Sans Serif");
    AddAccessKeys(buttons);

    HDC dc = GetDC(hwnd);
    HGDIOBJ previousFont = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    const int lineHeight = metrics.tmHeight;

    // Every button as wide as the widest caption needs, and never narrower than usual.
    int buttonWidth = Scaled(kButtonWidth);
    for (HWND button : buttons)
    {
        RECT extent = {};
        DrawTextW(dc, WindowTextOf(button).c_str(), -1, &extent, DT_SINGLELINE | DT_CALCRECT);
        buttonWidth = std::max<int>(buttonWidth, extent.right + Scaled(kButtonPaddingX));
    }
    const int buttonHeight = std::max(Scaled(shape.buttonHeight), lineHeight + Scaled(kButtonPaddingY));
    const int count = static_cast<int>(buttons.size());
    const int frameLeft = Scaled(kFrameLeft);
    const int frameRight =
        std::max(Scaled(shape.frameRight), frameLeft + count * buttonWidth + (count - 1) * Scaled(kButtonGap));

    // The text starts below the frame's caption; its height is what its lines take.
    const int textTop = std::max(Scaled(kTextTop), lineHeight + Scaled(kCaptionGap));
    const int textLeft = Scaled(kTextLeft);
    const int textWidth = frameRight - Scaled(kTextMargin) - textLeft;
    const std::wstring controlText = ToControlText(text);
    RECT measured = {0, 0, textWidth, 0};
    DrawTextW(dc, controlText.c_str(), -1, &measured, kTextFormat | DT_CALCRECT);
    const int textHeight = std::max<int>(measured.bottom, lineHeight);
    SelectObject(dc, previousFont);
    ReleaseDC(hwnd, dc);

    // A single line is centred.
    const DWORD alignment = textHeight > lineHeight ? SS_LEFT : SS_CENTER;
    textControl = CreateWindowExW(0, L"STATIC", controlText.c_str(),
                                  WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_EDITCONTROL | alignment, textLeft, textTop,
                                  textWidth, textHeight, hwnd, (HMENU)(INT_PTR)IDC_PROMPT_TEXT,
                                  GetModuleHandleW(nullptr), nullptr);
    SendMessageW(textControl, WM_SETFONT, (WPARAM)font, FALSE);
    const int frameBottom = textTop + textHeight + Scaled(kTextMargin);
    frame = CreateWindowExW(0, L"BUTTON", Widen(heading).c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, frameLeft, 0,
                            frameRight - frameLeft, frameBottom, hwnd, (HMENU)(INT_PTR)-1, GetModuleHandleW(nullptr),
                            nullptr);
    SendMessageW(frame, WM_SETFONT, (WPARAM)font, FALSE);
    // The question first, then its frame, then the buttons: the platform takes a
    // dialog's text from the statics before its buttons.
    const UINT keepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(textControl, HWND_TOP, 0, 0, 0, 0, keepPlace);
    SetWindowPos(frame, textControl, 0, 0, 0, 0, keepPlace);

    RECT windowRect, clientRect;
    GetWindowRect(hwnd, &windowRect);
    GetClientRect(hwnd, &clientRect);
    const int frameWidth = (windowRect.right - windowRect.left) - clientRect.right;
    const int width = std::max(Scaled(shape.width) + frameRight - Scaled(shape.frameRight),
                               frameRight + Scaled(kRightMargin) + frameWidth);

    // One button sits in the middle; more spread over the frame's width.
    const int buttonTop = frameBottom + Scaled(kButtonGap);
    const int gap = count > 1 ? (frameRight - frameLeft - count * buttonWidth) / (count - 1) : 0;
    for (int i = 0; i < count; i++)
    {
        const int left = count == 1 ? (width - buttonWidth) / 2 : frameLeft + i * (buttonWidth + gap);
        SendMessageW(buttons[i], WM_SETFONT, (WPARAM)font, FALSE);
        MoveWindow(buttons[i], left, buttonTop, buttonWidth, buttonHeight, FALSE);
    }
    SizeAndCentre(width, buttonTop + buttonHeight + Scaled(shape.bottomMargin));
}

int CPromptDialog::Scaled(int value) const
{
    return ScaleForDpi(value, dpi);
}

void CPromptDialog::SizeAndCentre(int width, int clientHeight)
{
    RECT windowRect, clientRect;
    GetWindowRect(hwnd, &windowRect);
    GetClientRect(hwnd, &clientRect);
    int height = clientHeight + (windowRect.bottom - windowRect.top) - (clientRect.bottom - clientRect.top);

    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (owner)
        GetWindowRect(owner, &area);
    int left = area.left + ((area.right - area.left) - width) / 2;
    int top = area.top + ((area.bottom - area.top) - height) / 2;
    SetWindowPos(hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
