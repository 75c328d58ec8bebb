#include "shell/CSplitterBar.h"

#include "framework/Gdi.h"
#include "shell/ShellMessages.h"

#include <windowsx.h>

HCURSOR CSplitterBar::sizeWeCursor = nullptr;
HCURSOR CSplitterBar::sizeNsCursor = nullptr;

namespace
{
// The middle of a span, the same way in every coordinate space, so that a bar
// dropped where it was picked up does not shift by a pixel.
int Middle(int low, int high)
{
    return low + (high - low) / 2;
}
}

bool CSplitterBar::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    orientation = rect.right - rect.left < rect.bottom - rect.top ? Orientation::Vertical : Orientation::Horizontal;
    HWND window = CreateWindowExW(0, L"STATIC", L"", style | SS_NOTIFY, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return false;
    if (!SubclassControl(window))
    {
        ::DestroyWindow(window);
        return false;
    }
    // System cursors are shared and never destroyed, so loading them once is enough.
    if (!sizeWeCursor)
        sizeWeCursor = LoadCursorW(nullptr, IDC_SIZEWE);
    if (!sizeNsCursor)
        sizeNsCursor = LoadCursorW(nullptr, IDC_SIZENS);

    // Until the owner sets a range the bar stays where it is. The limits are
    // compared with parent client coordinates, so the centre is taken in those.
    RECT bar = RectInParent(hwnd);
    int centre = orientation == Orientation::Vertical ? Middle(bar.left, bar.right) : Middle(bar.top, bar.bottom);
    SetRange(centre, centre);
    return true;
}

void CSplitterBar::SetRange(int minimumValue, int maximumValue)
{
    minimum = minimumValue;
    maximum = maximumValue;
}

void CSplitterBar::DrawTracker(int x, int y)
{
    RECT bar;
    GetWindowRect(hwnd, &bar);
    // The lines cross other windows, so they go on the whole screen.
    HDC dc = GetDC(nullptr);
    if (!dc)
        return;
    int oldRop = SetROP2(dc, R2_NOTXORPEN);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(200, 200, 200));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    if (orientation == Orientation::Vertical)
    {
        for (int lineX : {x - 1, x + 1})
        {
            MoveToEx(dc, lineX, bar.top, nullptr);
            LineTo(dc, lineX, bar.bottom);
        }
    }
    else
    {
        for (int lineY : {y - 1, y + 1})
        {
            MoveToEx(dc, bar.left, lineY, nullptr);
            LineTo(dc, bar.right, lineY);
        }
    }
    SetROP2(dc, oldRop);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    ReleaseDC(nullptr, dc);
}

void CSplitterBar::MoveBy(int x, int y)
{
    HWND parent = GetParent(hwnd);
    if (!parent || !IsWindow(parent))
        return;
    RECT bar = RectInParent(hwnd);
    if (orientation == Orientation::Vertical)
        OffsetRect(&bar, x - Middle(bar.left, bar.right), 0);
    else
        OffsetRect(&bar, 0, y - Middle(bar.top, bar.bottom));
    MoveWindow(hwnd, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, TRUE);
}

LRESULT CSplitterBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(LOWORD(lParam)))
            return TRUE;
        break;
    case WM_LBUTTONDOWN:
    {
        LRESULT result = Default(message, wParam, lParam);
        OnLButtonDown();
        return result;
    }
    case WM_MOUSEMOVE:
        if (dragging)
            OnMouseMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_LBUTTONUP:
    {
        OnLButtonUp();
        LRESULT result = Default(message, wParam, lParam);
        ReleaseCapture();
        return result;
    }
    case WM_CAPTURECHANGED:
        OnCaptureChanged(reinterpret_cast<HWND>(lParam));
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CSplitterBar::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    DrawSunkenFrame(dc, client);
    EndPaint(hwnd, &ps);
}

bool CSplitterBar::OnSetCursor(UINT hitTest)
{
    if (hitTest != HTCLIENT)
        return false;
    SetCursor(orientation == Orientation::Vertical ? sizeWeCursor : sizeNsCursor);
    return true;
}

void CSplitterBar::OnLButtonDown()
{
    dragging = true;
    SetCapture(hwnd);
    RECT bar;
    GetWindowRect(hwnd, &bar);
    if (orientation == Orientation::Vertical)
    {
        start = Middle(bar.left, bar.right);
        tracker.x = start;
    }
    else
    {
        start = Middle(bar.top, bar.bottom);
        tracker.y = start;
    }
    DrawTracker(tracker.x, tracker.y);
}

void CSplitterBar::OnMouseMove(POINT point)
{
    DrawTracker(tracker.x, tracker.y);
    HWND parent = GetParent(hwnd);
    ClientToScreen(hwnd, &point);
    if (parent)
        ScreenToClient(parent, &point);
    LONG& along = orientation == Orientation::Vertical ? point.x : point.y;
    // Minimum first, then maximum: with an inverted range the maximum wins.
    if (along < minimum)
        along = minimum;
    if (along > maximum)
        along = maximum;
    if (parent)
        ClientToScreen(parent, &point);
    tracker = point;
    DrawTracker(tracker.x, tracker.y);
}

void CSplitterBar::OnLButtonUp()
{
    if (!dragging)
        return;
    DrawTracker(tracker.x, tracker.y);
    dragging = false;
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (!owner)
        owner = GetParent(hwnd);
    if (!owner || !IsWindow(owner))
        return;
    int delta = Along(tracker) - start;
    SendMessageW(owner, WM_SPLITTER_MOVED, 0, static_cast<LPARAM>(delta));
    // The owner may have destroyed the bar while answering.
    if (!hwnd || !IsWindow(owner))
        return;
    POINT target = tracker;
    ScreenToClient(owner, &target);
    MoveBy(target.x, target.y);
}

void CSplitterBar::OnCaptureChanged(HWND newCapture)
{
    // Another window took the mouse mid-drag: the release will never reach us,
    // so the lines are taken off and the drag is dropped without a report.
    if (!dragging || newCapture == hwnd)
        return;
    DrawTracker(tracker.x, tracker.y);
    dragging = false;
}

int CSplitterBar::Along(POINT point) const
{
    return orientation == Orientation::Vertical ? point.x : point.y;
}

void ShiftEdge(HWND window, int delta, int side)
{
    HWND parent = GetParent(window);
    if (!parent || !IsWindow(parent))
        return;
    if (side != 1 && side != 2)
        return;
    RECT rect = RectInParent(window);
    if (side == 1)
        rect.right += delta;
    else
        rect.left += delta;
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}
