#include "Imaging/RasterConversion.h"

#include "Imaging/RasterImage.h"
#include "Platform/Gdiplus/Bitmap.h"

#include <new>
#include <vector>

using namespace Platform::Gdiplus;

RasterImage PictureToRaster(const PictureHandle& picture)
{
    RasterImage raster;
    if (!picture)
        return raster;
    BitmapData locked;
    if (picture->LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &locked) != Status::Ok)
        return raster;
    raster.CreateFromPixels(static_cast<const std::uint8_t*>(locked.Scan0), static_cast<int>(locked.Width),
                            static_cast<int>(locked.Height), 32, locked.Stride, true);
    picture->UnlockBits(&locked);
    return raster;
}

PictureHandle RasterToPicture(const RasterImage& raster)
{
    const int width = raster.GetWidth();
    const int height = raster.GetHeight();
    std::vector<std::uint8_t> argb;
    try {
        argb.resize(static_cast<std::size_t>(width) * height * 4);
    } catch (const std::bad_alloc&) {
        return Bitmap::FromPixels(0, 0, 0, nullptr);
    }
    for (int row = 0; row < height; ++row) {
        std::uint8_t* target = argb.data() + static_cast<std::size_t>(row) * width * 4;
        const int stored = height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const RasterImage::Color color = raster.PixelColor(x, stored);
            target[x * 4] = color.blue;
            target[x * 4 + 1] = color.green;
            target[x * 4 + 2] = color.red;
            target[x * 4 + 3] = 255;
        }
    }
    return Bitmap::FromPixels(width, height, width * 4, argb.data());
}

PictureHandle ScalePicture(const PictureHandle& picture, int width, int height)
{
    RasterImage raster = PictureToRaster(picture);
    if (raster.IsEmpty() || !raster.ScaleTo(width, height))
        return nullptr;
    PictureHandle scaled = RasterToPicture(raster);
    return scaled && scaled->GetWidth() > 0 ? scaled : nullptr;
}
