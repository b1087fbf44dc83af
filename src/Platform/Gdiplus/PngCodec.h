#pragma once
// PNG through libpng: every colour type and bit depth, interlacing, transparency;
// encoding as 8-bit RGB, or RGBA when the picture has transparency.

#include "Platform/Gdiplus/ImageCodec.h"

namespace Platform::Gdiplus {

class PngCodec final : public ImageCodec {
public:
    ImageFormat Format() const override { return ImageFormat::Png; }
    const CLSID& EncoderClsid() const override;
    bool Matches(const std::uint8_t* head, std::size_t length) const override;
    Status ReadInfo(ByteSource& source, ImageInfo& info) const override;
    Status Decode(ByteSource& source, int reduction, std::unique_ptr<PixelBuffer>& pixels) const override;
    Status Encode(const PixelBuffer& pixels, const EncoderOptions& options, MemoryStream& stream) const override;
};

} // namespace Platform::Gdiplus
