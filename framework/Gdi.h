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
