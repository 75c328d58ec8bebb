#include "framework/Gdi.h"

#include <richedit.h>

#include <atomic>
#include <cmath>

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

namespace
{
double Linear(BYTE channel)
{
    const double value = channel / 255.0;
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double Luminance(COLORREF colour)
{
    return 0.2126 * Linear(GetRValue(colour)) + 0.7152 * Linear(GetGValue(colour)) +
           0.0722 * Linear(GetBValue(colour));
}

BYTE Towards(BYTE from, BYTE to, int step, int steps)
{
    return static_cast<BYTE>(from + (to - from) * step / steps);
}

// `from` moved toward `end` in small steps until `reads` takes it; `end` at the latest.
template <class Reads> COLORREF MovedUntil(COLORREF from, COLORREF end, Reads reads)
{
    const int kSteps = 32;
    for (int step = 0; step < kSteps; step++)
    {
        const COLORREF moved = RGB(Towards(GetRValue(from), GetRValue(end), step, kSteps),
                                   Towards(GetGValue(from), GetGValue(end), step, kSteps),
                                   Towards(GetBValue(from), GetBValue(end), step, kSteps));
        if (reads(moved))
            return moved;
    }
    return end;
}
}

double ContrastRatio(COLORREF a, COLORREF b)
{
    const double first = Luminance(a) + 0.05;
    const double second = Luminance(b) + 0.05;
    return first > second ? first / second : second / first;
}

COLORREF ReadableColour(COLORREF text, COLORREF background, double ratio)
{
    // Black or white always reads at the least ratio asked (up to 4.58 on any background).
    const COLORREF black = RGB(0, 0, 0);
    const COLORREF end = ContrastRatio(background, black) > ContrastRatio(background, RGB(255, 255, 255))
                             ? black
                             : RGB(255, 255, 255);
    return MovedUntil(text, end, [&](COLORREF moved) { return ContrastRatio(moved, background) >= ratio; });
}

COLORREF ReadableBackground(COLORREF text, COLORREF background, double ratio)
{
    const COLORREF black = RGB(0, 0, 0);
    const COLORREF end = ContrastRatio(text, black) > ContrastRatio(background, black) ? black : RGB(255, 255, 255);
    return MovedUntil(background, end, [&](COLORREF moved) { return ContrastRatio(text, moved) >= ratio; });
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
