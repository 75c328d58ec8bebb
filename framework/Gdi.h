// Drawing helpers shared by windows that paint themselves.
#pragma once

#include <windows.h>

// Draws a bitmap resource of the program stretched into a rectangle, leaving
// out the pixels of the transparent colour. Nothing is drawn when it cannot be loaded.
void DrawResourceBitmap(HDC dc, int bitmapId, int left, int top, int width, int height, COLORREF transparent);
// The colour of a rich edit control's text; it keeps no other effect.
void SetDefaultTextColour(HWND richEdit, COLORREF colour);
// A one-pixel sunken frame: shadow above and left, highlight below and right.
void DrawSunkenFrame(HDC dc, const RECT& frame);
// How far apart two colours read, as the ratio of their relative luminances
// (each plus 0.05): from 1 (the same) to 21 (black on white).
double ContrastRatio(COLORREF a, COLORREF b);
// The text colour as it is where it reads on the background at least at the
// ratio asked (4.5 is the least for normal text); otherwise moved toward black
// or white, whichever the background is farther from, until it does.
COLORREF ReadableColour(COLORREF text, COLORREF background, double ratio = 4.5);
// The same for a background behind text whose colour stays: moved toward black
// behind lighter text, toward white behind darker text, until the text reads.
COLORREF ReadableBackground(COLORREF text, COLORREF background, double ratio = 4.5);

// Whether the user runs a high-contrast theme, in which windows draw with the
// system's colour pairs instead of colours of their own. Read at every paint.
bool IsHighContrast();
// Stands in for the setting, which not every platform lets a test change:
// 1 on, 0 off, -1 the system's.
void OverrideHighContrast(int state);
