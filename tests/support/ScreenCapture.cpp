#include "tests/support/ScreenCapture.h"

#include "framework/Gdi.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace
{
// "BM", the first two bytes of every bitmap file.
const WORD kBitmapFileType = 0x4D42;
}

bool SaveScreenArea(const RECT& area, const std::wstring& path)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = ((width * 3) + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = kBitmapFileType;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool whole = WriteFile(out, &file, sizeof(file), &written, nullptr) &&
                       WriteFile(out, &info, sizeof(info), &written, nullptr) &&
                       WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    CloseHandle(out);
    return whole;
}

namespace
{
const int kHighContrastElements[] = {COLOR_WINDOW,    COLOR_WINDOWTEXT,    COLOR_BTNFACE,  COLOR_BTNTEXT, COLOR_HOTLIGHT,
                                     COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT, COLOR_MENU,    COLOR_MENUTEXT};
const COLORREF kHighContrastBlack[] = {RGB(0, 0, 0),      RGB(255, 255, 255), RGB(0, 0, 0),   RGB(255, 255, 255),
                                       RGB(255, 255, 0),  RGB(26, 235, 255),  RGB(0, 0, 0),   RGB(63, 242, 0),
                                       RGB(0, 0, 0),      RGB(255, 255, 255)};
const int kElementCount = std::size(kHighContrastElements);
}

double TextContrast(HWND control, COLORREF* background)
{
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    std::map<COLORREF, size_t> counts;
    for (int y = 0; y < client.bottom; y++)
        for (int x = 0; x < client.right; x++)
            counts[GetPixel(dc, x, y)]++;
    ReleaseDC(control, dc);
    COLORREF paper = CLR_INVALID;
    for (const auto& [colour, count] : counts)
        paper = paper == CLR_INVALID || count > counts[paper] ? colour : paper;
    double contrast = 1;
    for (const auto& [colour, count] : counts)
        contrast = std::max(contrast, ContrastRatio(colour, paper));
    if (background)
        *background = paper;
    return contrast;
}

HighContrastBlack::HighContrastBlack()
{
    for (int element : kHighContrastElements)
        saved.push_back(GetSysColor(element));
    // As the system does: the setting first, then the colours, which repaint every window.
    OverrideHighContrast(1);
    SetSysColors(kElementCount, kHighContrastElements, kHighContrastBlack);
}

HighContrastBlack::~HighContrastBlack()
{
    OverrideHighContrast(-1);
    SetSysColors(kElementCount, kHighContrastElements, saved.data());
}

MessageFontHeight::MessageFontHeight(int height)
{
    saved.cbSize = sizeof(saved);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
    NONCLIENTMETRICSW changed = saved;
    changed.lfMessageFont.lfHeight = height;
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(changed), &changed, 0);
}

MessageFontHeight::~MessageFontHeight()
{
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
}
