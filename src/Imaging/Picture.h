#pragma once
// Picture handling on platform bitmaps: loading a picture file, thumbnails by the
// longer-side fit rule, copying, and encoding a picture by format name for upload.
// Platform bitmaps are never changed: every operation returns a new one.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace Platform::Gdiplus {
class Bitmap;
}

using PictureHandle = std::shared_ptr<Platform::Gdiplus::Bitmap>;

// Never null: a file that cannot be read gives a bitmap of size 0 x 0.
PictureHandle LoadPictureFile(const std::wstring& path);

struct FittedSize {
    float scale;
    int width;
    int height;
};

// The longer-side fit rule: a picture smaller than the box on both sides, or exactly
// the box's size, keeps scale 1; otherwise the longer side decides the scale (the
// box height for a portrait picture, else the box width), so for a box that is not
// square the other side may exceed the box.
FittedSize FitScale(int width, int height, int boxWidth, int boxHeight);

// Both sides fit the box, the proportions stay, and a picture is never enlarged: a
// picture that fits keeps scale 1; at least one pixel on each side.
FittedSize FitInside(int width, int height, int boxWidth, int boxHeight);

// A copy when the fit rule keeps the size, else the platform thumbnail at the fitted
// size (at least one pixel on each side). Null when the picture has no pixels.
PictureHandle MakeThumbnail(const PictureHandle& picture, int boxWidth, int boxHeight);

// A thumbnail that fits the box on both sides: a copy when the picture already fits,
// else the platform thumbnail scaled by the tighter side (at least one pixel on each
// side). Null when the picture has no pixels.
PictureHandle MakeFittedThumbnail(const PictureHandle& picture, int boxWidth, int boxHeight);

// A 32-bit ARGB copy of the whole picture; null when it has no pixels.
PictureHandle ClonePicture(const PictureHandle& picture);

struct EncodedPicture {
    std::shared_ptr<std::uint8_t[]> bytes;
    std::size_t length = 0;
};

// "png", "gif", "bmp" and "tiff" (in any case) choose those encoders; every other
// name, "jpg", "jpeg", "tif" and the empty name among them, chooses JPEG at the
// quality given (1 to 100). A picture that cannot be encoded gives no bytes and length 0, and the
// picture's last status says why. Safe to call from several threads at once.
EncodedPicture EncodePicture(const PictureHandle& picture, const std::wstring& formatName, int jpegQuality = 100);

// True when EncodePicture with this format name would write the format the picture
// was read from (a .jpg file read as JPEG, not a .tif file, which is sent as JPEG).
bool KeepsFileFormat(const PictureHandle& picture, const std::wstring& formatName);
