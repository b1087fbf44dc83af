#include "Platform/Gdiplus/ExifBlock.h"

#include <cstring>

namespace Platform::Gdiplus {

namespace {

constexpr std::uint8_t ExifSignature[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint16_t OrientationTag = 0x0112;
constexpr std::uint16_t ExifDirectoryTag = 0x8769;
constexpr std::uint16_t DateTimeOriginalTag = 0x9003;
constexpr std::uint16_t AsciiType = 2;
constexpr std::uint16_t ShortType = 3;
constexpr std::uint16_t LongType = 4;
constexpr std::uint16_t DirectoryType = 13;
constexpr std::size_t EntrySize = 12;
// "YYYY:MM:DD HH:MM:SS" without its closing zero.
constexpr std::size_t DateTimeLength = 19;

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
    // The bytes at..at+count, or null when they do not all lie in the structure.
    const std::uint8_t* Bytes(std::size_t at, std::size_t count) const
    {
        return at > size || size - at < count ? nullptr : data + at;
    }

private:
    bool Read(std::size_t at, std::size_t bytes, std::uint32_t& value) const
    {
        const std::uint8_t* p = Bytes(at, bytes);
        if (!p)
            return false;
        value = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            value = (value << 8) | p[bigEndian ? i : bytes - 1 - i];
        return true;
    }

    const std::uint8_t* data;
    std::size_t size;
    bool bigEndian = false;
};

struct Entry {
    std::uint32_t tag = 0;
    std::uint32_t type = 0;
    std::uint32_t count = 0;
    std::size_t at = 0; // where the entry starts; its value field is at + 8
};

// Calls visit for each entry of the directory at offset, in order, until visit
// returns false or an entry's tag, type or count cannot be read.
template <typename Visit> void ForEachEntry(const TiffReader& tiff, std::uint32_t directory, Visit visit)
{
    std::uint32_t count = 0;
    if (!tiff.Read16(directory, count))
        return;
    for (std::uint32_t i = 0; i < count; ++i) {
        Entry entry;
        entry.at = std::size_t{directory} + 2 + i * EntrySize;
        if (!tiff.Read16(entry.at, entry.tag) || !tiff.Read16(entry.at + 2, entry.type) ||
            !tiff.Read32(entry.at + 4, entry.count))
            return;
        if (!visit(entry))
            return;
    }
}

bool IsDigit(std::uint8_t c)
{
    return c >= '0' && c <= '9';
}

// "YYYY:MM:DD HH:MM:SS"; cameras that do not know the time write blanks instead.
bool IsDateTime(const std::uint8_t* text)
{
    constexpr char Shape[] = "dddd:dd:dd dd:dd:dd";
    for (std::size_t i = 0; i < DateTimeLength; ++i) {
        if (Shape[i] == 'd' ? !IsDigit(text[i]) : text[i] != static_cast<std::uint8_t>(Shape[i]))
            return false;
    }
    return true;
}

std::string ReadDateTimeOriginal(const TiffReader& tiff, std::uint32_t directory)
{
    std::string found;
    ForEachEntry(tiff, directory, [&](const Entry& entry) {
        if (entry.tag != DateTimeOriginalTag)
            return true;
        std::uint32_t offset = 0;
        if (entry.type == AsciiType && entry.count >= DateTimeLength && tiff.Read32(entry.at + 8, offset)) {
            const std::uint8_t* text = tiff.Bytes(offset, DateTimeLength);
            if (text && IsDateTime(text))
                found.assign(reinterpret_cast<const char*>(text), DateTimeLength);
        }
        return false;
    });
    return found;
}

// The first image directory describes the main picture; the chain to the next one is
// not followed. An entry that cannot be read ends the directory.
ExifFields ReadFields(const TiffReader& tiff)
{
    ExifFields fields;
    std::uint32_t directory = 0;
    if (!tiff.Read32(4, directory))
        return fields;
    int orientation = 1;
    bool orientationSeen = false;
    std::uint32_t exifDirectory = 0;
    ForEachEntry(tiff, directory, [&](const Entry& entry) {
        std::uint32_t value = 0;
        if (entry.tag == OrientationTag && !orientationSeen) {
            orientationSeen = true;
            if (entry.type == ShortType && entry.count == 1 && tiff.Read16(entry.at + 8, value) && value >= 1 &&
                value <= 8)
                orientation = static_cast<int>(value);
        } else if (entry.tag == ExifDirectoryTag && exifDirectory == 0 && entry.count == 1 &&
                   (entry.type == LongType || entry.type == DirectoryType) && tiff.Read32(entry.at + 8, value)) {
            exifDirectory = value;
        }
        return true;
    });
    fields.orientation = orientation;
    if (exifDirectory != 0 && exifDirectory != directory)
        fields.dateTimeOriginal = ReadDateTimeOriginal(tiff, exifDirectory);
    return fields;
}

} // namespace

bool IsExifBlock(const std::uint8_t* payload, std::size_t length)
{
    return payload && length >= sizeof ExifSignature && std::memcmp(payload, ExifSignature, sizeof ExifSignature) == 0;
}

ExifFields ReadExifFields(const std::uint8_t* payload, std::size_t length)
{
    if (!IsExifBlock(payload, length))
        return {};
    TiffReader tiff(payload + sizeof ExifSignature, length - sizeof ExifSignature);
    if (!tiff.ReadByteOrder())
        return {};
    return ReadFields(tiff);
}

int ReadExifOrientation(const std::uint8_t* payload, std::size_t length)
{
    return ReadExifFields(payload, length).orientation;
}

} // namespace Platform::Gdiplus
