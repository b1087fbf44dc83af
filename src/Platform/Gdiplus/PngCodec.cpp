// libpng reports errors through a handler that must not return; ours longjmps back to
// the function that called setjmp (png_jmpbuf). The functions that call setjmp hold
// only plain C data; the library state's owner and the row table live in their callers.

#include "Platform/Gdiplus/PngCodec.h"

#include "Platform/Gdiplus/ByteSource.h"
#include "Platform/Gdiplus/MemoryStream.h"
#include "Platform/Gdiplus/PixelBuffer.h"
#include "Platform/Gdiplus/PngReadLimits.h"

#include <png.h>
#include <vector>

namespace Platform::Gdiplus {

namespace {

[[noreturn]] void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep data, png_size_t length)
{
    auto* source = static_cast<ByteSource*>(png_get_io_ptr(png));
    if (!source->ReadExact(data, length))
        png_error(png, "truncated");
}

void WriteData(png_structp png, png_bytep data, png_size_t length)
{
    auto* stream = static_cast<MemoryStream*>(png_get_io_ptr(png));
    if (!stream->Write(data, length))
        png_error(png, "out of memory");
}

void Flush(png_structp) {}

class ReadState {
public:
    explicit ReadState(ByteSource& source)
    {
        png = CreateLimitedPngReader(OnError, OnWarning);
        if (png)
            info = png_create_info_struct(png);
        if (info)
            png_set_read_fn(png, &source, ReadData);
    }
    ~ReadState() { png_destroy_read_struct(&png, &info, nullptr); }
    ReadState(const ReadState&) = delete;
    ReadState& operator=(const ReadState&) = delete;

    bool Valid() const { return info != nullptr; }

    png_structp png = nullptr;
    png_infop info = nullptr;
};

bool ReadHeader(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    return true;
}

// Every colour type and depth becomes 8-bit blue, green, red, alpha.
bool SetUpTransforms(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == png_get_image_width(png, info) * 4;
}

bool ReadImage(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    return true;
}

class WriteState {
public:
    explicit WriteState(MemoryStream& stream)
    {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
        if (png)
            info = png_create_info_struct(png);
        if (info)
            png_set_write_fn(png, &stream, WriteData, Flush);
    }
    ~WriteState() { png_destroy_write_struct(&png, &info); }
    WriteState(const WriteState&) = delete;
    WriteState& operator=(const WriteState&) = delete;

    bool Valid() const { return info != nullptr; }

    png_structp png = nullptr;
    png_infop info = nullptr;
};

bool WriteImage(png_structp png, png_infop info, const PixelBuffer* pixels, bool alpha, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(pixels->Width()), static_cast<png_uint_32>(pixels->Height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    if (!alpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

template <typename Buffer, typename Row> std::vector<Row> RowTable(Buffer& pixels)
{
    std::vector<Row> rows(static_cast<std::size_t>(pixels.Height()));
    for (int y = 0; y < pixels.Height(); ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<Row>(pixels.Row(y));
    return rows;
}

} // namespace

const CLSID& PngCodec::EncoderClsid() const
{
    static constexpr CLSID clsid = ImageEncoderClsid(0x557CF406);
    return clsid;
}

bool PngCodec::Matches(const std::uint8_t* head, std::size_t length) const
{
    return length >= 8 && png_sig_cmp(head, 0, 8) == 0;
}

Status PngCodec::ReadInfo(ByteSource& source, ImageInfo& info) const
{
    ReadState state(source);
    if (!state.Valid())
        return Status::OutOfMemory;
    if (!ReadHeader(state.png, state.info))
        return Status::GenericError;
    info.width = static_cast<int>(png_get_image_width(state.png, state.info));
    info.height = static_cast<int>(png_get_image_height(state.png, state.info));
    return PixelBuffer::CheckSize(info.width, info.height);
}

Status PngCodec::Decode(ByteSource& source, int, std::unique_ptr<PixelBuffer>& pixels) const
{
    ReadState state(source);
    if (!state.Valid())
        return Status::OutOfMemory;
    if (!ReadHeader(state.png, state.info))
        return Status::GenericError;
    const png_uint_32 width = png_get_image_width(state.png, state.info);
    const png_uint_32 height = png_get_image_height(state.png, state.info);
    if (const Status size = PixelBuffer::CheckSize(width, height); size != Status::Ok)
        return size;
    if (!SetUpTransforms(state.png, state.info))
        return Status::NotImplemented;
    std::unique_ptr<PixelBuffer> decoded = PixelBuffer::Create(static_cast<int>(width), static_cast<int>(height));
    if (!decoded)
        return Status::OutOfMemory;
    std::vector<png_bytep> rows = RowTable<PixelBuffer, png_bytep>(*decoded);
    if (!ReadImage(state.png, rows.data()))
        return Status::GenericError;
    pixels = std::move(decoded);
    return Status::Ok;
}

Status PngCodec::Encode(const PixelBuffer& pixels, const EncoderOptions&, MemoryStream& stream) const
{
    WriteState state(stream);
    if (!state.Valid())
        return Status::OutOfMemory;
    std::vector<png_bytep> rows = RowTable<const PixelBuffer, png_bytep>(pixels);
    return WriteImage(state.png, state.info, &pixels, pixels.HasAlpha(), rows.data()) ? Status::Ok
                                                                                      : Status::GenericError;
}

} // namespace Platform::Gdiplus
