#include "Platform/Gdiplus/CodecTable.h"

#include "Platform/Gdiplus/BmpCodec.h"
#include "Platform/Gdiplus/GifCodec.h"
#include "Platform/Gdiplus/HeifCodec.h"
#include "Platform/Gdiplus/JpegCodec.h"
#include "Platform/Gdiplus/PngCodec.h"
#include "Platform/Gdiplus/TiffCodec.h"
#include "Platform/Gdiplus/WebpCodec.h"

#include <array>

namespace Platform::Gdiplus {

namespace {

const std::array<const ImageCodec*, 8>& Codecs()
{
    static const JpegCodec jpeg;
    static const PngCodec png;
    static const BmpCodec bmp;
    static const GifCodec gif;
    static const TiffCodec tiff;
    static const HeifCodec heif(ImageFormat::Heif);
    static const HeifCodec avif(ImageFormat::Avif);
    static const WebpCodec webp;
    static const std::array<const ImageCodec*, 8> codecs = {&jpeg, &png, &bmp, &gif, &tiff, &heif, &avif, &webp};
    return codecs;
}

} // namespace

const ImageCodec* CodecTable::Detect(const std::uint8_t* head, std::size_t length)
{
    for (const ImageCodec* codec : Codecs()) {
        if (codec->Matches(head, length))
            return codec;
    }
    return nullptr;
}

const ImageCodec* CodecTable::ForEncoder(const CLSID& clsid)
{
    for (const ImageCodec* codec : Codecs()) {
        if (codec->CanEncode() && codec->EncoderClsid() == clsid)
            return codec;
    }
    return nullptr;
}

} // namespace Platform::Gdiplus
