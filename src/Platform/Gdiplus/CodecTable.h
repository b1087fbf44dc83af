#pragma once
// The codecs this library knows, found by a file's content or by encoder identifier.

#include "Platform/Gdiplus/GdiplusTypes.h"

#include <cstddef>
#include <cstdint>

namespace Platform::Gdiplus {

class ImageCodec;

class CodecTable {
public:
    // Bytes of a file's start that Detect needs to see.
    static constexpr std::size_t SignatureLength = 12;

    // Null when no codec recognises the content.
    static const ImageCodec* Detect(const std::uint8_t* head, std::size_t length);
    // Null when no codec encodes with that identifier.
    static const ImageCodec* ForEncoder(const CLSID& clsid);
};

} // namespace Platform::Gdiplus
