#include "Imaging/RasterFile.h"
#include "Imaging/RasterImage.h"
#include "Platform/Gdiplus/ExifBlock.h"

#include <cstdio>
#include <vector>

namespace {

constexpr std::uint8_t StartOfImage = 0xD8;
constexpr std::uint8_t EndOfImage = 0xD9;
constexpr std::uint8_t StartOfScan = 0xDA;
constexpr std::uint8_t App1 = 0xE1;

bool ReadByte(RasterFile& file, std::uint8_t& byte)
{
    return file.Read(&byte, 1) == 1;
}

// Markers without a length: TEM and the restart markers.
bool StandsAlone(std::uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// The next marker's code, past any fill bytes; false when the bytes are no marker.
bool ReadMarker(RasterFile& file, std::uint8_t& marker)
{
    std::uint8_t byte = 0;
    if (!ReadByte(file, byte) || byte != 0xFF)
        return false;
    do {
        if (!ReadByte(file, marker))
            return false;
    } while (marker == 0xFF);
    return true;
}

} // namespace

bool RasterImage::GetExifInfo(RasterFile& file, ExifInfo& info)
{
    std::uint8_t start[2] = {};
    if (!file.Seek(0, SEEK_SET) || file.Read(start, 2) != 2 || start[0] != 0xFF || start[1] != StartOfImage)
        return false;
    // Every step moves on by at least two bytes, so the walk ends at the file's end.
    std::uint8_t marker = 0;
    while (ReadMarker(file, marker) && marker != StartOfScan && marker != EndOfImage) {
        if (StandsAlone(marker))
            continue;
        std::uint8_t length[2] = {};
        if (file.Read(length, 2) != 2)
            return false;
        const std::size_t segment = static_cast<std::size_t>((length[0] << 8) | length[1]);
        if (segment < 2)
            return false;
        if (marker != App1) {
            if (!file.Seek(static_cast<std::int64_t>(segment - 2), SEEK_CUR))
                return false;
            continue;
        }
        std::vector<std::uint8_t> payload(segment - 2);
        if (file.Read(payload.data(), payload.size()) != payload.size())
            return false;
        if (Platform::Gdiplus::IsExifBlock(payload.data(), payload.size())) {
            const Platform::Gdiplus::ExifFields fields =
                Platform::Gdiplus::ReadExifFields(payload.data(), payload.size());
            info.orientation = fields.orientation;
            info.dateTimeOriginal = fields.dateTimeOriginal;
            return true;
        }
    }
    return false;
}
