#pragma once
// WebP pictures through libwebp: lossy and lossless, with alpha, and the Exif
// orientation of an extended file's EXIF chunk. A reduced decode is scaled by the
// decoder itself while it decodes, so a thumbnail never holds the full-size pixels.
// Animated files are not read. Decoding only: no encoder.

#include "Platform/Gdiplus/ImageCodec.h"

namespace Platform::Gdiplus {

class WebpCodec final : public ImageCodec {
public:
    ImageFormat Format() const override { return ImageFormat::WebP; }
    const CLSID& EncoderClsid() const override;
    bool Matches(const std::uint8_t* head, std::size_t length) const override;
    Status ReadInfo(ByteSource& source, ImageInfo& info) const override;
    Status Decode(ByteSource& source, int reduction, std::unique_ptr<PixelBuffer>& pixels) const override;
    int MaxReduction() const override { return 32; }
    bool CanEncode() const override { return false; }
    Status Encode(const PixelBuffer& pixels, const EncoderOptions& options, MemoryStream& stream) const override;
};

} // namespace Platform::Gdiplus
