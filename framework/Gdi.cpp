#include "framework/Gdi.h"

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
