#include "Imaging/ImageLister.h"
#include "Imaging/RasterImage.h"
#include "UI/CombinBitmap.h"
#include "UI/Skin.h"
#include "UI/UiDrawing.h"
#include "UI/UiFontSet.h"

#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdi/Drawing.h"
#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Gdi/Text.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/Graphics.h"
#include "support/TestCanvas.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Platform;
using namespace Platform::Gdiplus;

namespace {

class Canvas : public TestSupport::TestCanvas {
public:
    Canvas() : TestCanvas(64, 64) {}
};

} // namespace

TEST(Skin, SettingUpTwiceKeepsOneImagePerNameAndLoadsTheStrip)
{
    ImageLister::Instance().Clear();
    SetUpSkin();
    SetUpSkin();
    EXPECT_EQ(ImageLister::Instance().Count(), 47u);
    EXPECT_TRUE(CombinBitmap::Instance().HasStrip());
    for (const char* name :
         {"BtnNormal", "Title_bk", "BtnAdd2-Normal", "ico-left", "BtnAdd2-Normal-en", "BtnCancel-en"})
        EXPECT_FALSE(ImageLister::Instance().Get(name)->IsEmpty()) << name;
    EXPECT_EQ(ImageLister::Instance().Get("BtnAdd2-Normal")->GetWidth(), 203);
    ImageLister::Instance().Clear();
}

TEST(Skin, DrawCellCopiesTheCellOfTheStrip)
{
    CombinBitmap& strip = CombinBitmap::Instance();
    SetUpSkin();
    auto source = CombinBitmap::LoadPngBitmap(234);
    ASSERT_NE(source, nullptr);
    BitmapData locked;
    ASSERT_EQ(source->LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &locked), Status::Ok);
    Canvas canvas;
    Graphics graphics(canvas.dc);
    strip.DrawCell(graphics, L"Editor", 10, 20);
    strip.DrawCell(graphics, L"NoSuchCell", 40, 40);
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const auto* pixel = static_cast<const std::uint8_t*>(locked.Scan0) + y * locked.Stride + (80 + x) * 4;
            if (pixel[3] != 255)
                continue;
            ++opaque;
            EXPECT_EQ(GetPixel(canvas.dc, 10 + x, 20 + y), RGB(pixel[2], pixel[1], pixel[0])) << x << "," << y;
        }
    EXPECT_GT(opaque, 0);
    source->UnlockBits(&locked);
    EXPECT_EQ(GetPixel(canvas.dc, 26, 20), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 41, 41), RGB(255, 255, 255));
}

TEST(UiDrawing, BoxesFramesAndBorders)
{
    Canvas canvas;
    PaintBox(canvas.dc, RGB(10, 20, 30), RGB(200, 0, 0), RECT{0, 0, 10, 10});
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(200, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 9, 9), RGB(200, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 5, 5), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(canvas.dc, 10, 10), RGB(255, 255, 255));
    PaintBox(canvas.dc, RECT{20, 0, 30, 10}, RGB(1, 1, 1), RGB(2, 2, 2));
    EXPECT_EQ(GetPixel(canvas.dc, 20, 0), RGB(1, 1, 1));
    EXPECT_EQ(GetPixel(canvas.dc, 25, 5), RGB(2, 2, 2));

    PaintBorder(canvas.dc, RECT{0, 20, 10, 30}, 1, RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 0, 20), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 1, 21), RGB(255, 255, 255));
    PaintBorder(canvas.dc, RECT{20, 20, 30, 30}, 2, RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 21, 21), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 28, 28), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 22, 22), RGB(255, 255, 255));

    PaintLine(canvas.dc, RGB(9, 9, 9), 40, 0, 50, 0);
    EXPECT_EQ(GetPixel(canvas.dc, 40, 0), RGB(9, 9, 9));
    EXPECT_EQ(GetPixel(canvas.dc, 50, 0), RGB(255, 255, 255));
}

TEST(UiDrawing, GradientRunsFromTopColourToBottomColour)
{
    Canvas canvas;
    PaintGradient(canvas.dc, RECT{0, 0, 4, 32}, RGB(250, 250, 250), RGB(216, 216, 216));
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(250, 250, 250));
    const COLORREF last = GetPixel(canvas.dc, 3, 31);
    EXPECT_NEAR(GetRValue(last), 216, 2);
    EXPECT_EQ(GetPixel(canvas.dc, 4, 0), RGB(255, 255, 255));
}

TEST(UiDrawing, PicturesCentredOrStretched)
{
    std::vector<std::uint32_t> red(16 * 16, 0xFFFF0000u);
    auto picture = Bitmap::FromPixels(16, 16, 64, red.data());
    Canvas canvas;
    Graphics graphics(canvas.dc);
    DrawPictureCentered(graphics, picture.get(), RECT{0, 0, 31, 31});
    EXPECT_EQ(GetPixel(canvas.dc, 7, 7), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 22, 22), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 6, 7), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 23, 23), RGB(255, 255, 255));
    DrawPictureCentered(graphics, nullptr, RECT{0, 0, 31, 31});
    DrawPictureStretched(graphics, picture.get(), RECT{40, 40, 64, 50});
    EXPECT_EQ(GetPixel(canvas.dc, 63, 49), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 63, 50), RGB(255, 255, 255));
}

TEST(UiDrawing, TextIsMeasuredAndDrawnInTheUiFont)
{
    Canvas canvas;
    const HFONT font = UiFontSet::Instance().font;
    const SIZE size = MeasureText(canvas.dc, L"全选", 2, font);
    EXPECT_GT(size.cx, 15);
    EXPECT_GE(size.cy, 12);
    PaintText(canvas.dc, RECT{0, 0, 64, 20}, L"全选", UiFontSet::Instance().textColor, font,
              DT_LEFT | DT_TOP | DT_SINGLELINE);
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 64; ++x)
            dark += GetRValue(GetPixel(canvas.dc, x, y)) < 128;
    EXPECT_GT(dark, 10);
    EXPECT_NE(GetCurrentObject(canvas.dc, OBJ_FONT), font);

    Graphics graphics(canvas.dc);
    PaintFill(canvas.dc, RECT{0, 30, 64, 50}, RGB(255, 255, 255));
    DrawCaption(graphics, L"一个很长很长很长的标题文字", RECT{0, 30, 64, 50}, RGB(0, 0, 0), TextAlignment::Centre);
    int inked = 0;
    for (int y = 30; y < 50; ++y)
        for (int x = 0; x < 64; ++x)
            inked += GetRValue(GetPixel(canvas.dc, x, y)) < 128;
    EXPECT_GT(inked, 10);
    EXPECT_EQ(GetPixel(canvas.dc, 10, 55), RGB(255, 255, 255));
}

TEST(UiDrawing, ACaptionLiesWhereItsAlignmentPutsIt)
{
    Canvas canvas;
    Graphics graphics(canvas.dc);
    // The first and last columns of a 60-pixel strip that hold ink, for a short caption.
    const auto inkedColumns = [&](TextAlignment alignment) {
        PaintFill(canvas.dc, RECT{0, 0, 60, 20}, RGB(255, 255, 255));
        DrawCaption(graphics, L"图片", RECT{0, 0, 60, 20}, RGB(0, 0, 0), alignment);
        int first = -1, last = -1;
        for (int x = 0; x < 60; ++x)
            for (int y = 0; y < 20; ++y)
                if (GetRValue(GetPixel(canvas.dc, x, y)) < 128) {
                    first = first < 0 ? x : first;
                    last = x;
                }
        return std::pair{first, last};
    };
    const auto [nearFirst, nearLast] = inkedColumns(TextAlignment::Near);
    EXPECT_GE(nearFirst, 0);
    EXPECT_LE(nearFirst, 3);
    EXPECT_LT(nearLast, 30);
    const auto [farFirst, farLast] = inkedColumns(TextAlignment::Far);
    EXPECT_GT(farFirst, 30);
    EXPECT_GE(farLast, 56);
    const auto [centreFirst, centreLast] = inkedColumns(TextAlignment::Centre);
    EXPECT_NEAR(centreFirst, 59 - centreLast, 3) << "as much room on either side";
    EXPECT_GT(centreFirst, 10);
}

TEST(UiDrawing, OutlineRunsAlongTheRectanglesOwnEdges)
{
    Canvas canvas;
    Graphics graphics(canvas.dc);
    DrawOutline(graphics, RECT{10, 10, 20, 20}, RGB(0, 0, 0), 1.0f);
    EXPECT_EQ(GetPixel(canvas.dc, 10, 10), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 19, 19), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 18, 18), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 20, 20), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 14, 14), RGB(255, 255, 255));
}
