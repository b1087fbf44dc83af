#pragma once
// TIFF through libtiff: the first page. 8-bit RGB and grey strips are read directly,
// every other layout through libtiff's RGBA reader; written as LZW-compressed 8-bit
// RGB, or RGBA with unassociated alpha when the picture has transparency.

#include "Platform/Gdiplus/ImageCodec.h"

namespace Platform::Gdiplus {

class TiffCodec final : public ImageCodec {
public:
    ImageFormat Format() const override { return ImageFormat::Tiff; }
    const CLSID& EncoderClsid() const override;
    bool Matches(const std::uint8_t* head, std::size_t length) const override;
    Status ReadInfo(ByteSource& source, ImageInfo& info) const override;
    Status Decode(ByteSource& source, int reduction, std::unique_ptr<PixelBuffer>& pixels) const override;
    Status Encode(const PixelBuffer& pixels, const EncoderOptions& options, MemoryStream& stream) const override;
};

} // namespace Platform::Gdiplus
