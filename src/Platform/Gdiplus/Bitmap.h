#pragma once
// The platform bitmap: an immutable picture held by std::shared_ptr<Bitmap>.
//
// What is held when:
//  - A bitmap read from a file (FromFile) or from encoded bytes (FromMemory) keeps
//    only its size, its format and where its encoded bytes are. Its pixels are
//    decoded when an operation needs them (LockBits, CloneArea, Save, a thumbnail
//    that cannot use a reduced decode) and go into the process-wide PixelCache under
//    this bitmap's serial number. The cache drops them when its byte budget needs the
//    room and, at the latest, when the bitmap is destroyed; a lock holds its pixels
//    alive until it is released.
//  - A bitmap made from pixels (FromPixels, CloneArea, GetThumbnailImage) owns its
//    pixels for its whole life.
// A file-backed bitmap reads its file again at each decode; a file that has since
// changed its size fails the operation rather than give a different picture.
//
// A JPEG whose Exif block gives an orientation is held upright: its size, pixels,
// thumbnails and encoded bytes are those of the turned picture. A thumbnail made from
// a reduced decode is turned after it has been made, so only its few pixels move.
//
// A turned bitmap (TurnedOpaque) of a file-backed one is file-backed too: it remembers
// its quarter turns and applies them when its pixels are decoded, so turning a photo
// holds no decoded copy of it.
//
// A file that cannot be read gives a bitmap of size 0 x 0 whose operations fail;
// GetLastStatus says why. Nothing here throws.

#include "Platform/Gdiplus/GdiplusTypes.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Platform::Gdiplus {

class ByteSource;
class ImageCodec;
class MemoryStream;
class PixelBuffer;

class Bitmap {
public:
    static std::shared_ptr<Bitmap> FromFile(const std::wstring& path);
    // Copies the bytes; they are decoded later like a file's.
    static std::shared_ptr<Bitmap> FromMemory(const void* data, std::size_t size);
    // 32-bit ARGB pixels (blue, green, red, alpha bytes), first row the top, rows
    // stride bytes apart; the pixels are copied.
    static std::shared_ptr<Bitmap> FromPixels(int width, int height, int stride, const void* scan0);
    // A 32-bit ARGB bitmap whose rows (top first) fillRow writes straight into the
    // bitmap's own pixels, so a large picture is never held twice while it is made.
    static std::shared_ptr<Bitmap> FromRows(int width, int height,
                                            const std::function<void(int y, std::uint8_t* row)>& fillRow);

    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    UINT GetWidth() const { return width; }
    UINT GetHeight() const { return height; }
    ImageFormat GetRawFormat() const { return format; }
    // 1 for a picture that was read, 0 for one that could not be.
    UINT GetFrameDimensionsCount() const { return width > 0 ? 1 : 0; }
    // The outcome of the last operation on this bitmap.
    Status GetLastStatus() const { return lastStatus.load(); }

    // Read access only, in PixelFormat32bppARGB; rect null means the whole picture.
    Status LockBits(const Rect* rect, UINT flags, PixelFormat pixelFormat, BitmapData* lockedData) const;
    Status UnlockBits(BitmapData* lockedData) const;

    // A new bitmap holding a copy of the area in 32-bit ARGB; null on failure.
    std::shared_ptr<Bitmap> CloneArea(int x, int y, int areaWidth, int areaHeight, PixelFormat pixelFormat) const;
    // The picture reduced (or enlarged) to exactly the given size by area averaging;
    // JPEG files are first decoded at 1/2, 1/4 or 1/8 when that still covers the
    // size. Null on failure.
    std::shared_ptr<Bitmap> GetThumbnailImage(UINT thumbWidth, UINT thumbHeight) const;

    // The picture turned by quarter turns clockwise (negative counts: counter-clockwise)
    // and made opaque, the colours under transparent pixels kept. Null on failure.
    std::shared_ptr<Bitmap> TurnedOpaque(int quarterTurns) const;

    // Encodes the picture into the stream with the encoder of that class identifier
    // (JPEG quality from EncoderQuality, 75 when absent). InvalidParameter for an
    // unknown encoder or a quality outside 0..100.
    Status Save(MemoryStream& stream, const CLSID& encoder, const EncoderParameters* parameters = nullptr) const;

private:
    struct Origin;

    Bitmap();
    static std::shared_ptr<Bitmap> Failed(Status status);
    static std::shared_ptr<Bitmap> FromSource(std::shared_ptr<const Origin> origin);
    static std::shared_ptr<Bitmap> Own(std::shared_ptr<const PixelBuffer> pixels);

    Status Remember(Status status) const;
    std::shared_ptr<const PixelBuffer> Pixels() const;
    Status DecodeOrigin(int reduction, std::unique_ptr<PixelBuffer>& decoded) const;
    // The stored pixels of the origin turned upright and made opaque as this bitmap says.
    std::unique_ptr<PixelBuffer> Upright(std::unique_ptr<PixelBuffer> stored) const;
    bool SwapsSides() const;
    int ThumbnailReduction(UINT thumbWidth, UINT thumbHeight) const;
    std::shared_ptr<Bitmap> MakeThumbnail(UINT thumbWidth, UINT thumbHeight) const;
    // The upright thumbnail from a reduced decode of the origin.
    Status ReducedThumbnail(int reduction, UINT thumbWidth, UINT thumbHeight,
                            std::unique_ptr<PixelBuffer>& thumbnail) const;

    std::uint64_t serial;
    UINT width = 0;
    UINT height = 0;
    ImageFormat format = ImageFormat::Undefined;
    int orientation = 1; // how the stored pixels of the origin are turned upright (Exif numbering)
    bool opaque = false; // decoded pixels get full alpha (a turned picture)
    std::shared_ptr<const Origin> origin; // encoded bytes; null for pixel bitmaps
    std::shared_ptr<const PixelBuffer> pixels; // owned pixels; null for file-backed bitmaps
    Status loadStatus = Status::Ok; // why a bitmap without origin or pixels has neither
    mutable std::atomic<Status> lastStatus{Status::Ok};
};

} // namespace Platform::Gdiplus
