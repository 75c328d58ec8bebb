#include "shell/CSplitterBar.h"

#include "shell/ShellMessages.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
const wchar_t kParentClass[] = L"VelmoraSplitterTestParent";

struct Report
{
    WPARAM wParam;
    LPARAM delta;
};

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SPLITTER_MOVED)
    {
        auto* reports = reinterpret_cast<std::vector<Report>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (reports)
            reports->push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A plain window that owns the bar and records what the bar reports.
class SplitterBarTest : public testing::Test
{
protected:
    HWND parent = nullptr;
    std::vector<Report> reports;

    void SetUp() override
    {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kParentClass;
        RegisterClassExW(&wc);
        parent = CreateWindowExW(0, kParentClass, L"", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
        SetWindowLongPtrW(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&reports));
    }

    void TearDown() override
    {
        if (parent)
            DestroyWindow(parent);
    }

    // The bar's client coordinates of a point given in the parent's.
    static LPARAM AtParentPoint(HWND bar, int x, int y)
    {
        POINT point = {x, y};
        MapWindowPoints(GetParent(bar), bar, &point, 1);
        return MAKELPARAM(point.x, point.y);
    }

    // Presses near the bar's top left, moves through the given parent points, releases at the last.
    static void Drag(HWND bar, const std::vector<POINT>& path)
    {
        SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
        LPARAM last = MAKELPARAM(1, 1);
        for (POINT point : path)
        {
            last = AtParentPoint(bar, point.x, point.y);
            SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, last);
        }
        SendMessageW(bar, WM_LBUTTONUP, 0, last);
    }
};

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != 0;
}
}

TEST_F(SplitterBarTest, DragWithinLimitsReportsDistanceAndMovesBar)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, {100, 0, 104, 300}, parent, 153));
    EXPECT_EQ(bar.GetOrientation(), CSplitterBar::Orientation::Vertical);
    EXPECT_EQ(GetDlgCtrlID(bar.hwnd), 153);
    bar.SetRange(50, 250);

    // Right: the bar's centre goes from 102 to 152.
    Drag(bar.hwnd, {{70, 10}, {152, 40}});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].wParam, 0u);
    EXPECT_EQ(reports[0].delta, 50);
    EXPECT_TRUE(SameRect(RectInParent(bar.hwnd), {150, 0, 154, 300}));
    EXPECT_FALSE(bar.IsDragging());
    EXPECT_EQ(GetCapture(), nullptr);

    // Left again: a negative distance.
    Drag(bar.hwnd, {{60, 200}});
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].delta, -92);
    EXPECT_TRUE(SameRect(RectInParent(bar.hwnd), {58, 0, 62, 300}));
}

TEST_F(SplitterBarTest, DragBeyondLimitsStopsAtThemAndMeasuresFromPressCentre)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, {100, 0, 104, 300}, parent, 153));
    bar.SetRange(50, 250);

    Drag(bar.hwnd, {{200, 10}, {390, 10}});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].delta, 148);
    EXPECT_TRUE(SameRect(RectInParent(bar.hwnd), {248, 0, 252, 300}));

    Drag(bar.hwnd, {{-500, 10}});
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].delta, -200);
    EXPECT_TRUE(SameRect(RectInParent(bar.hwnd), {48, 0, 52, 300}));
}

TEST_F(SplitterBarTest, PressAndReleaseWithoutMovingReportsZeroAndBarStays)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, {101, 0, 106, 300}, parent, 153));
    bar.SetRange(50, 250);
    RECT before = RectInParent(bar.hwnd);

    Drag(bar.hwnd, {});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].delta, 0);
    EXPECT_TRUE(SameRect(RectInParent(bar.hwnd), before));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SplitterBarTest, ReleaseWithoutPressOnlyReleasesCapture)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, {100, 0, 104, 300}, parent, 153));
    bar.SetRange(50, 250);
    RECT before = RectInParent(bar.hwnd);

    SetCapture(bar.hwnd);
    SendMessageW(bar.hwnd, WM_MOUSEMOVE, 0, AtParentPoint(bar.hwnd, 200, 10));
    SendMessageW(bar.hwnd, WM_LBUTTONUP, 0, AtParentPoint(bar.hwnd, 200, 10));
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(SameRect(RectInParent(bar.hwnd), before));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SplitterBarTest, InvertedRangeKeepsBarAtMaximum)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, {100, 0, 104, 300}, parent, 153));
    bar.SetRange(200, 120);

    Drag(bar.hwnd, {{10, 10}});
    Drag(bar.hwnd, {{300, 10}});
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].delta, 18);
    EXPECT_EQ(reports[1].delta, 0);
    EXPECT_TRUE(SameRect(RectInParent(bar.hwnd), {118, 0, 122, 300}));
}

TEST_F(SplitterBarTest, NewBarStaysPutUntilOwnerSetsRange)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, {100, 0, 104, 300}, parent, 153));

    Drag(bar.hwnd, {{300, 10}});
    Drag(bar.hwnd, {{10, 10}});
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].delta, 0);
    EXPECT_EQ(reports[1].delta, 0);
    EXPECT_TRUE(SameRect(RectInParent(bar.hwnd), {100, 0, 104, 300}));
}

TEST_F(SplitterBarTest, HorizontalBarMovesAlongYOnly)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, {0, 100, 400, 104}, parent, 153));
    EXPECT_EQ(bar.GetOrientation(), CSplitterBar::Orientation::Horizontal);
    bar.SetRange(20, 280);

    Drag(bar.hwnd, {{350, 132}});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].delta, 30);
    EXPECT_TRUE(SameRect(RectInParent(bar.hwnd), {0, 130, 400, 134}));

    Drag(bar.hwnd, {{5, 290}});
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].delta, 148);
    EXPECT_TRUE(SameRect(RectInParent(bar.hwnd), {0, 278, 400, 282}));
}

TEST_F(SplitterBarTest, LosingCaptureMidDragDropsItWithoutReport)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, {100, 0, 104, 300}, parent, 153));
    bar.SetRange(50, 250);
    RECT before = RectInParent(bar.hwnd);

    SendMessageW(bar.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    SendMessageW(bar.hwnd, WM_MOUSEMOVE, MK_LBUTTON, AtParentPoint(bar.hwnd, 200, 10));
    EXPECT_TRUE(bar.IsDragging());
    SetCapture(parent);
    EXPECT_FALSE(bar.IsDragging());
    SendMessageW(bar.hwnd, WM_LBUTTONUP, 0, AtParentPoint(bar.hwnd, 200, 10));
    ReleaseCapture();

    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(SameRect(RectInParent(bar.hwnd), before));
}

TEST_F(SplitterBarTest, CursorOverClientShowsSizingArrowsOfTheAxis)
{
    CSplitterBar vertical;
    CSplitterBar horizontal;
    ASSERT_TRUE(vertical.Create(WS_CHILD | WS_VISIBLE, {100, 0, 104, 200}, parent, 153));
    ASSERT_TRUE(horizontal.Create(WS_CHILD | WS_VISIBLE, {0, 250, 400, 254}, parent, 154));
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR westEast = LoadCursorW(nullptr, IDC_SIZEWE);
    HCURSOR northSouth = LoadCursorW(nullptr, IDC_SIZENS);

    SetCursor(arrow);
    EXPECT_TRUE(SendMessageW(vertical.hwnd, WM_SETCURSOR, (WPARAM)vertical.hwnd, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), westEast);
    EXPECT_TRUE(SendMessageW(horizontal.hwnd, WM_SETCURSOR, (WPARAM)horizontal.hwnd, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), northSouth);

    // Outside the client area the bar leaves the cursor to the usual handling.
    SetCursor(arrow);
    SendMessageW(vertical.hwnd, WM_SETCURSOR, (WPARAM)vertical.hwnd, MAKELPARAM(HTBORDER, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), westEast);
}

TEST_F(SplitterBarTest, PaintsSunkenFrameAndTrackerLinesLeaveNoTrace)
{
    CSplitterBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, {100, 0, 106, 300}, parent, 153));
    UpdateWindow(parent);
    UpdateWindow(bar.hwnd);

    HDC dc = GetDC(bar.hwnd);
    COLORREF topEdge = GetPixel(dc, 3, 0);
    COLORREF leftEdge = GetPixel(dc, 0, 150);
    COLORREF rightEdge = GetPixel(dc, 5, 150);
    COLORREF bottomEdge = GetPixel(dc, 3, 299);
    ReleaseDC(bar.hwnd, dc);
    ASSERT_NE(GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(topEdge, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(leftEdge, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(rightEdge, GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(bottomEdge, GetSysColor(COLOR_BTNHIGHLIGHT));

    // Lines over the white parent, drawn once and then again.
    POINT line = {50, 100};
    ClientToScreen(parent, &line);
    HDC screen = GetDC(nullptr);
    COLORREF blank = GetPixel(screen, line.x - 1, line.y);
    bar.DrawTracker(line.x, line.y);
    COLORREF drawn = GetPixel(screen, line.x - 1, line.y);
    COLORREF between = GetPixel(screen, line.x, line.y);
    bar.DrawTracker(line.x, line.y);
    COLORREF erased = GetPixel(screen, line.x - 1, line.y);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(blank, RGB(255, 255, 255));
    EXPECT_EQ(drawn, RGB(200, 200, 200));
    EXPECT_EQ(between, RGB(255, 255, 255));
    EXPECT_EQ(erased, blank);
}

TEST_F(SplitterBarTest, ShiftEdgeMovesOnlyTheNamedEdge)
{
    HWND panel = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 20, 100, 200, parent,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(panel, nullptr);

    ShiftEdge(panel, 15, 1);
    EXPECT_TRUE(SameRect(RectInParent(panel), {10, 20, 125, 220}));
    ShiftEdge(panel, -5, 2);
    EXPECT_TRUE(SameRect(RectInParent(panel), {5, 20, 125, 220}));
    ShiftEdge(panel, 30, 0);
    ShiftEdge(panel, 30, 3);
    EXPECT_TRUE(SameRect(RectInParent(panel), {5, 20, 125, 220}));

    // A window without a parent is left alone.
    RECT topLevel;
    GetWindowRect(parent, &topLevel);
    ShiftEdge(parent, 40, 1);
    RECT after;
    GetWindowRect(parent, &after);
    EXPECT_TRUE(SameRect(after, topLevel));
}
