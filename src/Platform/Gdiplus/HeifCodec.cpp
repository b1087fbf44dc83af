#include "Platform/Gdiplus/HeifCodec.h"

#include "Platform/Gdiplus/ByteSource.h"
#include "Platform/Gdiplus/PixelBuffer.h"

#include <algorithm>
#include <cstring>
#include <libheif/heif.h>

namespace Platform::Gdiplus {

namespace {

// The major brands of HEIC and other HEVC-coded files, and of AVIF files.
constexpr const char* HeifBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1"};
constexpr const char* AvifBrands[] = {"avif", "avis"};

void InitialiseOnce()
{
    static const heif_error initialised = heif_init(nullptr);
    (void)initialised;
}

Status ToStatus(const heif_error& error)
{
    switch (error.code) {
    case heif_error_Ok:
        return Status::Ok;
    case heif_error_Memory_allocation_error:
        return Status::OutOfMemory;
    case heif_error_Unsupported_filetype:
    case heif_error_Unsupported_feature:
        return Status::NotImplemented;
    default:
        return error.subcode == heif_suberror_Security_limit_exceeded ? Status::ValueOverflow : Status::GenericError;
    }
}

// libheif reads the file through the source, box by box, so a header read touches
// only the boxes before the picture data.
std::int64_t GetPosition(void* source)
{
    return static_cast<std::int64_t>(static_cast<ByteSource*>(source)->Position());
}

int ReadBytes(void* data, std::size_t size, void* source)
{
    return static_cast<ByteSource*>(source)->ReadExact(data, size) ? 0 : -1;
}

int SeekTo(std::int64_t position, void* source)
{
    return position >= 0 && static_cast<ByteSource*>(source)->Seek(static_cast<std::uint64_t>(position)) ? 0 : -1;
}

heif_reader_grow_status WaitForSize(std::int64_t size, void* source)
{
    return size >= 0 && static_cast<std::uint64_t>(size) <= static_cast<ByteSource*>(source)->Size()
               ? heif_reader_grow_status_size_reached
               : heif_reader_grow_status_size_beyond_eof;
}

const heif_reader SourceReader = {1, GetPosition, ReadBytes, SeekTo, WaitForSize};

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleFree {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageFree {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleFree>;
using Image = std::unique_ptr<heif_image, ImageFree>;

// The primary picture's handle, its upright size and stored size checked against the
// pixel limit before anything of the picture is decoded.
Status OpenPrimary(ByteSource& source, Context& context, Handle& primary)
{
    InitialiseOnce();
    context.reset(heif_context_alloc());
    if (!context)
        return Status::OutOfMemory;
    heif_context_set_maximum_image_size_limit(context.get(), static_cast<int>(PixelBuffer::MaxSide));
    if (const Status status = ToStatus(heif_context_read_from_reader(context.get(), &SourceReader, &source, nullptr));
        status != Status::Ok)
        return status;
    heif_image_handle* handle = nullptr;
    if (const Status status = ToStatus(heif_context_get_primary_image_handle(context.get(), &handle));
        status != Status::Ok)
        return status;
    primary.reset(handle);
    if (const Status status =
            PixelBuffer::CheckSize(heif_image_handle_get_ispe_width(handle), heif_image_handle_get_ispe_height(handle));
        status != Status::Ok)
        return status;
    return PixelBuffer::CheckSize(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
}

// The smallest embedded thumbnail that covers the size on both sides; null when there
// is none (the caller decodes the picture itself).
Handle CoveringThumbnail(heif_image_handle* primary, int minWidth, int minHeight)
{
    heif_item_id ids[8] = {};
    const int count = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids, 8);
    Handle best;
    for (int i = 0; i < count; ++i) {
        heif_image_handle* thumbnail = nullptr;
        if (heif_image_handle_get_thumbnail(primary, ids[i], &thumbnail).code != heif_error_Ok)
            continue;
        Handle candidate(thumbnail);
        const int width = heif_image_handle_get_width(thumbnail);
        const int height = heif_image_handle_get_height(thumbnail);
        if (width < minWidth || height < minHeight ||
            PixelBuffer::CheckSize(heif_image_handle_get_ispe_width(thumbnail),
                                   heif_image_handle_get_ispe_height(thumbnail)) != Status::Ok)
            continue;
        if (!best || std::int64_t{width} * height < std::int64_t{heif_image_handle_get_width(best.get())} *
                                                        heif_image_handle_get_height(best.get()))
            best = std::move(candidate);
    }
    return best;
}

// Interleaved 8-bit red, green, blue, alpha rows into blue, green, red, alpha pixels.
Status ToPixels(const heif_image* image, std::unique_ptr<PixelBuffer>& pixels)
{
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    int stride = 0;
    const std::uint8_t* data = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    if (!data || stride < width * 4 || heif_image_get_bits_per_pixel_range(image, heif_channel_interleaved) != 8)
        return Status::NotImplemented;
    std::unique_ptr<PixelBuffer> converted = PixelBuffer::Create(width, height);
    if (!converted)
        return Status::OutOfMemory;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = data + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        std::uint8_t* to = converted->Row(y);
        for (int x = 0; x < width; ++x, from += 4, to += 4) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = from[3];
        }
    }
    pixels = std::move(converted);
    return Status::Ok;
}

} // namespace

const CLSID& HeifCodec::EncoderClsid() const
{
    static constexpr CLSID none = {};
    return none;
}

bool HeifCodec::Matches(const std::uint8_t* head, std::size_t length) const
{
    if (length < 12 || std::memcmp(head + 4, "ftyp", 4) != 0)
        return false;
    auto isBrand = [head](const char* brand) { return std::memcmp(head + 8, brand, 4) == 0; };
    if (format == ImageFormat::Avif)
        return std::any_of(std::begin(AvifBrands), std::end(AvifBrands), isBrand);
    return std::any_of(std::begin(HeifBrands), std::end(HeifBrands), isBrand);
}

Status HeifCodec::ReadInfo(ByteSource& source, ImageInfo& info) const
{
    Context context;
    Handle primary;
    if (const Status status = OpenPrimary(source, context, primary); status != Status::Ok)
        return status;
    info.width = heif_image_handle_get_width(primary.get());
    info.height = heif_image_handle_get_height(primary.get());
    info.orientation = 1;
    return Status::Ok;
}

Status HeifCodec::Decode(ByteSource& source, int reduction, std::unique_ptr<PixelBuffer>& pixels) const
{
    Context context;
    Handle primary;
    if (const Status status = OpenPrimary(source, context, primary); status != Status::Ok)
        return status;
    Handle thumbnail;
    if (reduction > 1) {
        const int width = heif_image_handle_get_width(primary.get());
        const int height = heif_image_handle_get_height(primary.get());
        thumbnail =
            CoveringThumbnail(primary.get(), (width + reduction - 1) / reduction, (height + reduction - 1) / reduction);
    }
    heif_image* decoded = nullptr;
    if (const Status status = ToStatus(heif_decode_image(thumbnail ? thumbnail.get() : primary.get(), &decoded,
                                                         heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr));
        status != Status::Ok)
        return status;
    Image image(decoded);
    return ToPixels(image.get(), pixels);
}

Status HeifCodec::Encode(const PixelBuffer&, const EncoderOptions&, MemoryStream&) const
{
    return Status::NotImplemented;
}

} // namespace Platform::Gdiplus
