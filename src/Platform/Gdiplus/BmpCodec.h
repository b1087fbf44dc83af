#pragma once
// Windows bitmaps, read by our own code: 1, 4, 8, 16, 24 and 32 bits, top-down and
// bottom-up, bit fields, RLE8 and RLE4; written as 24 bits, or 32 with an alpha mask.

#include "Platform/Gdiplus/ImageCodec.h"

namespace Platform::Gdiplus {

class BmpCodec final : public ImageCodec {
public:
    ImageFormat Format() const override { return ImageFormat::Bmp; }
    const CLSID& EncoderClsid() const override;
    bool Matches(const std::uint8_t* head, std::size_t length) const override;
    Status ReadInfo(ByteSource& source, ImageInfo& info) const override;
    Status Decode(ByteSource& source, int reduction, std::unique_ptr<PixelBuffer>& pixels) const override;
    Status Encode(const PixelBuffer& pixels, const EncoderOptions& options, MemoryStream& stream) const override;
};

} // namespace Platform::Gdiplus
