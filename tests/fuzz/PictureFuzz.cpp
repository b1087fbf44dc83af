// Picture files as arbitrary bytes: loading, locking, thumbnails and encoding must
// fail cleanly or succeed, never crash, hang or read out of bounds. The decoder is
// chosen by content, as for files; the seed corpus has a few tiny files per format.

#include "Imaging/Picture.h"
#include "Platform/Gdiplus/Bitmap.h"

#include <cstdint>

using namespace Platform::Gdiplus;

namespace {

// Large pictures fit in a few compressed kilobytes; decoding them in full on every
// run would slow the search down without reaching new code.
constexpr std::uint64_t MaxFullDecodePixels = 1 << 20;

void Exercise(const PictureHandle& picture)
{
    if (picture->GetFrameDimensionsCount() == 0)
        return;
    PictureHandle thumbnail = MakeThumbnail(picture, 16, 16);
    if (std::uint64_t{picture->GetWidth()} * picture->GetHeight() > MaxFullDecodePixels)
        return;
    BitmapData data;
    if (picture->LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data) == Status::Ok)
        picture->UnlockBits(&data);
    for (const wchar_t* format : {L"jpg", L"png", L"gif", L"bmp", L"tiff"})
        EncodePicture(thumbnail ? thumbnail : picture, format);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Exercise(Bitmap::FromMemory(data, size));
    return 0;
}
