#pragma once
// Conversions between platform bitmaps and rasters.

#include "Imaging/Picture.h"

class RasterImage;

// The picture's pixels as a 24-bit raster with an alpha plane; an empty raster when
// the picture cannot be locked.
RasterImage PictureToRaster(const PictureHandle& picture);
// An opaque platform bitmap of the raster's colours; the alpha plane is not carried
// over. An empty raster gives a bitmap without pixels.
PictureHandle RasterToPicture(const RasterImage& raster);
// The picture scaled to the size with the raster image's resampling, as the editor
// resizes; null when the picture has no pixels or memory runs out.
PictureHandle ScalePicture(const PictureHandle& picture, int width, int height);
