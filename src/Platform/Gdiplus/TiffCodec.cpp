#include "Platform/Gdiplus/TiffCodec.h"

#include "Platform/Gdiplus/ByteSource.h"
#include "Platform/Gdiplus/MemoryStream.h"
#include "Platform/Gdiplus/PixelBuffer.h"

#include <cstdarg>
#include <cstring>
#include <tiffio.h>
#include <vector>

namespace Platform::Gdiplus {

namespace {

// libtiff reads and writes through these; the handle is the ByteSource (a
// MemoryStream when writing).
ByteSource* SourceOf(thandle_t handle)
{
    return static_cast<ByteSource*>(handle);
}

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size)
{
    return size < 0 ? 0 : static_cast<tmsize_t>(SourceOf(handle)->Read(buffer, static_cast<std::size_t>(size)));
}

tmsize_t RefuseWrite(thandle_t, void*, tmsize_t)
{
    return 0;
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* stream = static_cast<MemoryStream*>(SourceOf(handle));
    return size >= 0 && stream->Write(buffer, static_cast<std::size_t>(size)) ? size : 0;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    ByteSource* source = SourceOf(handle);
    const toff_t base = whence == SEEK_CUR ? source->Position() : whence == SEEK_END ? source->Size() : 0;
    return source->Seek(base + offset) ? source->Position() : static_cast<toff_t>(-1);
}

int CloseProc(thandle_t)
{
    return 0;
}

toff_t SizeProc(thandle_t handle)
{
    return SourceOf(handle)->Size();
}

// Reading goes through the mapped bytes where the source has them: libtiff's tile
// reading for its RGBA conversion refuses uncompressed tiles when it reads through
// the read procedure.
int MapProc(thandle_t handle, void** base, toff_t* size)
{
    const std::uint8_t* data = SourceOf(handle)->Map();
    if (!data)
        return 0;
    *base = const_cast<std::uint8_t*>(data);
    *size = SourceOf(handle)->Size();
    return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}

int Quiet(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

constexpr tmsize_t MaxAllocation = PixelBuffer::MaxBytes + 65536;

// Messages never reach the terminal, and no single allocation for a file may exceed
// the pixel limit by much.
TiffHandle Open(ByteSource& source, const char* mode, TIFFReadWriteProc write)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, MaxAllocation);
    TiffHandle tiff(TIFFClientOpenExt("picture", mode, &source, ReadProc, write, SeekProc, CloseProc, SizeProc, MapProc,
                                      UnmapProc, options));
    TIFFOpenOptionsFree(options);
    return tiff;
}

Status ReadSize(TIFF* tiff, ImageInfo& info)
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height))
        return Status::GenericError;
    info.width = static_cast<int>(std::min<std::uint32_t>(width, INT32_MAX));
    info.height = static_cast<int>(std::min<std::uint32_t>(height, INT32_MAX));
    return PixelBuffer::CheckSize(width, height);
}

// The layout of the first page, and what its extra sample holds.
struct Layout {
    std::uint16_t bits = 0, samples = 0, photometric = 0, planar = 0;
    bool alpha = false;
    bool associated = false;

    explicit Layout(TIFF* tiff)
    {
        TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
        if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric))
            photometric = 0xFFFF;
        TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inks);
        std::uint16_t extraCount = 0;
        std::uint16_t* extra = nullptr;
        if (TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) && extraCount > 0) {
            alpha = extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA;
            associated = extra[0] == EXTRASAMPLE_ASSOCALPHA;
        }
    }

    bool Rgb() const { return photometric == PHOTOMETRIC_RGB && (samples == 3 || samples == 4); }
    bool Grey() const { return photometric == PHOTOMETRIC_MINISBLACK && (samples == 1 || samples == 2); }
    bool Cmyk() const
    {
        return photometric == PHOTOMETRIC_SEPARATED && inks == INKSET_CMYK && (samples == 4 || samples == 5);
    }
    int Colours() const { return Grey() ? 1 : Rgb() ? 3 : 4; }
    std::size_t PixelBytes() const { return std::size_t{samples} * bits / 8; }

    // Layouts read sample by sample here, strips and tiles alike; libtiff's RGBA
    // conversion takes the rest (palettes, YCbCr, separate planes, fewer bits), and
    // cannot convert 16-bit CMYK at all.
    bool Direct(TIFF* tiff, int width) const
    {
        if ((bits != 8 && bits != 16) || planar != PLANARCONFIG_CONTIG || !(Rgb() || Grey() || Cmyk()))
            return false;
        const tmsize_t rowBytes = TIFFIsTiled(tiff) ? TIFFTileRowSize(tiff) : TIFFScanlineSize(tiff);
        const std::uint32_t rowPixels = TIFFIsTiled(tiff) ? TileSize(tiff).first : static_cast<std::uint32_t>(width);
        return rowBytes == static_cast<tmsize_t>(rowPixels * PixelBytes());
    }

    static std::pair<std::uint32_t, std::uint32_t> TileSize(TIFF* tiff)
    {
        std::uint32_t width = 0, height = 0;
        TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &width);
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &height);
        return {width, height};
    }

    std::uint16_t inks = INKSET_CMYK;
};

void Unpremultiply(std::uint8_t* pixel)
{
    const unsigned alpha = pixel[3];
    for (int i = 0; i < 3; ++i)
        pixel[i] = static_cast<std::uint8_t>(alpha == 0 ? 0 : std::min(255u, (pixel[i] * 255u + alpha / 2) / alpha));
}

// Sample i of a row as 8 bits; 16-bit samples are in the machine's order already.
unsigned Sample8(const Layout& layout, const std::uint8_t* row, std::size_t i)
{
    if (layout.bits == 8)
        return row[i];
    std::uint16_t wide;
    std::memcpy(&wide, row + i * 2, 2);
    return (wide * 255u + 32767u) / 65535u;
}

void ConvertRow(const Layout& layout, const std::uint8_t* stored, std::uint8_t* target, int width)
{
    const int colours = layout.Colours();
    const bool extra = layout.samples > colours && layout.alpha;
    for (int x = 0; x < width; ++x, target += 4) {
        const std::size_t first = static_cast<std::size_t>(x) * layout.samples;
        const auto at = [&](int sample) { return Sample8(layout, stored, first + static_cast<std::size_t>(sample)); };
        if (colours == 1) {
            target[0] = target[1] = target[2] = static_cast<std::uint8_t>(at(0));
        } else if (colours == 3) {
            for (int c = 0; c < 3; ++c)
                target[c] = static_cast<std::uint8_t>(at(2 - c));
        } else {
            const unsigned white = 255 - at(3);
            for (int c = 0; c < 3; ++c)
                target[c] = static_cast<std::uint8_t>((255 - at(2 - c)) * white / 255);
        }
        target[3] = extra ? static_cast<std::uint8_t>(at(colours)) : 0xFF;
        if (layout.associated)
            Unpremultiply(target);
    }
}

Status ReadStrips(TIFF* tiff, const Layout& layout, PixelBuffer& pixels)
{
    std::vector<std::uint8_t> stored(static_cast<std::size_t>(pixels.Width()) * layout.PixelBytes());
    for (int y = 0; y < pixels.Height(); ++y) {
        if (TIFFReadScanline(tiff, stored.data(), static_cast<std::uint32_t>(y), 0) < 0)
            return Status::GenericError;
        ConvertRow(layout, stored.data(), pixels.Row(y), pixels.Width());
    }
    return Status::Ok;
}

// Each tile is read whole and its rows converted straight into place; tiles at the
// right and bottom edges hold padding past the picture, which is skipped.
Status ReadTiles(TIFF* tiff, const Layout& layout, PixelBuffer& pixels)
{
    const auto [tileWidth, tileHeight] = Layout::TileSize(tiff);
    const tmsize_t tileBytes = TIFFTileSize(tiff);
    if (tileWidth == 0 || tileHeight == 0 || tileBytes <= 0 || tileBytes > MaxAllocation)
        return Status::GenericError;
    std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileBytes));
    const std::size_t tileRowBytes = std::size_t{tileWidth} * layout.PixelBytes();
    for (std::uint32_t top = 0; top < static_cast<std::uint32_t>(pixels.Height()); top += tileHeight) {
        for (std::uint32_t left = 0; left < static_cast<std::uint32_t>(pixels.Width()); left += tileWidth) {
            if (TIFFReadTile(tiff, tile.data(), left, top, 0, 0) < 0)
                return Status::GenericError;
            const std::uint32_t rows = std::min(tileHeight, static_cast<std::uint32_t>(pixels.Height()) - top);
            const std::uint32_t columns = std::min(tileWidth, static_cast<std::uint32_t>(pixels.Width()) - left);
            for (std::uint32_t row = 0; row < rows; ++row)
                ConvertRow(layout, tile.data() + row * tileRowBytes, pixels.Row(static_cast<int>(top + row)) + left * 4,
                           static_cast<int>(columns));
        }
    }
    return Status::Ok;
}

Status ReadDirect(TIFF* tiff, const Layout& layout, PixelBuffer& pixels)
{
    return TIFFIsTiled(tiff) ? ReadTiles(tiff, layout, pixels) : ReadStrips(tiff, layout, pixels);
}

// libtiff delivers red, green, blue, alpha bytes with alpha premultiplied.
Status ReadRgba(TIFF* tiff, const Layout& layout, PixelBuffer& pixels)
{
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tiff, message))
        return Status::NotImplemented;
    auto* raster = reinterpret_cast<std::uint32_t*>(pixels.Data());
    if (!TIFFReadRGBAImageOriented(tiff, static_cast<std::uint32_t>(pixels.Width()),
                                   static_cast<std::uint32_t>(pixels.Height()), raster, ORIENTATION_TOPLEFT, 1))
        return Status::GenericError;
    std::uint8_t* end = pixels.Data() + pixels.ByteSize();
    for (std::uint8_t* pixel = pixels.Data(); pixel < end; pixel += 4) {
        std::swap(pixel[0], pixel[2]);
        if (layout.alpha)
            Unpremultiply(pixel);
    }
    return Status::Ok;
}

bool WriteRows(TIFF* tiff, const PixelBuffer& pixels, int samples)
{
    std::vector<std::uint8_t> stored(static_cast<std::size_t>(pixels.Width()) * samples);
    for (int y = 0; y < pixels.Height(); ++y) {
        const std::uint8_t* pixel = pixels.Row(y);
        std::uint8_t* target = stored.data();
        for (int x = 0; x < pixels.Width(); ++x, pixel += 4, target += samples) {
            target[0] = pixel[2];
            target[1] = pixel[1];
            target[2] = pixel[0];
            if (samples == 4)
                target[3] = pixel[3];
        }
        if (TIFFWriteScanline(tiff, stored.data(), static_cast<std::uint32_t>(y), 0) < 0)
            return false;
    }
    return TIFFFlush(tiff) == 1;
}

} // namespace

const CLSID& TiffCodec::EncoderClsid() const
{
    static constexpr CLSID clsid = ImageEncoderClsid(0x557CF405);
    return clsid;
}

bool TiffCodec::Matches(const std::uint8_t* head, std::size_t length) const
{
    return length >= 4 && (std::memcmp(head, "II*\0", 4) == 0 || std::memcmp(head, "MM\0*", 4) == 0);
}

Status TiffCodec::ReadInfo(ByteSource& source, ImageInfo& info) const
{
    const TiffHandle tiff = Open(source, "r", RefuseWrite);
    return tiff ? ReadSize(tiff.get(), info) : Status::GenericError;
}

Status TiffCodec::Decode(ByteSource& source, int, std::unique_ptr<PixelBuffer>& pixels) const
{
    const TiffHandle tiff = Open(source, "r", RefuseWrite);
    if (!tiff)
        return Status::GenericError;
    ImageInfo info;
    if (const Status status = ReadSize(tiff.get(), info); status != Status::Ok)
        return status;
    std::unique_ptr<PixelBuffer> decoded = PixelBuffer::Create(info.width, info.height);
    if (!decoded)
        return Status::OutOfMemory;
    const Layout layout(tiff.get());
    const Status status = layout.Direct(tiff.get(), info.width) ? ReadDirect(tiff.get(), layout, *decoded)
                                                                : ReadRgba(tiff.get(), layout, *decoded);
    if (status == Status::Ok)
        pixels = std::move(decoded);
    return status;
}

Status TiffCodec::Encode(const PixelBuffer& pixels, const EncoderOptions&, MemoryStream& stream) const
{
    const TiffHandle tiff = Open(stream, "w", WriteProc);
    if (!tiff)
        return Status::GenericError;
    const bool alpha = pixels.HasAlpha();
    const int samples = alpha ? 4 : 3;
    TIFF* t = tiff.get();
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(pixels.Width()));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(pixels.Height()));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    if (alpha) {
        const std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    return WriteRows(t, pixels, samples) ? Status::Ok : Status::GenericError;
}

} // namespace Platform::Gdiplus
