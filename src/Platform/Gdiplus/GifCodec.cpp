#include "Platform/Gdiplus/GifCodec.h"

#include "Platform/Gdiplus/ByteSource.h"
#include "Platform/Gdiplus/GifPalette.h"
#include "Platform/Gdiplus/MemoryStream.h"
#include "Platform/Gdiplus/PixelBuffer.h"

#include <cstring>
#include <gif_lib.h>
#include <vector>

namespace Platform::Gdiplus {

namespace {

int ReadGif(GifFileType* gif, GifByteType* buffer, int count)
{
    return static_cast<int>(static_cast<ByteSource*>(gif->UserData)->Read(buffer, static_cast<std::size_t>(count)));
}

int WriteGif(GifFileType* gif, const GifByteType* buffer, int count)
{
    return static_cast<MemoryStream*>(gif->UserData)->Write(buffer, static_cast<std::size_t>(count)) ? count : 0;
}

struct DecoderCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using Decoder = std::unique_ptr<GifFileType, DecoderCloser>;

struct FirstFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    const ColorMapObject* colours = nullptr;
    int transparent = NO_TRANSPARENT_COLOR;
};

Status SkipExtension(GifFileType* gif, FirstFrame& frame)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return Status::GenericError;
    GraphicsControlBlock control;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
        frame.transparent = control.TransparentColor;
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return Status::GenericError;
    }
    return Status::Ok;
}

// Reads the records up to the first image, keeping the transparency that a graphics
// control extension before it sets.
Status ReadFirstFrame(GifFileType* gif, FirstFrame& frame)
{
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    while (type != IMAGE_DESC_RECORD_TYPE) {
        if (DGifGetRecordType(gif, &type) == GIF_ERROR || type == TERMINATE_RECORD_TYPE)
            return Status::GenericError;
        if (type == EXTENSION_RECORD_TYPE) {
            if (const Status status = SkipExtension(gif, frame); status != Status::Ok)
                return status;
        }
    }
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return Status::GenericError;
    const GifImageDesc& image = gif->Image;
    frame.left = image.Left;
    frame.top = image.Top;
    frame.width = image.Width;
    frame.height = image.Height;
    frame.interlaced = image.Interlace;
    frame.colours = image.ColorMap ? image.ColorMap : gif->SColorMap;
    if (!frame.colours)
        return Status::GenericError;
    return PixelBuffer::CheckSize(frame.width, frame.height);
}

// The picture is the logical screen; a file that leaves the screen's size at zero
// shows its first frame's size instead.
Status OpenFrame(ByteSource& source, Decoder& gif, FirstFrame& frame, ImageInfo& info)
{
    int error = 0;
    gif.reset(DGifOpen(&source, ReadGif, &error));
    if (!gif)
        return Status::GenericError;
    if (const Status status = ReadFirstFrame(gif.get(), frame); status != Status::Ok)
        return status;
    const bool screen = gif->SWidth > 0 && gif->SHeight > 0;
    info.width = screen ? gif->SWidth : frame.width;
    info.height = screen ? gif->SHeight : frame.height;
    return PixelBuffer::CheckSize(info.width, info.height);
}

void PutLine(const FirstFrame& frame, const GifPixelType* line, int y, PixelBuffer& pixels)
{
    if (y < 0 || y >= pixels.Height())
        return;
    std::uint8_t* row = pixels.Row(y);
    for (int i = 0; i < frame.width; ++i) {
        const int x = frame.left + i;
        if (x >= pixels.Width())
            break;
        if (line[i] == frame.transparent)
            continue;
        std::uint8_t* pixel = row + 4 * x;
        if (line[i] < frame.colours->ColorCount) {
            const GifColorType& colour = frame.colours->Colors[line[i]];
            pixel[0] = colour.Blue;
            pixel[1] = colour.Green;
            pixel[2] = colour.Red;
        } else {
            pixel[0] = pixel[1] = pixel[2] = 0;
        }
        pixel[3] = 0xFF;
    }
}

Status ReadPixels(GifFileType* gif, const FirstFrame& frame, PixelBuffer& pixels)
{
    static constexpr int interlaceStart[] = {0, 4, 2, 1};
    static constexpr int interlaceStep[] = {8, 8, 4, 2};
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.width));
    pixels.Fill(0);
    const int passes = frame.interlaced ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.interlaced ? interlaceStart[pass] : 0;
        const int step = frame.interlaced ? interlaceStep[pass] : 1;
        for (int row = start; row < frame.height; row += step) {
            if (DGifGetLine(gif, line.data(), frame.width) == GIF_ERROR)
                return Status::GenericError;
            PutLine(frame, line.data(), frame.top + row, pixels);
        }
    }
    return Status::Ok;
}

struct EncoderCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

std::unique_ptr<ColorMapObject, MapFreer> MakeColourMap(const GifPalette& palette)
{
    std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(GifPalette::Size, nullptr));
    if (!map)
        return nullptr;
    for (int i = 0; i < GifPalette::Size; ++i) {
        const std::uint32_t rgb = palette.Colour(i);
        map->Colors[i] = {static_cast<GifByteType>(rgb >> 16), static_cast<GifByteType>(rgb >> 8),
                          static_cast<GifByteType>(rgb)};
    }
    return map;
}

bool WriteTransparency(GifFileType* gif, const GifPalette& palette)
{
    if (palette.TransparentIndex() < 0)
        return true;
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, palette.TransparentIndex()};
    GifByteType block[4];
    EGifGCBToExtension(&control, block);
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof block, block) == GIF_OK;
}

bool WriteImage(GifFileType* gif, const PixelBuffer& pixels, const GifPalette& palette)
{
    const auto map = MakeColourMap(palette);
    EGifSetGifVersion(gif, palette.TransparentIndex() >= 0);
    if (!map || EGifPutScreenDesc(gif, pixels.Width(), pixels.Height(), 8, 0, map.get()) == GIF_ERROR ||
        !WriteTransparency(gif, palette) ||
        EGifPutImageDesc(gif, 0, 0, pixels.Width(), pixels.Height(), false, nullptr) == GIF_ERROR)
        return false;
    std::vector<GifPixelType> line(static_cast<std::size_t>(pixels.Width()));
    for (int y = 0; y < pixels.Height(); ++y) {
        const std::uint8_t* pixel = pixels.Row(y);
        for (int x = 0; x < pixels.Width(); ++x, pixel += 4)
            line[static_cast<std::size_t>(x)] = palette.IndexOf(pixel);
        if (EGifPutLine(gif, line.data(), pixels.Width()) == GIF_ERROR)
            return false;
    }
    return true;
}

} // namespace

const CLSID& GifCodec::EncoderClsid() const
{
    static constexpr CLSID clsid = ImageEncoderClsid(0x557CF402);
    return clsid;
}

bool GifCodec::Matches(const std::uint8_t* head, std::size_t length) const
{
    return length >= 6 && (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0);
}

Status GifCodec::ReadInfo(ByteSource& source, ImageInfo& info) const
{
    Decoder gif;
    FirstFrame frame;
    return OpenFrame(source, gif, frame, info);
}

Status GifCodec::Decode(ByteSource& source, int, std::unique_ptr<PixelBuffer>& pixels) const
{
    Decoder gif;
    FirstFrame frame;
    ImageInfo info;
    if (const Status status = OpenFrame(source, gif, frame, info); status != Status::Ok)
        return status;
    std::unique_ptr<PixelBuffer> decoded = PixelBuffer::Create(info.width, info.height);
    if (!decoded)
        return Status::OutOfMemory;
    if (const Status status = ReadPixels(gif.get(), frame, *decoded); status != Status::Ok)
        return status;
    pixels = std::move(decoded);
    return Status::Ok;
}

Status GifCodec::Encode(const PixelBuffer& pixels, const EncoderOptions&, MemoryStream& stream) const
{
    const GifPalette palette(pixels);
    int error = 0;
    std::unique_ptr<GifFileType, EncoderCloser> gif(EGifOpen(&stream, WriteGif, &error));
    if (!gif || !WriteImage(gif.get(), pixels, palette))
        return Status::GenericError;
    // Closing writes the trailer; its outcome decides.
    return EGifCloseFile(gif.release(), &error) == GIF_OK ? Status::Ok : Status::GenericError;
}

} // namespace Platform::Gdiplus
