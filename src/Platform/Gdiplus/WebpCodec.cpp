#include "Platform/Gdiplus/WebpCodec.h"

#include "Platform/Gdiplus/ByteSource.h"
#include "Platform/Gdiplus/ExifBlock.h"
#include "Platform/Gdiplus/LittleEndian.h"
#include "Platform/Gdiplus/PixelBuffer.h"

#include <algorithm>
#include <cstring>
#include <vector>
#include <webp/decode.h>

namespace Platform::Gdiplus {

namespace {

constexpr std::size_t RiffHeaderSize = 12;
constexpr std::size_t ChunkHeaderSize = 8;
// Enough for the first chunk's header, where every form of the file states its size.
constexpr std::size_t FeatureBytes = 64;
// The extended format's flag that the file has an EXIF chunk.
constexpr std::uint8_t ExifFlag = 0x08;
// Exif blocks of cameras take a few kilobytes (JPEG caps theirs at 64 KiB); a larger
// claim is not read.
constexpr std::uint32_t MaxExifSize = 1 << 20;
constexpr int MaxChunks = 64;
constexpr std::uint8_t ExifSignature[] = {'E', 'x', 'i', 'f', 0, 0};

Status ToStatus(VP8StatusCode code)
{
    switch (code) {
    case VP8_STATUS_OK:
        return Status::Ok;
    case VP8_STATUS_OUT_OF_MEMORY:
        return Status::OutOfMemory;
    case VP8_STATUS_UNSUPPORTED_FEATURE:
        return Status::NotImplemented;
    default:
        return Status::GenericError;
    }
}

Status ReadFeatures(const std::uint8_t* data, std::size_t size, WebPBitstreamFeatures& features)
{
    if (const Status status = ToStatus(WebPGetFeatures(data, size, &features)); status != Status::Ok)
        return status;
    if (features.has_animation)
        return Status::NotImplemented;
    return PixelBuffer::CheckSize(features.width, features.height);
}

// The orientation from the EXIF chunk, found by walking the chunks after the extended
// header; 1 when there is none or it cannot be read. The chunk holds the Exif TIFF
// structure, with or without the "Exif\0\0" prefix of JPEG's APP1 block.
int ReadOrientation(ByteSource& source)
{
    std::uint8_t header[ChunkHeaderSize + 1] = {};
    if (!source.Seek(RiffHeaderSize) || !source.ReadExact(header, sizeof header) ||
        std::memcmp(header, "VP8X", 4) != 0 || !(header[ChunkHeaderSize] & ExifFlag))
        return 1;
    std::uint64_t position = RiffHeaderSize;
    for (int chunk = 0; chunk < MaxChunks && position + ChunkHeaderSize <= source.Size(); ++chunk) {
        std::uint8_t chunkHeader[ChunkHeaderSize];
        if (!source.Seek(position) || !source.ReadExact(chunkHeader, sizeof chunkHeader))
            return 1;
        const std::uint32_t size = GetU32(chunkHeader + 4);
        if (std::memcmp(chunkHeader, "EXIF", 4) == 0) {
            if (size > MaxExifSize || size > source.Remaining())
                return 1;
            std::vector<std::uint8_t> block(ExifSignature, ExifSignature + sizeof ExifSignature);
            block.resize(sizeof ExifSignature + size);
            if (!source.ReadExact(block.data() + sizeof ExifSignature, size))
                return 1;
            const bool prefixed = IsExifBlock(block.data() + sizeof ExifSignature, size);
            return prefixed ? ReadExifOrientation(block.data() + sizeof ExifSignature, size)
                            : ReadExifOrientation(block.data(), block.size());
        }
        position += ChunkHeaderSize + size + (size & 1);
    }
    return 1;
}

// The whole file in memory: mapped when the source can, else read into the buffer.
const std::uint8_t* WholeFile(ByteSource& source, std::vector<std::uint8_t>& buffer)
{
    if (const std::uint8_t* mapped = source.Map())
        return mapped;
    buffer.resize(static_cast<std::size_t>(source.Size()));
    if (!source.Seek(0) || !source.ReadExact(buffer.data(), buffer.size()))
        return nullptr;
    return buffer.data();
}

} // namespace

const CLSID& WebpCodec::EncoderClsid() const
{
    static constexpr CLSID none = {};
    return none;
}

bool WebpCodec::Matches(const std::uint8_t* head, std::size_t length) const
{
    return length >= RiffHeaderSize && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0;
}

Status WebpCodec::ReadInfo(ByteSource& source, ImageInfo& info) const
{
    std::uint8_t head[FeatureBytes] = {};
    const std::size_t got = source.Read(head, sizeof head);
    WebPBitstreamFeatures features;
    if (const Status status = ReadFeatures(head, got, features); status != Status::Ok)
        return status;
    info.width = features.width;
    info.height = features.height;
    info.orientation = ReadOrientation(source);
    return Status::Ok;
}

Status WebpCodec::Decode(ByteSource& source, int reduction, std::unique_ptr<PixelBuffer>& pixels) const
{
    if (source.Size() > std::uint64_t{PixelBuffer::MaxBytes})
        return Status::ValueOverflow;
    std::vector<std::uint8_t> buffer;
    const std::uint8_t* data = WholeFile(source, buffer);
    if (!data)
        return Status::GenericError;
    const auto size = static_cast<std::size_t>(source.Size());
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        return Status::NotImplemented;
    if (const Status status = ReadFeatures(data, size, config.input); status != Status::Ok)
        return status;
    int width = config.input.width;
    int height = config.input.height;
    if (reduction > 1) {
        width = (width + reduction - 1) / reduction;
        height = (height + reduction - 1) / reduction;
        config.options.use_scaling = 1;
        config.options.scaled_width = width;
        config.options.scaled_height = height;
    }
    std::unique_ptr<PixelBuffer> decoded = PixelBuffer::Create(width, height);
    if (!decoded)
        return Status::OutOfMemory;
    config.output.colorspace = MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = decoded->Data();
    config.output.u.RGBA.stride = decoded->Stride();
    config.output.u.RGBA.size = decoded->ByteSize();
    const Status status = ToStatus(WebPDecode(data, size, &config));
    WebPFreeDecBuffer(&config.output);
    if (status != Status::Ok)
        return status;
    pixels = std::move(decoded);
    return Status::Ok;
}

Status WebpCodec::Encode(const PixelBuffer&, const EncoderOptions&, MemoryStream&) const
{
    return Status::NotImplemented;
}

} // namespace Platform::Gdiplus
