#include "Platform/Gdiplus/BmpHeader.h"

#include "Platform/Gdiplus/ByteSource.h"
#include "Platform/Gdiplus/LittleEndian.h"
#include "Platform/Gdiplus/PixelBuffer.h"

#include <cstdlib>

namespace Platform::Gdiplus {

namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t LargestHeaderSize = 124;
// Bit-field masks that follow a 40-byte header: red, green, blue and maybe alpha.
constexpr std::uint32_t TrailingMasksSize = 16;

} // namespace

Status BmpHeader::Read(ByteSource& source)
{
    std::uint8_t bytes[FileHeaderSize + LargestHeaderSize + TrailingMasksSize] = {};
    const std::size_t got = source.Read(bytes, sizeof bytes);
    if (got < FileHeaderSize + CoreHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return Status::GenericError;
    pixelOffset = GetU32(bytes + 10);
    const std::uint32_t size = GetU32(bytes + FileHeaderSize);
    if (size < CoreHeaderSize || size > LargestHeaderSize || got < FileHeaderSize + size)
        return Status::GenericError;
    if (const Status status = ReadInfoHeader(bytes + FileHeaderSize, size); status != Status::Ok)
        return status;
    return Check();
}

Status BmpHeader::ReadInfoHeader(const std::uint8_t* header, std::uint32_t size)
{
    paletteOffset = FileHeaderSize + size;
    if (size == CoreHeaderSize) {
        width = GetU16(header + 4);
        height = GetU16(header + 6);
        bitsPerPixel = GetU16(header + 10);
        paletteEntrySize = 3;
        paletteCount = bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;
        return Status::Ok;
    }
    if (size < InfoHeaderSize)
        return Status::GenericError;
    const auto storedWidth = static_cast<std::int32_t>(GetU32(header + 4));
    const auto storedHeight = static_cast<std::int32_t>(GetU32(header + 8));
    if (storedWidth <= 0 || storedHeight == 0 || storedHeight == INT32_MIN)
        return Status::GenericError;
    width = storedWidth;
    height = std::abs(storedHeight);
    topDown = storedHeight < 0;
    bitsPerPixel = GetU16(header + 14);
    compression = GetU32(header + 16);
    const std::uint32_t colorsUsed = GetU32(header + 32);
    if (bitsPerPixel <= 8) {
        const std::uint32_t most = 1u << bitsPerPixel;
        paletteCount = static_cast<int>(colorsUsed == 0 || colorsUsed > most ? most : colorsUsed);
    }
    SetMasks(header, size, header + size);
    if (size == InfoHeaderSize && compression == BitFields)
        paletteOffset += 12;
    else if (size == InfoHeaderSize && compression == AlphaBitFields)
        paletteOffset += 16;
    return Status::Ok;
}

void BmpHeader::SetMasks(const std::uint8_t* header, std::uint32_t size, const std::uint8_t* afterHeader)
{
    if (compression != BitFields && compression != AlphaBitFields) {
        const bool sixteen = bitsPerPixel == 16;
        masks[0] = sixteen ? 0x7C00 : 0xFF0000;
        masks[1] = sixteen ? 0x03E0 : 0x00FF00;
        masks[2] = sixteen ? 0x001F : 0x0000FF;
        masks[3] = 0;
        return;
    }
    const std::uint8_t* stored = size > InfoHeaderSize ? header + InfoHeaderSize : afterHeader;
    const bool hasAlpha = size >= 56 || (size == InfoHeaderSize && compression == AlphaBitFields);
    for (int i = 0; i < (hasAlpha ? 4 : 3); ++i)
        masks[i] = GetU32(stored + 4 * i);
}

Status BmpHeader::Check() const
{
    const bool known = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 ||
                       bitsPerPixel == 24 || bitsPerPixel == 32;
    if (!known)
        return Status::GenericError;
    const bool supported =
        compression == Rgb || (compression == Rle8 && bitsPerPixel == 8 && !topDown) ||
        (compression == Rle4 && bitsPerPixel == 4 && !topDown) ||
        ((compression == BitFields || compression == AlphaBitFields) && (bitsPerPixel == 16 || bitsPerPixel == 32));
    if (!supported)
        return Status::NotImplemented;
    if (pixelOffset < paletteOffset + static_cast<std::uint64_t>(paletteCount) * paletteEntrySize)
        return Status::GenericError;
    return PixelBuffer::CheckSize(width, height);
}

} // namespace Platform::Gdiplus
