#pragma once
// What a JPEG file's Exif block says about its photo, read from the payload of an
// APP1 marker: the orientation of the stored pixels and when the photo was taken.
// The bytes are hostile input: every offset and count is checked against the block
// before it is followed.

#include <cstddef>
#include <cstdint>
#include <string>

namespace Platform::Gdiplus {

struct ExifFields {
    // 1 to 8 as Exif numbers them; 1 (stored upright) when the block gives none in its
    // first image directory, or a value outside 1 to 8.
    int orientation = 1;
    // DateTimeOriginal as the camera wrote it, "YYYY:MM:DD HH:MM:SS" (local time of the
    // camera); empty when the block has none or it is not of that form.
    std::string dateTimeOriginal;
};

// True when an APP1 payload begins with the Exif signature "Exif\0\0".
bool IsExifBlock(const std::uint8_t* payload, std::size_t length);

// The fields of an APP1 payload beginning with "Exif\0\0"; the defaults when the
// payload is no Exif block.
ExifFields ReadExifFields(const std::uint8_t* payload, std::size_t length);

// ReadExifFields(...).orientation.
int ReadExifOrientation(const std::uint8_t* payload, std::size_t length);

} // namespace Platform::Gdiplus
