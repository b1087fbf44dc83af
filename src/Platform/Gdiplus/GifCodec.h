#pragma once
// GIF through giflib: the first frame on the logical screen, with its transparency.
// Encoding reduces the picture to 8 bits: an exact palette when it has at most 256
// colours, else the 6 x 6 x 6 colour cube with the nearest colour for each pixel (no
// dithering); pixels with alpha below 128 become the transparent entry.

#include "Platform/Gdiplus/ImageCodec.h"

namespace Platform::Gdiplus {

class GifCodec final : public ImageCodec {
public:
    ImageFormat Format() const override { return ImageFormat::Gif; }
    const CLSID& EncoderClsid() const override;
    bool Matches(const std::uint8_t* head, std::size_t length) const override;
    Status ReadInfo(ByteSource& source, ImageInfo& info) const override;
    Status Decode(ByteSource& source, int reduction, std::unique_ptr<PixelBuffer>& pixels) const override;
    Status Encode(const PixelBuffer& pixels, const EncoderOptions& options, MemoryStream& stream) const override;
};

} // namespace Platform::Gdiplus
