#pragma once
// The orientation a JPEG file's Exif block gives its stored pixels, read from the
// payload of an APP1 marker. The bytes are hostile input: every offset and count is
// checked against the block before it is followed.

#include <cstddef>
#include <cstdint>

namespace Platform::Gdiplus {

// True when an APP1 payload begins with the Exif signature "Exif\0\0".
bool IsExifBlock(const std::uint8_t* payload, std::size_t length);

// The Exif orientation, 1 to 8 as Exif numbers them, of an APP1 payload beginning
// with "Exif\0\0"; 1 (stored upright) when the payload is no Exif block, has no
// orientation in its first image directory, or gives a value outside 1 to 8.
int ReadExifOrientation(const std::uint8_t* payload, std::size_t length);

} // namespace Platform::Gdiplus
