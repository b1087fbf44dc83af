#include "Imaging/Picture.h"

#include "Platform/Com/GuidText.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/MemoryStream.h"

#include <algorithm>
#include <cwctype>
#include <new>

using namespace Platform;
using namespace Platform::Gdiplus;

namespace {

struct EncoderClsids {
    CLSID png, gif, bmp, tiff, jpeg;
};

// Parsed once, on first use; a function-local static is initialised exactly once
// even when several upload threads encode their first picture at the same moment.
const EncoderClsids& Encoders()
{
    static const EncoderClsids clsids = {
        CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}"),
        CLSIDFromString(L"{557CF402-1A04-11D3-9A73-0000F81EF32E}"),
        CLSIDFromString(L"{557CF400-1A04-11D3-9A73-0000F81EF32E}"),
        CLSIDFromString(L"{557CF405-1A04-11D3-9A73-0000F81EF32E}"),
        CLSIDFromString(L"{557CF401-1A04-11D3-9A73-0000F81EF32E}"),
    };
    return clsids;
}

bool SameName(const std::wstring& name, const wchar_t* expected)
{
    return std::equal(name.begin(), name.end(), expected, expected + std::wcslen(expected),
                      [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

} // namespace

PictureHandle LoadPictureFile(const std::wstring& path)
{
    return Bitmap::FromFile(path);
}

FittedSize FitScale(int width, int height, int boxWidth, int boxHeight)
{
    if ((width < boxWidth && height < boxHeight) || (width == boxWidth && height == boxHeight))
        return {1.0f, width, height};
    const auto longer = static_cast<float>(std::max(width, height));
    const float scale = width < height ? static_cast<float>(boxHeight) / longer : static_cast<float>(boxWidth) / longer;
    return {scale, static_cast<int>(static_cast<float>(width) * scale),
            static_cast<int>(static_cast<float>(height) * scale)};
}

FittedSize FitInside(int width, int height, int boxWidth, int boxHeight)
{
    if ((width <= boxWidth && height <= boxHeight) || width < 1 || height < 1 || boxWidth < 1 || boxHeight < 1)
        return {1.0f, width, height};
    // The side that limits the scale takes the box's length exactly; the other follows
    // in integers, so no rounding of a float scale loses a row.
    const long long byHeight = static_cast<long long>(width) * boxHeight;
    const long long byWidth = static_cast<long long>(height) * boxWidth;
    if (byHeight <= byWidth)
        return {static_cast<float>(boxHeight) / static_cast<float>(height),
                std::max(1, static_cast<int>(byHeight / height)), boxHeight};
    return {static_cast<float>(boxWidth) / static_cast<float>(width), boxWidth,
            std::max(1, static_cast<int>(byWidth / width))};
}

PictureHandle MakeThumbnail(const PictureHandle& picture, int boxWidth, int boxHeight)
{
    if (!picture)
        return nullptr;
    const FittedSize fitted =
        FitScale(static_cast<int>(picture->GetWidth()), static_cast<int>(picture->GetHeight()), boxWidth, boxHeight);
    if (fitted.scale == 1.0f)
        return ClonePicture(picture);
    // A very long, thin picture would otherwise get a thumbnail with no pixels at all.
    return picture->GetThumbnailImage(static_cast<UINT>(std::max(fitted.width, 1)),
                                      static_cast<UINT>(std::max(fitted.height, 1)));
}

PictureHandle MakeFittedThumbnail(const PictureHandle& picture, int boxWidth, int boxHeight)
{
    if (!picture || boxWidth <= 0 || boxHeight <= 0)
        return nullptr;
    const std::int64_t width = picture->GetWidth();
    const std::int64_t height = picture->GetHeight();
    if (width <= boxWidth && height <= boxHeight)
        return ClonePicture(picture);
    // Exact integer sizes: the side that reaches the box first decides the scale.
    const bool widthDecides = width * boxHeight > height * boxWidth;
    const std::int64_t fittedWidth = widthDecides ? boxWidth : width * boxHeight / height;
    const std::int64_t fittedHeight = widthDecides ? height * boxWidth / width : boxHeight;
    return picture->GetThumbnailImage(static_cast<UINT>(std::max<std::int64_t>(fittedWidth, 1)),
                                      static_cast<UINT>(std::max<std::int64_t>(fittedHeight, 1)));
}

PictureHandle ClonePicture(const PictureHandle& picture)
{
    if (!picture)
        return nullptr;
    return picture->CloneArea(0, 0, static_cast<int>(picture->GetWidth()), static_cast<int>(picture->GetHeight()),
                              PixelFormat32bppARGB);
}

bool KeepsFileFormat(const PictureHandle& picture, const std::wstring& formatName)
{
    if (!picture)
        return false;
    ImageFormat written = ImageFormat::Jpeg;
    if (SameName(formatName, L"png"))
        written = ImageFormat::Png;
    else if (SameName(formatName, L"gif"))
        written = ImageFormat::Gif;
    else if (SameName(formatName, L"bmp"))
        written = ImageFormat::Bmp;
    else if (SameName(formatName, L"tiff"))
        written = ImageFormat::Tiff;
    return picture->GetRawFormat() == written;
}

EncodedPicture EncodePicture(const PictureHandle& picture, const std::wstring& formatName, int jpegQuality)
{
    const EncoderClsids& encoders = Encoders();
    const CLSID* encoder = &encoders.jpeg;
    EncoderParameters parameters;
    if (SameName(formatName, L"png"))
        encoder = &encoders.png;
    else if (SameName(formatName, L"gif"))
        encoder = &encoders.gif;
    else if (SameName(formatName, L"bmp"))
        encoder = &encoders.bmp;
    else if (SameName(formatName, L"tiff"))
        encoder = &encoders.tiff;
    else
        parameters.Parameter.push_back({EncoderQuality, jpegQuality});

    EncodedPicture result;
    if (!picture)
        return result;
    MemoryStream stream;
    if (picture->Save(stream, *encoder, &parameters) != Status::Ok)
        return result;
    const std::size_t length = static_cast<std::size_t>(stream.Size());
    try {
        result.bytes = stream.TakeBytes();
    } catch (const std::bad_alloc&) {
        return result;
    }
    result.length = result.bytes ? length : 0;
    return result;
}
