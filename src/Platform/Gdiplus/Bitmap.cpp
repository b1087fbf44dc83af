#include "Platform/Gdiplus/Bitmap.h"

#include "Platform/Gdiplus/CodecTable.h"
#include "Platform/Gdiplus/FileSource.h"
#include "Platform/Gdiplus/ImageCodec.h"
#include "Platform/Gdiplus/MemorySource.h"
#include "Platform/Gdiplus/MemoryStream.h"
#include "Platform/Gdiplus/PixelBuffer.h"
#include "Platform/Gdiplus/PixelCache.h"
#include "Platform/Gdiplus/PixelOrientation.h"
#include "Platform/Gdiplus/ResampleArea.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace Platform::Gdiplus {

// Where a bitmap's encoded bytes are: a file (whose size at load time is kept, to
// notice a file changed behind our back) or a private copy in memory.
struct Bitmap::Origin {
    const ImageCodec* codec = nullptr;
    std::wstring path;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    std::uint64_t size = 0;

    std::unique_ptr<ByteSource> Open() const
    {
        if (bytes)
            return std::make_unique<MemorySource>(bytes->data(), bytes->size(), bytes);
        std::unique_ptr<FileSource> file = FileSource::Open(path);
        if (!file || file->Size() != size)
            return nullptr;
        return file;
    }
};

namespace {

std::atomic<std::uint64_t> nextSerial{1};

const ImageCodec* DetectCodec(ByteSource& source)
{
    std::uint8_t head[CodecTable::SignatureLength] = {};
    const std::size_t got = source.Read(head, sizeof head);
    if (!source.Seek(0))
        return nullptr;
    return CodecTable::Detect(head, got);
}

bool InsidePicture(const Rect& area, UINT width, UINT height)
{
    return area.X >= 0 && area.Y >= 0 && area.Width > 0 && area.Height > 0 &&
           static_cast<std::int64_t>(area.X) + area.Width <= width &&
           static_cast<std::int64_t>(area.Y) + area.Height <= height;
}

Status ReadOptions(const EncoderParameters* parameters, EncoderOptions& options)
{
    if (!parameters)
        return Status::Ok;
    for (const EncoderParameter& parameter : parameters->Parameter) {
        if (parameter.Guid != EncoderQuality)
            continue;
        if (parameter.Value < 0 || parameter.Value > 100)
            return Status::InvalidParameter;
        options.quality = parameter.Value;
    }
    return Status::Ok;
}

} // namespace

Bitmap::Bitmap() : serial(nextSerial++) {}

Bitmap::~Bitmap()
{
    if (origin)
        PixelCache::Instance().Erase(serial);
}

std::shared_ptr<Bitmap> Bitmap::Failed(Status status)
{
    std::shared_ptr<Bitmap> bitmap(new (std::nothrow) Bitmap());
    if (bitmap) {
        bitmap->loadStatus = status;
        bitmap->lastStatus = status;
    }
    return bitmap;
}

std::shared_ptr<Bitmap> Bitmap::FromSource(std::shared_ptr<const Origin> origin)
{
    std::unique_ptr<ByteSource> source = origin->Open();
    if (!source)
        return Failed(Status::FileNotFound);
    const ImageCodec* codec = DetectCodec(*source);
    if (!codec)
        return Failed(Status::UnknownImageFormat);
    ImageInfo info;
    if (const Status status = codec->ReadInfo(*source, info); status != Status::Ok)
        return Failed(status);
    std::shared_ptr<Bitmap> bitmap(new Bitmap());
    const bool swap = OrientationSwapsSides(info.orientation);
    bitmap->width = static_cast<UINT>(swap ? info.height : info.width);
    bitmap->height = static_cast<UINT>(swap ? info.width : info.height);
    bitmap->orientation = info.orientation;
    bitmap->format = codec->Format();
    auto known = std::make_shared<Origin>(*origin);
    known->codec = codec;
    bitmap->origin = std::move(known);
    return bitmap;
}

std::shared_ptr<Bitmap> Bitmap::FromFile(const std::wstring& path)
{
    try {
        std::unique_ptr<FileSource> file = FileSource::Open(path);
        if (!file)
            return Failed(Status::FileNotFound);
        auto origin = std::make_shared<Origin>();
        origin->path = path;
        origin->size = file->Size();
        return FromSource(std::move(origin));
    } catch (const std::bad_alloc&) {
        return Failed(Status::OutOfMemory);
    }
}

std::shared_ptr<Bitmap> Bitmap::FromMemory(const void* data, std::size_t size)
{
    try {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        auto origin = std::make_shared<Origin>();
        origin->bytes = std::make_shared<const std::vector<std::uint8_t>>(bytes, bytes + size);
        origin->size = size;
        return FromSource(std::move(origin));
    } catch (const std::bad_alloc&) {
        return Failed(Status::OutOfMemory);
    }
}

std::shared_ptr<Bitmap> Bitmap::FromPixels(int width, int height, int stride, const void* scan0)
{
    if (!scan0 || std::abs(static_cast<std::int64_t>(stride)) < static_cast<std::int64_t>(width) * 4)
        return Failed(Status::InvalidParameter);
    if (const Status status = PixelBuffer::CheckSize(width, height); status != Status::Ok)
        return Failed(status);
    std::unique_ptr<PixelBuffer> copy = PixelBuffer::Create(width, height);
    if (!copy)
        return Failed(Status::OutOfMemory);
    const auto* row = static_cast<const std::uint8_t*>(scan0);
    for (int y = 0; y < height; ++y, row += stride)
        std::memcpy(copy->Row(y), row, static_cast<std::size_t>(copy->Stride()));
    return Own(std::move(copy));
}

std::shared_ptr<Bitmap> Bitmap::FromRows(int width, int height,
                                         const std::function<void(int y, std::uint8_t* row)>& fillRow)
{
    if (const Status status = PixelBuffer::CheckSize(width, height); status != Status::Ok)
        return Failed(status);
    std::unique_ptr<PixelBuffer> made = PixelBuffer::Create(width, height);
    if (!made)
        return Failed(Status::OutOfMemory);
    for (int y = 0; y < height; ++y)
        fillRow(y, made->Row(y));
    return Own(std::move(made));
}

std::shared_ptr<Bitmap> Bitmap::Own(std::shared_ptr<const PixelBuffer> owned)
{
    std::shared_ptr<Bitmap> bitmap(new (std::nothrow) Bitmap());
    if (!bitmap)
        return nullptr;
    bitmap->width = static_cast<UINT>(owned->Width());
    bitmap->height = static_cast<UINT>(owned->Height());
    bitmap->format = ImageFormat::MemoryBmp;
    bitmap->pixels = std::move(owned);
    return bitmap;
}

Status Bitmap::Remember(Status status) const
{
    lastStatus = status;
    return status;
}

bool Bitmap::SwapsSides() const
{
    return OrientationSwapsSides(orientation);
}

Status Bitmap::DecodeOrigin(int reduction, std::unique_ptr<PixelBuffer>& decoded) const
{
    std::unique_ptr<ByteSource> source = origin->Open();
    if (!source)
        return Status::FileNotFound;
    return origin->codec->Decode(*source, reduction, decoded);
}

std::shared_ptr<const PixelBuffer> Bitmap::Pixels() const
{
    if (pixels)
        return pixels;
    if (!origin) {
        Remember(loadStatus);
        return nullptr;
    }
    if (std::shared_ptr<const PixelBuffer> cached = PixelCache::Instance().Find(serial))
        return cached;
    std::unique_ptr<PixelBuffer> decoded;
    if (const Status status = DecodeOrigin(1, decoded); status != Status::Ok) {
        Remember(status);
        return nullptr;
    }
    const UINT storedWidth = SwapsSides() ? height : width;
    const UINT storedHeight = SwapsSides() ? width : height;
    if (static_cast<UINT>(decoded->Width()) != storedWidth || static_cast<UINT>(decoded->Height()) != storedHeight) {
        Remember(Status::GenericError);
        return nullptr;
    }
    if (!(decoded = Upright(std::move(decoded)))) {
        Remember(Status::OutOfMemory);
        return nullptr;
    }
    std::shared_ptr<const PixelBuffer> shared = std::move(decoded);
    PixelCache::Instance().Insert(serial, shared);
    return shared;
}

Status Bitmap::LockBits(const Rect* rect, UINT flags, PixelFormat pixelFormat, BitmapData* lockedData) const
{
    if (!lockedData || (flags & ImageLockModeWrite) || pixelFormat != PixelFormat32bppARGB)
        return Remember(Status::InvalidParameter);
    try {
        std::shared_ptr<const PixelBuffer> source = Pixels();
        if (!source)
            return lastStatus.load();
        const Rect area = rect ? *rect : Rect{0, 0, static_cast<int>(width), static_cast<int>(height)};
        if (!InsidePicture(area, width, height))
            return Remember(Status::InvalidParameter);
        lockedData->Width = static_cast<UINT>(area.Width);
        lockedData->Height = static_cast<UINT>(area.Height);
        lockedData->Stride = source->Stride();
        lockedData->PixelFormat = PixelFormat32bppARGB;
        lockedData->Scan0 = source->Row(area.Y) + 4 * area.X;
        lockedData->Reserved = std::move(source);
        return Remember(Status::Ok);
    } catch (const std::bad_alloc&) {
        return Remember(Status::OutOfMemory);
    }
}

Status Bitmap::UnlockBits(BitmapData* lockedData) const
{
    if (!lockedData || !lockedData->Reserved)
        return Remember(Status::InvalidParameter);
    lockedData->Reserved.reset();
    lockedData->Scan0 = nullptr;
    return Remember(Status::Ok);
}

std::shared_ptr<Bitmap> Bitmap::CloneArea(int x, int y, int areaWidth, int areaHeight, PixelFormat pixelFormat) const
{
    BitmapData data;
    const Rect area{x, y, areaWidth, areaHeight};
    if (LockBits(&area, ImageLockModeRead, pixelFormat, &data) != Status::Ok)
        return nullptr;
    std::shared_ptr<Bitmap> copy = FromPixels(areaWidth, areaHeight, data.Stride, data.Scan0);
    if (!copy || copy->GetLastStatus() != Status::Ok) {
        Remember(copy ? copy->GetLastStatus() : Status::OutOfMemory);
        return nullptr;
    }
    return copy;
}

int Bitmap::ThumbnailReduction(UINT thumbWidth, UINT thumbHeight) const
{
    if (!origin)
        return 1;
    for (UINT reduction = static_cast<UINT>(origin->codec->MaxReduction()); reduction > 1; reduction /= 2) {
        if ((width + reduction - 1) / reduction >= thumbWidth && (height + reduction - 1) / reduction >= thumbHeight)
            return static_cast<int>(reduction);
    }
    return 1;
}

std::shared_ptr<Bitmap> Bitmap::MakeThumbnail(UINT thumbWidth, UINT thumbHeight) const
{
    std::shared_ptr<const PixelBuffer> source = pixels;
    if (!source && origin)
        source = PixelCache::Instance().Find(serial);
    const int reduction = ThumbnailReduction(thumbWidth, thumbHeight);
    std::unique_ptr<PixelBuffer> thumbnail;
    if (!source && reduction > 1) {
        if (const Status status = ReducedThumbnail(reduction, thumbWidth, thumbHeight, thumbnail);
            status != Status::Ok) {
            Remember(status);
            return nullptr;
        }
    } else {
        if (!source)
            source = Pixels();
        if (!source)
            return nullptr;
        thumbnail = ResampleArea(*source, static_cast<int>(thumbWidth), static_cast<int>(thumbHeight));
    }
    if (!thumbnail) {
        Remember(Status::OutOfMemory);
        return nullptr;
    }
    Remember(Status::Ok);
    return Own(std::move(thumbnail));
}

Status Bitmap::ReducedThumbnail(int reduction, UINT thumbWidth, UINT thumbHeight,
                                std::unique_ptr<PixelBuffer>& thumbnail) const
{
    std::unique_ptr<PixelBuffer> reduced;
    if (const Status status = DecodeOrigin(reduction, reduced); status != Status::Ok)
        return status;
    // The reduced pixels are as stored: the thumbnail is made in the stored shape and
    // only the small result is turned upright.
    const UINT storedWidth = SwapsSides() ? thumbHeight : thumbWidth;
    const UINT storedHeight = SwapsSides() ? thumbWidth : thumbHeight;
    thumbnail = ResampleArea(*reduced, static_cast<int>(storedWidth), static_cast<int>(storedHeight));
    if (thumbnail)
        thumbnail = Upright(std::move(thumbnail));
    return thumbnail ? Status::Ok : Status::OutOfMemory;
}

std::unique_ptr<PixelBuffer> Bitmap::Upright(std::unique_ptr<PixelBuffer> stored) const
{
    if (orientation != 1)
        stored = OrientPixels(*stored, orientation);
    if (stored && opaque)
        stored->SetOpaque();
    return stored;
}

std::shared_ptr<Bitmap> Bitmap::TurnedOpaque(int quarterTurns) const
{
    try {
        if (pixels) {
            std::unique_ptr<PixelBuffer> turned = OrientPixels(*pixels, TurnedOrientation(1, quarterTurns));
            if (!turned) {
                Remember(Status::OutOfMemory);
                return nullptr;
            }
            turned->SetOpaque();
            Remember(Status::Ok);
            return Own(std::move(turned));
        }
        if (!origin) {
            Remember(loadStatus);
            return nullptr;
        }
        std::shared_ptr<Bitmap> turned(new Bitmap());
        const bool swap = quarterTurns % 2 != 0;
        turned->width = swap ? height : width;
        turned->height = swap ? width : height;
        turned->format = format;
        turned->orientation = TurnedOrientation(orientation, quarterTurns);
        turned->opaque = true;
        turned->origin = origin;
        Remember(Status::Ok);
        return turned;
    } catch (const std::bad_alloc&) {
        Remember(Status::OutOfMemory);
        return nullptr;
    }
}

std::shared_ptr<Bitmap> Bitmap::GetThumbnailImage(UINT thumbWidth, UINT thumbHeight) const
{
    if (const Status status = PixelBuffer::CheckSize(thumbWidth, thumbHeight); status != Status::Ok) {
        Remember(status == Status::ValueOverflow ? status : Status::InvalidParameter);
        return nullptr;
    }
    try {
        return MakeThumbnail(thumbWidth, thumbHeight);
    } catch (const std::bad_alloc&) {
        Remember(Status::OutOfMemory);
        return nullptr;
    }
}

Status Bitmap::Save(MemoryStream& stream, const CLSID& encoder, const EncoderParameters* parameters) const
{
    const ImageCodec* codec = CodecTable::ForEncoder(encoder);
    EncoderOptions options;
    if (!codec || ReadOptions(parameters, options) != Status::Ok)
        return Remember(Status::InvalidParameter);
    try {
        std::shared_ptr<const PixelBuffer> source = Pixels();
        if (!source)
            return lastStatus.load();
        return Remember(codec->Encode(*source, options, stream));
    } catch (const std::bad_alloc&) {
        return Remember(Status::OutOfMemory);
    }
}

} // namespace Platform::Gdiplus
