#include "framework/Gdi.h"

#include <richedit.h>

#include <atomic>

namespace
{
std::atomic<int> highContrastOverride{-1};
}

void DrawResourceBitmap(HDC dc, int bitmapId, int left, int top, int width, int height, COLORREF transparent)
{
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap)
        return;
    BITMAP size = {};
    GetObjectW(bitmap, sizeof(size), &size);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, bitmap);
    TransparentBlt(dc, left, top, width, height, source, 0, 0, size.bmWidth, size.bmHeight, transparent);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
}

void DrawSunkenFrame(HDC dc, const RECT& frame)
{
    HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
    HBRUSH highlight = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    RECT top = {frame.left, frame.top, frame.right - 1, frame.top + 1};
    RECT left = {frame.left, frame.top, frame.left + 1, frame.bottom - 1};
    RECT bottom = {frame.left, frame.bottom - 1, frame.right, frame.bottom};
    RECT right = {frame.right - 1, frame.top, frame.right, frame.bottom};
    FillRect(dc, &top, shadow);
    FillRect(dc, &left, shadow);
    FillRect(dc, &bottom, highlight);
    FillRect(dc, &right, highlight);
}

void SetDefaultTextColour(HWND richEdit, COLORREF colour)
{
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    format.dwEffects = 0;
    format.crTextColor = colour;
    SendMessageW(richEdit, EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&format);
}

bool IsHighContrast()
{
    if (highContrastOverride >= 0)
        return highContrastOverride != 0;
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof(contrast);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

void OverrideHighContrast(int state)
{
    highContrastOverride = state;
}
