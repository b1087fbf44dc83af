#include "Imaging/RasterConversion.h"

#include "Imaging/RasterImage.h"
#include "Platform/Gdiplus/Bitmap.h"

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
    const int height = raster.GetHeight();
    const int width = raster.GetWidth();
    if (width <= 0 || height <= 0)
        return Bitmap::FromPixels(0, 0, 0, nullptr);
    return Bitmap::FromRows(width, height, [&](int row, std::uint8_t* target) {
        const int stored = height - 1 - row;
        if (raster.GetBitsPerPixel() == 24) {
            const std::uint8_t* from = raster.Row(stored);
            for (int x = 0; x < width; ++x, from += 3, target += 4) {
                target[0] = from[0];
                target[1] = from[1];
                target[2] = from[2];
                target[3] = 255;
            }
            return;
        }
        for (int x = 0; x < width; ++x) {
            const RasterImage::Color color = raster.PixelColor(x, stored);
            target[x * 4] = color.blue;
            target[x * 4 + 1] = color.green;
            target[x * 4 + 2] = color.red;
            target[x * 4 + 3] = 255;
        }
    });
}

PictureHandle ScalePicture(const PictureHandle& picture, int width, int height)
{
    RasterImage raster = PictureToRaster(picture);
    if (raster.IsEmpty() || !raster.ScaleTo(width, height))
        return nullptr;
    PictureHandle scaled = RasterToPicture(raster);
    return scaled && scaled->GetWidth() > 0 ? scaled : nullptr;
}
