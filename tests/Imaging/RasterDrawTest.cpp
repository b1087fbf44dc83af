#include "Imaging/ImageLister.h"
#include "Imaging/RasterImage.h"
#include "RasterSamples.h"

#include "Platform/Gdi/DeviceBits.h"
#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdi/Drawing.h"
#include "Platform/Gdi/GdiObjects.h"

#include "support/TestCanvas.h"

#include <gtest/gtest.h>

using namespace Platform;
using Color = RasterImage::Color;

namespace {

// A 20 x 20 canvas of one colour.
class MemoryTarget : public TestSupport::TestCanvas {
public:
    explicit MemoryTarget(COLORREF fill) : TestCanvas(20, 20, fill) {}
};

} // namespace

TEST(RasterDraw, OpaqueRasterCoversItsRectangleOnly)
{
    MemoryTarget target(RGB(1, 2, 3));
    RasterImage raster = Filled(4, 3, Color{30, 20, 10, 0});
    raster.SetPixelColor(0, 2, Color{0, 0, 255, 0}); // top-left pixel red
    ASSERT_TRUE(raster.DrawTo(target.dc, 5, 6));
    EXPECT_EQ(GetPixel(target.dc, 5, 6), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target.dc, 8, 8), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(target.dc, 9, 8), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(target.dc, 5, 9), RGB(1, 2, 3));
    EXPECT_FALSE(raster.DrawTo(nullptr, 0, 0));
    EXPECT_FALSE(raster.DrawTo(target.dc, 0, 0, 0, 5));
    EXPECT_FALSE(RasterImage().DrawTo(target.dc, 0, 0));
}

TEST(RasterDraw, AlphaBlendsPerChannelAndZeroLeavesTheDevice)
{
    MemoryTarget target(RGB(100, 200, 40));
    RasterImage raster = Filled(2, 1, Color{0, 250, 10, 0});
    raster.AddAlpha();
    raster.AlphaRow(0)[0] = 128;
    raster.AlphaRow(0)[1] = 0;
    ASSERT_TRUE(raster.DrawTo(target.dc, 0, 0));
    EXPECT_EQ(GetPixel(target.dc, 0, 0),
              RGB((100 * 127 + 10 * 128) >> 8, (200 * 127 + 250 * 128) >> 8, (40 * 127 + 0 * 128) >> 8));
    EXPECT_EQ(GetPixel(target.dc, 1, 0), RGB(100, 200, 40));
}

TEST(RasterDraw, TransparentIndexAndPaletteAlpha)
{
    MemoryTarget target(RGB(9, 9, 9));
    RasterImage raster;
    ASSERT_TRUE(raster.Create(3, 1, 8));
    raster.Palette()[1] = Color{0, 0, 200, 255};
    raster.Palette()[2] = Color{200, 0, 0, 127};
    raster.SetPixelIndex(0, 0, 1);
    raster.SetPixelIndex(1, 0, 2);
    raster.SetPixelIndex(2, 0, 0);
    raster.SetTransparentIndex(0);
    raster.SetPaletteAlpha(true);
    ASSERT_TRUE(raster.DrawTo(target.dc, 0, 0));
    EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(200, 0, 0));
    const int a = (255 * 128) >> 8;
    EXPECT_EQ(GetPixel(target.dc, 1, 0),
              RGB((9 * (255 - a)) >> 8, (9 * (255 - a)) >> 8, (9 * (255 - a) + 200 * a) >> 8));
    EXPECT_EQ(GetPixel(target.dc, 2, 0), RGB(9, 9, 9));
}

TEST(RasterDraw, StretchedDrawingSamplesNearestSourcePixels)
{
    MemoryTarget target(RGB(0, 0, 0));
    RasterImage raster;
    ASSERT_TRUE(raster.Create(2, 2, 24));
    raster.SetPixelColor(0, 1, Color{0, 0, 255, 0}); // top left: red
    raster.SetPixelColor(1, 1, Color{0, 255, 0, 0}); // top right: green
    raster.SetPixelColor(0, 0, Color{255, 0, 0, 0}); // bottom left: blue
    raster.SetPixelColor(1, 0, Color{255, 255, 255, 0});
    ASSERT_TRUE(raster.DrawTo(target.dc, 0, 0, 4, 4));
    EXPECT_EQ(GetPixel(target.dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target.dc, 2, 1), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(target.dc, 1, 2), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(target.dc, 3, 3), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(target.dc, 4, 4), RGB(0, 0, 0));
}

TEST(RasterDraw, OnlyTheClipBoxIsTouched)
{
    MemoryTarget target(RGB(5, 5, 5));
    IntersectClipRect(target.dc, 2, 0, 4, 20);
    RasterImage raster = Filled(6, 2, Color{50, 60, 70, 0});
    ASSERT_TRUE(raster.DrawTo(target.dc, 0, 0));
    EXPECT_EQ(GetPixel(target.dc, 1, 0), RGB(5, 5, 5));
    EXPECT_EQ(GetPixel(target.dc, 2, 0), RGB(70, 60, 50));
    EXPECT_EQ(GetPixel(target.dc, 3, 1), RGB(70, 60, 50));
    EXPECT_EQ(GetPixel(target.dc, 4, 0), RGB(5, 5, 5));
}

TEST(RasterDraw, DeviceBitmapHoldsTheColoursOfAPaletteRaster)
{
    RasterImage raster;
    ASSERT_TRUE(raster.Create(3, 2, 4));
    raster.Palette()[5] = Color{1, 2, 3, 0};
    raster.SetPixelIndex(2, 1, 5);
    HBITMAP bitmap = raster.ToDeviceBitmap();
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(3, 2, 1));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 0));
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
    EXPECT_EQ(RasterImage().ToDeviceBitmap(), nullptr);
}

TEST(ImageListerDraw, DrawsStoredImagesInColourGreyOrStretchedAndNothingForUnknownNames)
{
    ImageLister& lister = ImageLister::Instance();
    lister.Clear();
    lister.Add("Title_bk", 233);
    lister.Add("missing", 999);
    MemoryTarget target(RGB(0, 0, 255));
    lister.Draw(target.dc, POINT{0, 0}, "Title_bk");
    EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(250, 250, 250));
    EXPECT_EQ(GetPixel(target.dc, 1, 0), RGB(0, 0, 255));
    lister.DrawStretched(target.dc, RECT{2, 0, 6, 16}, "Title_bk");
    EXPECT_EQ(GetPixel(target.dc, 5, 0), RGB(250, 250, 250));
    EXPECT_EQ(GetPixel(target.dc, 5, 15), RGB(216, 216, 216));
    EXPECT_EQ(GetPixel(target.dc, 6, 0), RGB(0, 0, 255));

    MemoryTarget untouched(RGB(7, 8, 9));
    lister.Draw(untouched.dc, POINT{0, 0}, "missing");
    lister.Draw(untouched.dc, POINT{0, 0}, "nothing by that name");
    lister.DrawGray(untouched.dc, POINT{0, 0}, "missing");
    EXPECT_EQ(GetPixel(untouched.dc, 0, 0), RGB(7, 8, 9));

    lister.Add("IcoAdd", 201);
    MemoryTarget grey(RGB(255, 255, 255));
    lister.DrawGray(grey.dc, POINT{0, 0}, "IcoAdd");
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const COLORREF pixel = GetPixel(grey.dc, x, y);
            EXPECT_TRUE(GetRValue(pixel) == GetGValue(pixel) && GetGValue(pixel) == GetBValue(pixel)) << x << "," << y;
        }
    EXPECT_FALSE(lister.Get("IcoAdd")->GetBitsPerPixel() == 8);
    lister.Clear();
}
