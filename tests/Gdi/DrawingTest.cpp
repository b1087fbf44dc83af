#include "GdiTestSupport.h"

using namespace GdiTest;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

TEST(DrawingTest, FrameRectDrawsOnePixelInsideWithExclusiveRightAndBottomEdges)
{
    Canvas canvas(20, 20);
    ScopedBrush red(kRed);
    const RECT rect{2, 3, 10, 8};
    FrameRect(canvas.Dc(), &rect, red.brush);
    EXPECT_EQ(canvas.At(2, 3), kRed);
    EXPECT_EQ(canvas.At(9, 7), kRed);
    EXPECT_EQ(canvas.At(9, 3), kRed);
    EXPECT_EQ(canvas.At(10, 3), kWhite);
    EXPECT_EQ(canvas.At(2, 8), kWhite);
    EXPECT_EQ(canvas.At(3, 4), kWhite);
    // Exactly the frame: 2 * 8 + 2 * 3 pixels.
    EXPECT_EQ(canvas.CountOther(RECT{0, 0, 20, 20}, kWhite), 22);
}

TEST(DrawingTest, RectangleOutlinesWithThePenAndFillsTheInsideWithTheBrush)
{
    Canvas canvas(20, 20);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    ScopedBrush blue(kBlue);
    HGDIOBJ oldPen = SelectObject(canvas.Dc(), pen);
    HGDIOBJ oldBrush = SelectObject(canvas.Dc(), blue.brush);
    Rectangle(canvas.Dc(), 1, 1, 6, 5);
    EXPECT_EQ(canvas.At(1, 1), kRed);
    EXPECT_EQ(canvas.At(5, 4), kRed);
    EXPECT_EQ(canvas.At(2, 2), kBlue);
    EXPECT_EQ(canvas.At(4, 3), kBlue);
    EXPECT_EQ(canvas.At(6, 1), kWhite);
    EXPECT_EQ(canvas.At(1, 5), kWhite);

    // The null brush leaves the inside alone.
    SelectObject(canvas.Dc(), GetStockObject(NULL_BRUSH));
    Rectangle(canvas.Dc(), 10, 10, 15, 15);
    EXPECT_EQ(canvas.At(10, 10), kRed);
    EXPECT_EQ(canvas.At(12, 12), kWhite);
    SelectObject(canvas.Dc(), oldPen);
    SelectObject(canvas.Dc(), oldBrush);
    DeleteObject(pen);
}

TEST(DrawingTest, VerticalGradientStartsAndEndsWithItsVertexColours)
{
    Canvas canvas(10, 30);
    TRIVERTEX vertices[2];
    vertices[0].x = 0;
    vertices[0].y = 5;
    vertices[0].Red = 0xF4 << 8;
    vertices[0].Green = 0xE6 << 8;
    vertices[0].Blue = 0xDA << 8;
    vertices[1].x = 10;
    vertices[1].y = 25;
    vertices[1].Red = 0xEF << 8;
    vertices[1].Green = 0xDD << 8;
    vertices[1].Blue = 0xCE << 8;
    GRADIENT_RECT mesh{0, 1};
    ASSERT_TRUE(GradientFill(canvas.Dc(), vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
    EXPECT_EQ(canvas.At(0, 5), RGB(0xF4, 0xE6, 0xDA));
    EXPECT_EQ(canvas.At(9, 5), RGB(0xF4, 0xE6, 0xDA));
    EXPECT_EQ(canvas.At(0, 24), RGB(0xEF, 0xDD, 0xCE));
    EXPECT_EQ(canvas.At(0, 25), kWhite);
    EXPECT_EQ(canvas.At(0, 4), kWhite);
    const COLORREF middle = canvas.At(3, 15);
    EXPECT_LE(GetRValue(middle), 0xF4);
    EXPECT_GE(GetRValue(middle), 0xEF);
    // A mesh naming a vertex that is not there is refused.
    GRADIENT_RECT bad{0, 2};
    EXPECT_FALSE(GradientFill(canvas.Dc(), vertices, 2, &bad, 1, GRADIENT_FILL_RECT_V));
}

TEST(DrawingTest, LinesLeaveOutTheirEndPointAndFollowTheRop)
{
    Canvas canvas(20, 20);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HGDIOBJ old = SelectObject(canvas.Dc(), pen);
    MoveToEx(canvas.Dc(), 2, 2, nullptr);
    LineTo(canvas.Dc(), 8, 2);
    EXPECT_EQ(canvas.At(2, 2), kRed);
    EXPECT_EQ(canvas.At(7, 2), kRed);
    EXPECT_EQ(canvas.At(8, 2), kWhite);
    LineTo(canvas.Dc(), 8, 6);
    EXPECT_EQ(canvas.At(8, 2), kRed);
    EXPECT_EQ(canvas.At(8, 6), kWhite);
    SetROP2(canvas.Dc(), R2_NOT);
    MoveToEx(canvas.Dc(), 2, 10, nullptr);
    LineTo(canvas.Dc(), 4, 10);
    EXPECT_EQ(canvas.At(2, 10), RGB(0, 0, 0));
    SelectObject(canvas.Dc(), old);
    DeleteObject(pen);
}

TEST(DrawingTest, ViewportOriginAndClippingShiftAndLimitDrawing)
{
    Canvas canvas(30, 30);
    ScopedBrush red(kRed);
    SetViewportOrgEx(canvas.Dc(), 10, 10, nullptr);
    ExcludeClipRect(canvas.Dc(), 2, 2, 4, 4);
    const RECT rect{0, 0, 6, 6};
    FillRect(canvas.Dc(), &rect, red.brush);
    EXPECT_EQ(canvas.At(0, 0), kRed); // logical (0, 0) is pixel (10, 10)
    EXPECT_EQ(canvas.At(2, 2), kWhite); // excluded
    SetViewportOrgEx(canvas.Dc(), 0, 0, nullptr);
    EXPECT_EQ(canvas.At(10, 10), kRed);
    EXPECT_EQ(canvas.At(12, 12), kWhite);
    EXPECT_EQ(canvas.At(15, 15), kRed);
    EXPECT_EQ(canvas.At(16, 16), kWhite);
    RECT box;
    EXPECT_EQ(GetClipBox(canvas.Dc(), &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{0, 0, 30, 30}));
}

TEST(DrawingTest, SaveAndRestoreBringBackObjectsColoursAndClip)
{
    Canvas canvas(10, 10);
    const int level = SaveDC(canvas.Dc());
    SetTextColor(canvas.Dc(), kRed);
    IntersectClipRect(canvas.Dc(), 0, 0, 2, 2);
    ASSERT_TRUE(RestoreDC(canvas.Dc(), level));
    EXPECT_EQ(GetTextColor(canvas.Dc()), RGB(0, 0, 0));
    RECT box;
    GetClipBox(canvas.Dc(), &box);
    EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
    EXPECT_FALSE(RestoreDC(canvas.Dc(), 1));
}

TEST(DrawingTest, BitBltCopiesTheOverlappingAreaAndStaleHandlesFailCleanly)
{
    Canvas source(10, 10, kBlue);
    Canvas target(20, 20);
    ASSERT_TRUE(BitBlt(target.Dc(), 5, 5, 20, 20, source.Dc(), 2, 2, SRCCOPY));
    EXPECT_EQ(target.At(5, 5), kBlue);
    EXPECT_EQ(target.At(12, 12), kBlue);
    EXPECT_EQ(target.At(13, 13), kWhite); // beyond the source's 8 remaining pixels
    EXPECT_EQ(target.At(4, 5), kWhite);

    HBRUSH brush = CreateSolidBrush(kRed);
    DeleteObject(brush);
    const RECT rect{0, 0, 5, 5};
    EXPECT_EQ(FillRect(target.Dc(), &rect, brush), 0);
    EXPECT_FALSE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    EXPECT_EQ(SelectObject(gone, GetStockObject(BLACK_PEN)), nullptr);
}

} // namespace

namespace {

TEST(DrawingTest, TheWindowOriginIsTheLogicalPointDrawnAtTheViewportOrigin)
{
    Canvas canvas(20, 20);
    ScopedBrush red(kRed);
    SetViewportOrgEx(canvas.Dc(), 5, 5, nullptr);
    SetWindowOrgEx(canvas.Dc(), 10, 10, nullptr);
    const RECT rect{10, 10, 12, 12};
    FillRect(canvas.Dc(), &rect, red.brush);
    POINT previous;
    SetWindowOrgEx(canvas.Dc(), 0, 0, &previous);
    SetViewportOrgEx(canvas.Dc(), 0, 0, nullptr);
    EXPECT_EQ(previous, (POINT{10, 10}));
    EXPECT_EQ(canvas.At(5, 5), kRed);
    EXPECT_EQ(canvas.At(6, 6), kRed);
    EXPECT_EQ(canvas.CountOther(RECT{0, 0, 20, 20}, kWhite), 4);
    // Only one logical unit to one pixel is offered; other modes leave the context be.
    EXPECT_EQ(SetMapMode(canvas.Dc(), MM_ANISOTROPIC), 0);
    EXPECT_EQ(GetMapMode(canvas.Dc()), MM_TEXT);
    EXPECT_EQ(SetMapMode(canvas.Dc(), MM_TEXT), MM_TEXT);
}

} // namespace
