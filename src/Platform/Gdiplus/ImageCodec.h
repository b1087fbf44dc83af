#pragma once
// One picture format: recognising it by content, reading its header, decoding its
// first image to 32-bit pixels and encoding pixels. Codecs hold no state; every
// call works on the source or stream it is given, so they are shared by all threads.

#include "Platform/Gdiplus/GdiplusTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Platform::Gdiplus {

class ByteSource;
class MemoryStream;
class PixelBuffer;

struct ImageInfo {
    // The stored size, before the orientation is applied.
    int width = 0;
    int height = 0;
    // The Exif orientation (1 to 8) that turns the stored pixels upright; 1 for formats
    // and files without one.
    int orientation = 1;
};

struct EncoderOptions {
    int quality = 75;
};

class ImageCodec {
public:
    virtual ~ImageCodec() = default;

    virtual ImageFormat Format() const = 0;
    virtual const CLSID& EncoderClsid() const = 0;
    // True when the first bytes of a file carry this format's signature.
    virtual bool Matches(const std::uint8_t* head, std::size_t length) const = 0;
    // Width, height and orientation from the header alone; the limit of PixelBuffer is
    // applied.
    virtual Status ReadInfo(ByteSource& source, ImageInfo& info) const = 0;
    // Decodes the first image as stored (not turned upright), reduced by a power of two
    // up to MaxReduction where the format can do so cheaply (the result then covers at
    // least width / reduction, rounded up, on both sides); otherwise at full size.
    // Truncated or corrupt data fails.
    virtual Status Decode(ByteSource& source, int reduction, std::unique_ptr<PixelBuffer>& pixels) const = 0;
    // The largest reduction Decode is worth asking for; 1 for formats that always
    // decode at full size.
    virtual int MaxReduction() const { return 1; }
    // Decode-only formats have no encoder: Save refuses their identifier.
    virtual bool CanEncode() const { return true; }
    virtual Status Encode(const PixelBuffer& pixels, const EncoderOptions& options, MemoryStream& stream) const = 0;
};

} // namespace Platform::Gdiplus
