#pragma once
// HEIF pictures through libheif: HEIC (HEVC through libde265) and AVIF (AV1). The file's
// rotation and mirroring (irot, imir) are applied by the decoder, so the size and pixels
// given are already those of the upright picture; an Exif orientation inside the file is
// not applied on top, as HEIF readers must not. A reduced decode uses the file's
// embedded thumbnail when it covers the reduced size. Decoding only: no encoder.

#include "Platform/Gdiplus/ImageCodec.h"

namespace Platform::Gdiplus {

class HeifCodec final : public ImageCodec {
public:
    // Heif or Avif: which major brands of the file type box this codec answers for.
    explicit HeifCodec(ImageFormat format) : format(format) {}

    ImageFormat Format() const override { return format; }
    const CLSID& EncoderClsid() const override;
    bool Matches(const std::uint8_t* head, std::size_t length) const override;
    Status ReadInfo(ByteSource& source, ImageInfo& info) const override;
    Status Decode(ByteSource& source, int reduction, std::unique_ptr<PixelBuffer>& pixels) const override;
    int MaxReduction() const override { return 64; }
    bool CanEncode() const override { return false; }
    Status Encode(const PixelBuffer& pixels, const EncoderOptions& options, MemoryStream& stream) const override;

private:
    ImageFormat format;
};

} // namespace Platform::Gdiplus
