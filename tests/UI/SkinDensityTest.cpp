// Skin images on surfaces with a device scale: the store draws the density made for the
// scale, or the nearest larger one scaled down, so skin art is as sharp as the text.

#include "Imaging/ImageLister.h"
#include "Imaging/RasterImage.h"
#include "UI/CombinBitmap.h"
#include "UI/Skin.h"

#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/Graphics.h"
#include "Platform/Resources/Resources.h"
#include "Platform/Win/Surface.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Platform;

namespace {

// A white memory surface of logical size at a scale, selected into a DC.
struct ScaledSurface {
    ScaledSurface(int width, int height, double scale)
        : pixels(std::make_shared<Surface>(width, height, 0xFFFFFFFFu, scale)), bitmap(CreateBitmapOver(pixels)),
          dc(CreateCompatibleDC(nullptr)), previous(SelectObject(dc, bitmap))
    {
    }
    ~ScaledSurface()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    std::shared_ptr<Surface> pixels;
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ previous;
};

RasterImage Resource(unsigned id)
{
    RasterImage raster;
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(id)), L"PNG");
    EXPECT_TRUE(resource && raster.LoadPngResource(nullptr, resource)) << id;
    return raster;
}

// Device pixels of two surfaces that differ.
int Differing(const Surface& a, const Surface& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return -1;
    int count = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            count += a.Pixel(x, y) != b.Pixel(x, y);
    return count;
}

} // namespace

TEST(SkinDensity, EachScaleDrawsTheDensityMadeForItOrTheNearestLargerScaledDown)
{
    ImageLister::Instance().Clear();
    SetUpSkin();
    // "IcoAdd" (16 x 16) is resource 201, its 2x and 3x rasters 1201 and 2201.
    struct Case {
        double scale;
        unsigned resource;
        int side; // device pixels the raster is scaled to first, 0 for as it is
    };
    for (const Case& c :
         {Case{1.0, 201, 0}, Case{2.0, 1201, 0}, Case{3.0, 2201, 0}, Case{1.5, 1201, 24}, Case{2.5, 2201, 40}}) {
        SCOPED_TRACE(c.scale);
        ScaledSurface drawn(20, 20, c.scale);
        ImageLister::Instance().Draw(drawn.dc, POINT{2, 2}, "IcoAdd");

        // The expected picture: that raster put on plain device pixels at the same place.
        RasterImage raster = Resource(c.resource);
        if (c.side) {
            ASSERT_TRUE(raster.ScaleTo(c.side, c.side));
        }
        ScaledSurface expected(drawn.pixels->Width(), drawn.pixels->Height(), 1.0);
        const int at = drawn.pixels->DeviceEdge(2);
        ASSERT_TRUE(raster.DrawTo(expected.dc, at, at));
        EXPECT_EQ(Differing(*drawn.pixels, *expected.pixels), 0);
    }
    // The logical size stays the 1x raster's.
    EXPECT_EQ(ImageLister::Instance().Get("IcoAdd")->GetWidth(), 16);
}

TEST(SkinDensity, IconStripCellsComeFromTheStripOfTheDensity)
{
    SetUpSkin();
    // "Del" is the cell at (32, 0) of the 16-pixel strip (resource 234; 2x: 1234).
    ScaledSurface drawn(20, 20, 2.0);
    Gdiplus::Graphics onScaled(drawn.dc);
    EXPECT_EQ(onScaled.DeviceScale(), 2.0);
    CombinBitmap::Instance().DrawCell(onScaled, L"Del", 2, 2);

    ScaledSurface expected(40, 40, 1.0);
    const auto strip = CombinBitmap::LoadPngBitmap(1234);
    ASSERT_TRUE(strip);
    Gdiplus::Graphics onPlain(expected.dc);
    onPlain.DrawImage(strip.get(), Gdiplus::Rect{4, 4, 32, 32}, 64, 0, 32, 32, Gdiplus::UnitPixel);
    EXPECT_EQ(Differing(*drawn.pixels, *expected.pixels), 0);
}
