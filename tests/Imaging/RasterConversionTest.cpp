#include "Imaging/ImageLister.h"
#include "Imaging/RasterConversion.h"
#include "Imaging/RasterImage.h"
#include "Platform/Gdiplus/Bitmap.h"

#include <gtest/gtest.h>

using Platform::Gdiplus::Bitmap;

TEST(RasterConversion, PictureToRasterAndBackKeepsColoursAndDropsAlpha)
{
    // 2 x 2 pixels, top row first: blue, green, red, alpha.
    const std::uint8_t argb[] = {10, 20, 30, 255, 40, 50, 60, 128, 70, 80, 90, 0, 100, 110, 120, 255};
    PictureHandle picture = Bitmap::FromPixels(2, 2, 8, argb);
    RasterImage raster = PictureToRaster(picture);
    ASSERT_EQ(raster.GetWidth(), 2);
    ASSERT_TRUE(raster.HasAlpha());
    EXPECT_EQ(raster.PixelColor(1, 1), (RasterImage::Color{40, 50, 60, 0}));
    EXPECT_EQ(raster.AlphaRow(1)[1], 128);
    EXPECT_EQ(raster.PixelColor(0, 0), (RasterImage::Color{70, 80, 90, 0}));

    ASSERT_TRUE(raster.RotateRight());
    PictureHandle back = RasterToPicture(raster);
    ASSERT_EQ(back->GetWidth(), 2u);
    Platform::Gdiplus::BitmapData locked;
    ASSERT_EQ(
        back->LockBits(nullptr, Platform::Gdiplus::ImageLockModeRead, Platform::Gdiplus::PixelFormat32bppARGB, &locked),
        Platform::Gdiplus::Status::Ok);
    const auto* pixels = static_cast<const std::uint8_t*>(locked.Scan0);
    // A right turn puts the old bottom-left pixel at the top left.
    EXPECT_EQ(pixels[0], 70);
    EXPECT_EQ(pixels[3], 255);
    back->UnlockBits(&locked);
}

TEST(RasterConversion, EmptyInputsGiveEmptyResults)
{
    EXPECT_TRUE(PictureToRaster(nullptr).IsEmpty());
    EXPECT_TRUE(PictureToRaster(LoadPictureFile(L"/no/such/picture.png")).IsEmpty());
    PictureHandle nothing = RasterToPicture(RasterImage());
    ASSERT_NE(nothing, nullptr);
    EXPECT_EQ(nothing->GetWidth(), 0u);
}

TEST(ImageLister, LoadsSkinResourcesAndKeepsTheFirstImageOfAName)
{
    ImageLister& lister = ImageLister::Instance();
    lister.Clear();
    lister.Add("CheckBox-Normal", 226);
    lister.Add("CheckBox-Normal", 215);
    lister.Add("ico-none", 999);
    ASSERT_EQ(lister.Count(), 2u);
    auto check = lister.Get("CheckBox-Normal");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->GetWidth(), 15);
    EXPECT_EQ(check->GetHeight(), 15);
    EXPECT_TRUE(check->HasAlpha());
    EXPECT_TRUE(lister.Get("ico-none")->IsEmpty());
    EXPECT_EQ(lister.Get("checkbox-normal"), nullptr);
    lister.Clear();
    EXPECT_EQ(lister.Get("CheckBox-Normal"), nullptr);
}
