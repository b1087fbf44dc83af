#include "Platform/Gdiplus/ExifOrientation.h"

#include <cstring>

namespace Platform::Gdiplus {

namespace {

constexpr std::uint8_t ExifSignature[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint16_t OrientationTag = 0x0112;
constexpr std::uint16_t ShortType = 3;
constexpr std::size_t EntrySize = 12;

// The TIFF structure inside the block, read in its own byte order; every read is
// checked against the structure's end.
class TiffReader {
public:
    TiffReader(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

    bool ReadByteOrder()
    {
        if (size < 8)
            return false;
        if (data[0] == 'I' && data[1] == 'I')
            bigEndian = false;
        else if (data[0] == 'M' && data[1] == 'M')
            bigEndian = true;
        else
            return false;
        std::uint32_t magic = 0;
        return Read16(2, magic) && magic == 42;
    }
    bool Read16(std::size_t at, std::uint32_t& value) const { return Read(at, 2, value); }
    bool Read32(std::size_t at, std::uint32_t& value) const { return Read(at, 4, value); }

private:
    bool Read(std::size_t at, std::size_t bytes, std::uint32_t& value) const
    {
        if (at > size || size - at < bytes)
            return false;
        value = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            const std::uint32_t byte = data[at + (bigEndian ? i : bytes - 1 - i)];
            value = (value << 8) | byte;
        }
        return true;
    }

    const std::uint8_t* data;
    std::size_t size;
    bool bigEndian = false;
};

// Only the first image directory describes the main picture; the chain to the next
// one is not followed.
int FindOrientation(const TiffReader& tiff)
{
    std::uint32_t directory = 0;
    std::uint32_t count = 0;
    if (!tiff.Read32(4, directory) || !tiff.Read16(directory, count))
        return 1;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = std::size_t{directory} + 2 + i * EntrySize;
        std::uint32_t tag = 0;
        std::uint32_t type = 0;
        std::uint32_t values = 0;
        std::uint32_t value = 0;
        if (!tiff.Read16(entry, tag) || !tiff.Read16(entry + 2, type) || !tiff.Read32(entry + 4, values) ||
            !tiff.Read16(entry + 8, value))
            return 1;
        if (tag == OrientationTag)
            return type == ShortType && values == 1 && value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

} // namespace

bool IsExifBlock(const std::uint8_t* payload, std::size_t length)
{
    return payload && length >= sizeof ExifSignature && std::memcmp(payload, ExifSignature, sizeof ExifSignature) == 0;
}

int ReadExifOrientation(const std::uint8_t* payload, std::size_t length)
{
    if (!IsExifBlock(payload, length))
        return 1;
    TiffReader tiff(payload + sizeof ExifSignature, length - sizeof ExifSignature);
    if (!tiff.ReadByteOrder())
        return 1;
    return FindOrientation(tiff);
}

} // namespace Platform::Gdiplus
