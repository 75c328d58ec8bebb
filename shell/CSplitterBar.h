// The bar between two panels that the user drags to share the space between
// them. While the button is held, a pair of lines follows the mouse within the
// owner's limits; on release the owner gets WM_SPLITTER_MOVED and the bar moves.
#pragma once

#include "framework/CWnd.h"

class CSplitterBar : public CWnd
{
public:
    enum class Orientation
    {
        Vertical = 1,   // moves along x
        Horizontal = 2, // moves along y
    };

    // A bar narrower than it is tall is vertical; rect is in the parent's client coordinates.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    // The drag limits on the moving axis, in the parent's client coordinates.
    void SetRange(int minimum, int maximum);
    // Draws the drag lines at a screen point; drawing them twice removes them.
    void DrawTracker(int x, int y);
    // Puts the bar's centre on the moving axis at x or y (parent's client coordinates).
    void MoveBy(int x, int y);

    Orientation GetOrientation() const { return orientation; }
    bool IsDragging() const { return dragging; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool dragging = false;
    Orientation orientation = Orientation::Vertical;
    POINT tracker = {};
    int start = 0;
    int minimum = -1;
    int maximum = -1;

    static HCURSOR sizeWeCursor;
    static HCURSOR sizeNsCursor;

    void OnPaint();
    bool OnSetCursor(UINT hitTest);
    void OnLButtonDown();
    void OnMouseMove(POINT point);
    void OnLButtonUp();
    void OnCaptureChanged(HWND newCapture);
    // The moving-axis coordinate of a point.
    int Along(POINT point) const;
};

// Moves one edge of a child window by delta, in its parent: side 1 is the
// right edge, side 2 the left edge; any other side leaves the window alone.
void ShiftEdge(HWND window, int delta, int side);
