// What the screen shows, saved for a person to look at or measured, and the
// system settings it is looked at under.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Writes the part of the screen inside `area` as a 24-bit BMP; false when the file could not be written.
bool SaveScreenArea(const RECT& area, const std::wstring& path);

// The contrast (WCAG, 1 to 21) between the colour a control shows most, its
// background, and the colour that stands out most from it, its text at full
// ink; 1 when it shows nothing on its background, which goes to `background`.
double TextContrast(HWND control, COLORREF* background = nullptr);

// The system's colours of High Contrast Black, and the program told that high
// contrast is on, while it lives.
class HighContrastBlack
{
public:
    HighContrastBlack();
    ~HighContrastBlack();

private:
    std::vector<COLORREF> saved;
};

// The system's message font at a LOGFONT height while it lives.
class MessageFontHeight
{
public:
    explicit MessageFontHeight(int height);
    ~MessageFontHeight();

private:
    NONCLIENTMETRICSW saved = {};
};
