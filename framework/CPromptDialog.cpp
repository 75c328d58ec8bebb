#include "framework/CPromptDialog.h"

#include "framework/Dpi.h"
#include "framework/Gdi.h"
#include "framework/Text.h"
#include "resources/resource.h"

#include <richedit.h>

#include <algorithm>

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

// Line feeds become paragraph breaks the rich-edit control counts as lines.
static std::wstring ToControlText(const std::string& text)
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

HWND CPromptDialog::CreateTextControl(DWORD extraStyle, int left, int top, int right, int bottom)
{
    static HMODULE richEdit = LoadLibraryW(L"riched20.dll");
    DWORD style = WS_CHILD | WS_VISIBLE | WS_DISABLED | ES_MULTILINE | extraStyle;
    const wchar_t* className = richEdit ? RICHEDIT_CLASSW : L"EDIT";
    HWND control = CreateWindowExW(0, className, L"", style, left, top, right - left, bottom - top, hwnd,
                                   (HMENU)(INT_PTR)IDC_PROMPT_TEXT, GetModuleHandleW(nullptr), nullptr);
    if (!control)
        return nullptr;
    SendMessageW(control, WM_SETFONT, (WPARAM)font, FALSE);
    SetDefaultTextColour(control, RGB(0, 0, 0));
    return control;
}

int CPromptDialog::LayoutText(int textRight, int singleLineRight, int frameRight)
{
    HICON icon = (HICON)LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16,
                                   LR_SHARED);
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    SetText(caption);
    dpi = DpiOfWindow(hwnd);
    const int left = Scaled(15);
    const int top = Scaled(20);
    frameRight = Scaled(frameRight);
    // The text keeps clear of the frame's right side, where a wider control would hide its line ends.
    textRight = std::min(Scaled(textRight), frameRight - Scaled(5) - left);
    singleLineRight = Scaled(singleLineRight);

    font = CreateFontW(Scaled(11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                       L"MS Sans Serif");
    textControl = CreateTextControl(0, left, top, textRight, Scaled(100));

    // The line height comes from the control's own default font, as its lines are counted.
    int lineHeight = 0;
    HDC dc = GetDC(textControl);
    SetMapMode(dc, MM_TEXT);
    TEXTMETRICW metrics = {};
    if (GetTextMetricsW(dc, &metrics))
        lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    ReleaseDC(textControl, dc);

    std::wstring controlText = ToControlText(text);
    SetWindowTextW(textControl, controlText.c_str());
    int lines = (int)SendMessageW(textControl, EM_GETLINECOUNT, 0, 0);
    int height = lines * lineHeight;
    MoveWindow(textControl, left, top, textRight, height, FALSE);

    if (lines == 1)
    {
        ::DestroyWindow(textControl);
        textControl = CreateTextControl(ES_CENTER | ES_READONLY, left, top, singleLineRight, height + top);
        SetWindowTextW(textControl, controlText.c_str());
    }

    frame = CreateWindowExW(0, L"BUTTON", Widen(heading).c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, Scaled(5), 0,
                            frameRight - Scaled(5), height + Scaled(30), hwnd, (HMENU)(INT_PTR)-1, GetModuleHandleW(nullptr),
                            nullptr);
    SendMessageW(frame, WM_SETFONT, (WPARAM)font, FALSE);
    return height;
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
