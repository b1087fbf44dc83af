#include "Platform/Gdiplus/BmpCodec.h"

#include "Platform/Gdiplus/BmpHeader.h"
#include "Platform/Gdiplus/ByteSource.h"
#include "Platform/Gdiplus/LittleEndian.h"
#include "Platform/Gdiplus/MemoryStream.h"
#include "Platform/Gdiplus/PixelBuffer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace Platform::Gdiplus {

namespace {

using Palette = std::array<std::uint32_t, 256>; // 0xAARRGGBB, unused entries opaque black
constexpr std::uint32_t OpaqueBlack = 0xFF000000;

void PutPixel(std::uint8_t* target, std::uint32_t argb)
{
    std::memcpy(target, &argb, 4);
}

Status ReadPalette(ByteSource& source, const BmpHeader& header, Palette& palette)
{
    palette.fill(OpaqueBlack);
    std::uint8_t entry[4];
    if (header.paletteCount > 0 && !source.Seek(header.paletteOffset))
        return Status::GenericError;
    for (int i = 0; i < header.paletteCount; ++i) {
        if (!source.ReadExact(entry, static_cast<std::size_t>(header.paletteEntrySize)))
            return Status::GenericError;
        palette[static_cast<std::size_t>(i)] = OpaqueBlack | entry[2] << 16 | entry[1] << 8 | entry[0];
    }
    return Status::Ok;
}

// One channel of a bit-field pixel, scaled to eight bits.
class Channel {
public:
    Channel(std::uint32_t mask, std::uint32_t absent)
        : mask(mask), shift(mask ? std::countr_zero(mask) : 0), bits(mask ? std::popcount(mask) : 0), absent(absent)
    {
    }

    std::uint32_t Get(std::uint32_t pixel) const
    {
        if (bits == 0)
            return absent;
        const std::uint32_t value = (pixel & mask) >> shift;
        return bits >= 8 ? value >> (bits - 8) & 0xFF : value * 255 / ((1u << bits) - 1);
    }

private:
    std::uint32_t mask;
    int shift;
    int bits;
    std::uint32_t absent;
};

class RowConverter {
public:
    RowConverter(const BmpHeader& header, const Palette& palette)
        : header(header), palette(palette), red(header.masks[0], 0), green(header.masks[1], 0),
          blue(header.masks[2], 0), alpha(header.masks[3], 0xFF)
    {
    }

    void Convert(const std::uint8_t* stored, std::uint8_t* target) const
    {
        const int width = header.width;
        switch (header.bitsPerPixel) {
        case 1:
        case 4:
        case 8:
            ConvertIndexed(stored, target, width);
            break;
        case 24:
            for (int x = 0; x < width; ++x, stored += 3, target += 4)
                PutPixel(target, OpaqueBlack | stored[2] << 16 | stored[1] << 8 | stored[0]);
            break;
        default:
            ConvertBitFields(stored, target, width);
        }
    }

private:
    void ConvertIndexed(const std::uint8_t* stored, std::uint8_t* target, int width) const
    {
        const int bits = header.bitsPerPixel;
        const int perByte = 8 / bits;
        const unsigned valueMask = (1u << bits) - 1;
        for (int x = 0; x < width; ++x, target += 4) {
            const int shift = 8 - bits * (x % perByte + 1);
            PutPixel(target, palette[stored[x / perByte] >> shift & valueMask]);
        }
    }

    void ConvertBitFields(const std::uint8_t* stored, std::uint8_t* target, int width) const
    {
        const bool sixteen = header.bitsPerPixel == 16;
        for (int x = 0; x < width; ++x, target += 4) {
            const std::uint32_t pixel = sixteen ? GetU16(stored + 2 * x) : GetU32(stored + 4 * x);
            target[0] = static_cast<std::uint8_t>(blue.Get(pixel));
            target[1] = static_cast<std::uint8_t>(green.Get(pixel));
            target[2] = static_cast<std::uint8_t>(red.Get(pixel));
            target[3] = static_cast<std::uint8_t>(alpha.Get(pixel));
        }
    }

    const BmpHeader& header;
    const Palette& palette;
    Channel red, green, blue, alpha;
};

Status ReadUncompressed(ByteSource& source, const BmpHeader& header, const Palette& palette, PixelBuffer& pixels)
{
    std::vector<std::uint8_t> stored(header.RowBytes());
    const RowConverter converter(header, palette);
    for (int i = 0; i < header.height; ++i) {
        if (!source.ReadExact(stored.data(), stored.size()))
            return Status::GenericError;
        converter.Convert(stored.data(), pixels.Row(header.topDown ? i : header.height - 1 - i));
    }
    return Status::Ok;
}

// Run-length data: pixels that a delta or an early end of line skips stay transparent.
class RleDecoder {
public:
    RleDecoder(const BmpHeader& header, const Palette& palette, PixelBuffer& pixels)
        : palette(palette), pixels(pixels), four(header.compression == BmpHeader::Rle4)
    {
    }

    Status Run(const std::vector<std::uint8_t>& data)
    {
        std::size_t at = 0;
        while (at + 1 < data.size() && y < pixels.Height()) {
            const std::uint8_t count = data[at];
            const std::uint8_t value = data[at + 1];
            at += 2;
            if (count > 0) {
                for (int i = 0; i < count; ++i)
                    Put(four ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            } else if (value == 0) {
                x = 0;
                ++y;
            } else if (value == 1) {
                return Status::Ok;
            } else if (value == 2) {
                if (at + 1 >= data.size())
                    break;
                x = std::min(x + data[at], pixels.Width());
                y += data[at + 1];
                at += 2;
            } else {
                const std::size_t bytes = four ? (value + 1u) / 2 : value;
                if (at + bytes > data.size())
                    break;
                for (int i = 0; i < value; ++i)
                    Put(four ? (i % 2 == 0 ? data[at + i / 2] >> 4 : data[at + i / 2] & 0x0F) : data[at + i]);
                at += (bytes + 1) & ~std::size_t{1};
            }
        }
        return y >= pixels.Height() ? Status::Ok : Status::GenericError;
    }

private:
    void Put(unsigned index)
    {
        if (x < pixels.Width() && y < pixels.Height())
            PutPixel(pixels.Row(pixels.Height() - 1 - y) + 4 * x, palette[index]);
        ++x;
        x = std::min(x, pixels.Width());
    }

    const Palette& palette;
    PixelBuffer& pixels;
    bool four;
    int x = 0;
    int y = 0;
};

Status ReadCompressed(ByteSource& source, const BmpHeader& header, const Palette& palette, PixelBuffer& pixels)
{
    // The longest sensible encoding spends two bytes on every pixel and every line end;
    // whatever a file holds beyond that is not read.
    const auto width = static_cast<std::uint64_t>(pixels.Width());
    const auto height = static_cast<std::uint64_t>(pixels.Height());
    const std::uint64_t longest = 2 * (width + 2) * height + 2;
    const std::uint64_t available = std::min(source.Remaining(), longest);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(available));
    if (!source.ReadExact(data.data(), data.size()))
        return Status::GenericError;
    pixels.Fill(0);
    return RleDecoder(header, palette, pixels).Run(data);
}

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t V4HeaderSize = 108;

// 24 bits for opaque pictures; otherwise 32 bits with a version 4 header whose masks
// say where alpha is, since readers ignore the fourth byte of plain 32-bit bitmaps.
void WriteHeaders(const PixelBuffer& pixels, bool alpha, std::uint32_t rowBytes, MemoryStream& stream)
{
    const std::uint32_t headerSize = alpha ? V4HeaderSize : InfoHeaderSize;
    const std::uint32_t imageSize = rowBytes * static_cast<std::uint32_t>(pixels.Height());
    std::uint8_t bytes[FileHeaderSize + V4HeaderSize] = {'B', 'M'};
    PutU32(bytes + 2, FileHeaderSize + headerSize + imageSize);
    PutU32(bytes + 10, FileHeaderSize + headerSize);
    std::uint8_t* info = bytes + FileHeaderSize;
    PutU32(info, headerSize);
    PutU32(info + 4, static_cast<std::uint32_t>(pixels.Width()));
    PutU32(info + 8, static_cast<std::uint32_t>(pixels.Height()));
    PutU16(info + 12, 1);
    PutU16(info + 14, alpha ? 32 : 24);
    PutU32(info + 16, alpha ? BmpHeader::BitFields : BmpHeader::Rgb);
    PutU32(info + 20, imageSize);
    PutU32(info + 24, 3780); // 96 dots per inch
    PutU32(info + 28, 3780);
    if (alpha) {
        PutU32(info + 40, 0x00FF0000);
        PutU32(info + 44, 0x0000FF00);
        PutU32(info + 48, 0x000000FF);
        PutU32(info + 52, 0xFF000000);
        PutU32(info + 56, 0x73524742); // 'sRGB'
    }
    stream.Write(bytes, FileHeaderSize + headerSize);
}

} // namespace

const CLSID& BmpCodec::EncoderClsid() const
{
    static constexpr CLSID clsid = ImageEncoderClsid(0x557CF400);
    return clsid;
}

bool BmpCodec::Matches(const std::uint8_t* head, std::size_t length) const
{
    return length >= 2 && head[0] == 'B' && head[1] == 'M';
}

Status BmpCodec::ReadInfo(ByteSource& source, ImageInfo& info) const
{
    BmpHeader header;
    const Status status = header.Read(source);
    info.width = header.width;
    info.height = header.height;
    return status;
}

Status BmpCodec::Decode(ByteSource& source, int, std::unique_ptr<PixelBuffer>& pixels) const
{
    BmpHeader header;
    if (const Status status = header.Read(source); status != Status::Ok)
        return status;
    // A header that promises more rows than the file holds is refused before allocating.
    if (!header.Compressed() && header.pixelOffset + header.RowBytes() * header.height > source.Size())
        return Status::GenericError;
    Palette palette;
    if (const Status status = ReadPalette(source, header, palette); status != Status::Ok)
        return status;
    std::unique_ptr<PixelBuffer> decoded = PixelBuffer::Create(header.width, header.height);
    if (!decoded)
        return Status::OutOfMemory;
    if (!source.Seek(header.pixelOffset))
        return Status::GenericError;
    const Status status = header.Compressed() ? ReadCompressed(source, header, palette, *decoded)
                                              : ReadUncompressed(source, header, palette, *decoded);
    if (status == Status::Ok)
        pixels = std::move(decoded);
    return status;
}

Status BmpCodec::Encode(const PixelBuffer& pixels, const EncoderOptions&, MemoryStream& stream) const
{
    const bool alpha = pixels.HasAlpha();
    const int bytesPerPixel = alpha ? 4 : 3;
    const auto rowBytes = static_cast<std::uint32_t>((pixels.Width() * bytesPerPixel + 3) & ~3);
    WriteHeaders(pixels, alpha, rowBytes, stream);
    std::vector<std::uint8_t> row(rowBytes, 0);
    for (int y = pixels.Height() - 1; y >= 0; --y) {
        const std::uint8_t* source = pixels.Row(y);
        if (alpha) {
            std::memcpy(row.data(), source, static_cast<std::size_t>(pixels.Stride()));
        } else {
            for (int x = 0; x < pixels.Width(); ++x)
                std::memcpy(row.data() + 3 * x, source + 4 * x, 3);
        }
        if (!stream.Write(row.data(), row.size()))
            return Status::OutOfMemory;
    }
    return Status::Ok;
}

} // namespace Platform::Gdiplus
