#pragma once
// JPEG through libjpeg-turbo: scaled decoding for thumbnails, CMYK files from Adobe
// applications, the Exif orientation, and encoding with a quality setting.

#include "Platform/Gdiplus/ImageCodec.h"

namespace Platform::Gdiplus {

class JpegCodec final : public ImageCodec {
public:
    ImageFormat Format() const override { return ImageFormat::Jpeg; }
    const CLSID& EncoderClsid() const override;
    bool Matches(const std::uint8_t* head, std::size_t length) const override;
    Status ReadInfo(ByteSource& source, ImageInfo& info) const override;
    Status Decode(ByteSource& source, int reduction, std::unique_ptr<PixelBuffer>& pixels) const override;
    int MaxReduction() const override { return 8; }
    Status Encode(const PixelBuffer& pixels, const EncoderOptions& options, MemoryStream& stream) const override;
};

} // namespace Platform::Gdiplus
