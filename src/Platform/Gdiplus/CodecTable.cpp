#include "Platform/Gdiplus/CodecTable.h"

#include "Platform/Gdiplus/BmpCodec.h"
#include "Platform/Gdiplus/GifCodec.h"
#include "Platform/Gdiplus/JpegCodec.h"
#include "Platform/Gdiplus/PngCodec.h"
#include "Platform/Gdiplus/TiffCodec.h"

#include <array>

namespace Platform::Gdiplus {

namespace {

const std::array<const ImageCodec*, 5>& Codecs()
{
    static const JpegCodec jpeg;
    static const PngCodec png;
    static const BmpCodec bmp;
    static const GifCodec gif;
    static const TiffCodec tiff;
    static const std::array<const ImageCodec*, 5> codecs = {&jpeg, &png, &bmp, &gif, &tiff};
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
        if (codec->EncoderClsid() == clsid)
            return codec;
    }
    return nullptr;
}

} // namespace Platform::Gdiplus
