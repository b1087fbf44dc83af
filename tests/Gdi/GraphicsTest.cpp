#include "GdiTestSupport.h"

#include "Imaging/PictureDrawing.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/Graphics.h"

#include <vector>

using namespace GdiTest;
using namespace Platform::Gdiplus;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// A picture of one ARGB colour.
std::shared_ptr<Bitmap> Plain(int width, int height, std::uint32_t argb)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height), argb);
    return Bitmap::FromPixels(width, height, width * 4, pixels.data());
}

TEST(GraphicsTest, ArgbFillsBlendOverWhatIsThere)
{
    Canvas canvas(10, 10, RGB(0, 0, 255));
    Graphics graphics(canvas.Dc());
    SolidBrush halfRed(Color(128, 255, 0, 0));
    ASSERT_EQ(graphics.FillRectangle(&halfRed, 2, 2, 4, 4), Status::Ok);
    const COLORREF blended = canvas.At(3, 3);
    EXPECT_NEAR(GetRValue(blended), 128, 2);
    EXPECT_EQ(GetGValue(blended), 0);
    EXPECT_NEAR(GetBValue(blended), 127, 2);
    EXPECT_EQ(canvas.At(6, 6), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(5, 5), blended);
}

TEST(GraphicsTest, DrawRectangleCoversBothEnds)
{
    Canvas canvas(20, 20);
    Graphics graphics(canvas.Dc());
    Pen pen(Color(255, 0, 0));
    graphics.DrawRectangle(&pen, 2, 2, 9, 9);
    EXPECT_EQ(canvas.At(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(11, 11), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(12, 11), kWhite);
    EXPECT_EQ(canvas.At(5, 5), kWhite);
    EXPECT_EQ(canvas.CountOther(RECT{0, 0, 20, 20}, kWhite), 4 * 9);
}

TEST(GraphicsTest, ImagesDrawAtSizeFromASourceAreaAndBlendByAlpha)
{
    Canvas canvas(40, 40);
    Graphics graphics(canvas.Dc());
    auto opaque = Plain(4, 4, 0xFF00FF00u);
    ASSERT_EQ(graphics.DrawImage(opaque.get(), 1, 1, 8, 8), Status::Ok);
    EXPECT_EQ(canvas.At(1, 1), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(8, 8), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(9, 9), kWhite);

    auto clear = Plain(4, 4, 0x00000000u);
    graphics.DrawImage(clear.get(), 1, 1);
    EXPECT_EQ(canvas.At(2, 2), RGB(0, 255, 0));

    auto half = Plain(2, 2, 0x800000FFu);
    graphics.DrawImage(half.get(), Rect{20, 20, 2, 2}, 0, 0, 2, 2, UnitPixel);
    EXPECT_NEAR(GetBValue(canvas.At(20, 20)), 255, 1);
    EXPECT_NEAR(GetRValue(canvas.At(20, 20)), 127, 2);

    CachedBitmap cached(opaque.get(), &graphics);
    ASSERT_EQ(cached.GetLastStatus(), Status::Ok);
    graphics.DrawCachedBitmap(&cached, 30, 30);
    EXPECT_EQ(canvas.At(33, 33), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(34, 34), kWhite);

    EXPECT_EQ(graphics.DrawImage(nullptr, 0, 0), Status::InvalidParameter);
    EXPECT_EQ(graphics.GetLastStatus(), Status::InvalidParameter);
    EXPECT_EQ(graphics.GetLastStatus(), Status::Ok);
}

TEST(GraphicsTest, APartOfAPictureIsDrawnAtItsOwnSizeOrStretched)
{
    // Three 4 x 4 cells side by side: red, green, blue.
    std::vector<std::uint32_t> strip(12 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 12; ++x)
            strip[static_cast<std::size_t>(y * 12 + x)] = x < 4 ? 0xFFFF0000u : x < 8 ? 0xFF00FF00u : 0xFF0000FFu;
    const auto picture = Bitmap::FromPixels(12, 4, 48, strip.data());
    Canvas canvas(40, 40);
    Graphics graphics(canvas.Dc());
    graphics.DrawImage(picture.get(), Rect{2, 2, 4, 4}, 8, 0, 4, 4, UnitPixel);
    graphics.DrawImage(picture.get(), Rect{20, 20, 8, 8}, 4, 0, 4, 4, UnitPixel);
    EXPECT_EQ(canvas.At(2, 2), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(5, 5), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(6, 6), kWhite);
    EXPECT_EQ(canvas.At(20, 20), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(27, 27), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(28, 28), kWhite);
}

TEST(GraphicsTest, StringsAreAlignedInsideTheirBox)
{
    Canvas canvas(120, 30);
    Graphics graphics(canvas.Dc());
    Font font(L"新宋体", 12, FontStyleRegular, UnitPixel);
    SolidBrush brush(Color(0, 0, 0));
    StringFormat format;
    format.SetAlignment(StringAlignmentFar);
    format.SetLineAlignment(StringAlignmentCenter);
    format.SetTrimming(StringTrimmingEllipsisCharacter);
    ASSERT_EQ(graphics.DrawString(L"图片", -1, &font, RectF{0, 0, 120, 30}, &format, &brush), Status::Ok);
    EXPECT_EQ(canvas.CountOther(RECT{0, 0, 80, 30}, kWhite), 0);
    EXPECT_GT(canvas.CountOther(RECT{90, 0, 120, 30}, kWhite), 20);
}

TEST(GraphicsTest, DrawPictureFittedCentresAtTheFittedSize)
{
    Canvas canvas(300, 200);
    Graphics graphics(canvas.Dc());
    // 400 x 200 into 200 x 100 at (50, 50): scale 0.5, 200 x 100 at (50, 50).
    auto wide = Plain(400, 200, 0xFFFF0000u);
    DrawPictureFitted(graphics, wide, RECT{50, 50, 250, 150});
    EXPECT_EQ(canvas.At(50, 50), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(249, 149), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(49, 50), kWhite);

    // A small picture keeps its size and is centred: 10 x 6 in (0, 0, 31, 31) at (15 - 5, 15 - 3).
    Canvas small(40, 40);
    Graphics smallGraphics(small.Dc());
    DrawPictureFitted(smallGraphics, Plain(10, 6, 0xFF0000FFu), RECT{0, 0, 31, 31});
    EXPECT_EQ(small.At(10, 12), RGB(0, 0, 255));
    EXPECT_EQ(small.At(19, 17), RGB(0, 0, 255));
    EXPECT_EQ(small.At(9, 12), kWhite);
    EXPECT_EQ(small.At(20, 17), kWhite);
    EXPECT_EQ(small.At(19, 18), kWhite);
    DrawPictureFitted(smallGraphics, nullptr, RECT{0, 0, 31, 31});
    EXPECT_EQ(smallGraphics.GetLastStatus(), Status::Ok);
}

} // namespace
