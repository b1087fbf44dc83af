#include "WinTestSupport.h"

#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Surface.h"

using namespace WinTest;

namespace {

class PaintingTest : public WindowTest {};

TEST_F(PaintingTest, InvalidationsMergeIntoOnePaintThatComesAfterPostedMessages)
{
    HWND window = TopLevel(100, 100, 200, 150);
    PumpPending();
    Log().log.clear();
    RECT paintArea{};
    Log().hook = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_PAINT)
            return false;
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        paintArea = paint.rcPaint;
        EndPaint(hwnd, &paint);
        result = 0;
        return true;
    };
    const RECT first{10, 10, 20, 20}, second{50, 40, 60, 70};
    InvalidateRect(window, &first, FALSE);
    InvalidateRect(window, &second, FALSE);
    PostMessageW(window, WM_USER + 1, 0, 0);
    PumpPending();

    EXPECT_EQ(Log().MessagesOf(window, {WM_USER + 1, WM_PAINT, WM_ERASEBKGND}),
              (std::vector<UINT>{WM_USER + 1, WM_PAINT}));
    EXPECT_EQ(paintArea, (RECT{10, 10, 60, 70}));
    RECT left;
    EXPECT_FALSE(GetUpdateRect(window, &left, FALSE));
}

TEST_F(PaintingTest, EraseIsRequestedOnlyWhenAnInvalidationAskedForIt)
{
    HWND window = TopLevel(0, 0, 50, 50);
    PumpPending();
    Log().log.clear();
    InvalidateRect(window, nullptr, TRUE);
    PumpPending();
    EXPECT_EQ(Log().MessagesOf(window, {WM_ERASEBKGND, WM_PAINT}), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));

    Log().log.clear();
    InvalidateRect(window, nullptr, FALSE);
    PumpPending();
    EXPECT_EQ(Log().MessagesOf(window, {WM_ERASEBKGND, WM_PAINT}), (std::vector<UINT>{WM_PAINT}));
}

TEST_F(PaintingTest, ChildrenPaintAfterTheirParentAndClipChildrenKeepsTheParentOffThem)
{
    HWND parent = TopLevel(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    HWND child = Child(parent, 20, 20, 30, 30);
    PumpPending();
    Log().hook = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_PAINT)
            return false;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        RECT whole{0, 0, 100, 100};
        HBRUSH brush = CreateSolidBrush(hwnd == parent ? RGB(255, 0, 0) : RGB(0, 0, 255));
        FillRect(dc, &whole, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &paint);
        result = 0;
        return true;
    };
    InvalidateRect(parent, nullptr, FALSE);
    InvalidateRect(child, nullptr, FALSE);
    Log().log.clear();
    PumpPending();

    const auto paints = Log().Of(WM_PAINT);
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].window, parent);
    EXPECT_EQ(paints[1].window, child);
    HDC dc = GetWindowDC(parent);
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 20, 20), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 49, 49), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 50, 50), RGB(255, 0, 0));
    ReleaseDC(parent, dc);

    // Repainting only the parent leaves the child's pixels alone.
    InvalidateRect(parent, nullptr, FALSE);
    Log().log.clear();
    PumpPending();
    EXPECT_EQ(Log().Of(WM_PAINT).size(), 1u);
    dc = GetWindowDC(parent);
    EXPECT_EQ(GetPixel(dc, 30, 30), RGB(0, 0, 255));
    ReleaseDC(parent, dc);
}

TEST_F(PaintingTest, AParentWithoutClipChildrenRepaintsTheChildrenItCovers)
{
    HWND parent = TopLevel(0, 0, 100, 100);
    HWND inside = Child(parent, 10, 10, 20, 20);
    HWND outside = Child(parent, 60, 60, 20, 20);
    PumpPending();
    Log().log.clear();
    const RECT area{0, 0, 40, 40};
    InvalidateRect(parent, &area, FALSE);
    PumpPending();
    const auto paints = Log().Of(WM_PAINT);
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].window, parent);
    EXPECT_EQ(paints[1].window, inside);
    EXPECT_NE(paints[1].window, outside);
}

TEST_F(PaintingTest, HiddenWindowsGetNoPaintUntilShown)
{
    HWND window = TopLevel(0, 0, 40, 40, WS_POPUP);
    InvalidateRect(window, nullptr, FALSE);
    Log().log.clear();
    PumpPending();
    EXPECT_TRUE(Log().Of(WM_PAINT).empty());
    ShowWindow(window, SW_SHOW);
    PumpPending();
    EXPECT_EQ(Log().Of(WM_PAINT).size(), 1u);
}

TEST_F(PaintingTest, ResizingSendsWmSizeAndKeepsTheSurfaceInStep)
{
    HWND window = TopLevel(0, 0, 40, 30);
    Log().log.clear();
    MoveWindow(window, 5, 6, 80, 60, TRUE);
    const auto sizes = Log().Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(sizes[0].lParam)), 80);
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(sizes[0].lParam)), 60);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect, (RECT{5, 6, 85, 66}));
    HDC dc = GetDC(window);
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 80, 60}));
    ReleaseDC(window, dc);
}

TEST_F(PaintingTest, MaximisingFillsTheWorkAreaAndRestoringGoesBack)
{
    HWND window = TopLevel(10, 10, 300, 200);
    Log().log.clear();
    ShowWindow(window, SW_SHOWMAXIMIZED);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect, (RECT{0, 0, 1920, 1040}));
    ASSERT_FALSE(Log().Of(WM_SIZE).empty());
    EXPECT_EQ(Log().Of(WM_SIZE).back().wParam, SIZE_MAXIMIZED);
    ShowWindow(window, SW_RESTORE);
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect, (RECT{10, 10, 310, 210}));
}

} // namespace
