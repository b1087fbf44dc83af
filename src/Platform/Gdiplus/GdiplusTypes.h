#pragma once
// Status codes, pixel formats and the small records of the picture library.

#include "Platform/Com/ComTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Platform::Gdiplus {

enum class Status {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
};

// How the library reports its failures:
//   FileNotFound        the file cannot be opened
//   UnknownImageFormat  no decoder recognises the content
//   ValueOverflow       the picture is larger than the pixel limit (PixelBuffer.h)
//   GenericError        corrupt or truncated data
//   NotImplemented      a variant of a format that no decoder here reads
//   InvalidParameter    bad arguments (area, encoder, parameter values)
//   OutOfMemory         an allocation failed

using PixelFormat = std::int32_t;
constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;

enum ImageLockMode : UINT {
    ImageLockModeRead = 0x0001,
    ImageLockModeWrite = 0x0002,
    ImageLockModeUserInputBuf = 0x0004,
};

// The container format a bitmap was read from; MemoryBmp for pixels made in memory.
enum class ImageFormat { Undefined, MemoryBmp, Bmp, Jpeg, Png, Gif, Tiff, Heif, Avif, WebP };

struct Rect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// A locked area: rows of 32-bit pixels (blue, green, red, alpha bytes), the first row
// the top of the area, Stride bytes apart. The pixels stay valid until UnlockBits
// (or until this record is destroyed), whatever happens to the bitmap's cache.
struct BitmapData {
    UINT Width = 0;
    UINT Height = 0;
    int Stride = 0;
    std::int32_t PixelFormat = 0; // a PixelFormat value
    const void* Scan0 = nullptr;
    std::shared_ptr<const void> Reserved;
};

// The encoder class identifiers differ only in their first field: 0x557CF400 BMP,
// 0x557CF401 JPEG, 0x557CF402 GIF, 0x557CF405 TIFF, 0x557CF406 PNG.
constexpr CLSID ImageEncoderClsid(std::uint32_t first)
{
    return {first, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}

// Encoder parameters hold long values only; the JPEG quality is the one in use.
constexpr GUID EncoderQuality = {0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};

struct EncoderParameter {
    GUID Guid;
    std::int32_t Value;
};

struct EncoderParameters {
    std::vector<EncoderParameter> Parameter;
};

} // namespace Platform::Gdiplus
