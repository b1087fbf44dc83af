#pragma once
// Decoded pixels: rows of 32-bit pixels (blue, green, red, alpha bytes, alpha not
// premultiplied), the first row the top of the picture, rows packed without padding.
//
// The pixel limit: a picture is refused, before anything is allocated for it, when
// either side exceeds MaxSide or its 32-bit pixels would take more than MaxBytes
// (2^28 bytes, for example 8192 x 8192). Every decoder checks a file's stated size
// against it right after reading the header.

#include "Platform/Gdiplus/GdiplusTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Platform::Gdiplus {

class PixelBuffer {
public:
    static constexpr std::int64_t MaxSide = 65535;
    static constexpr std::int64_t MaxBytes = std::int64_t{1} << 28;

    // Ok, InvalidParameter for an empty size, or ValueOverflow beyond the limit.
    static Status CheckSize(std::int64_t width, std::int64_t height);
    // Null when the size fails CheckSize or memory runs out. The pixels are not cleared.
    static std::unique_ptr<PixelBuffer> Create(int width, int height);

    int Width() const { return width; }
    int Height() const { return height; }
    int Stride() const { return width * 4; }
    std::size_t ByteSize() const { return static_cast<std::size_t>(Stride()) * static_cast<std::size_t>(height); }
    std::uint8_t* Row(int y) { return bytes.get() + static_cast<std::size_t>(y) * Stride(); }
    const std::uint8_t* Row(int y) const { return bytes.get() + static_cast<std::size_t>(y) * Stride(); }
    std::uint8_t* Data() { return bytes.get(); }
    const std::uint8_t* Data() const { return bytes.get(); }

    // True when some pixel is not fully opaque.
    bool HasAlpha() const;
    // Makes every pixel fully opaque, keeping the colours stored under transparency.
    void SetOpaque();
    // Sets every pixel to one colour given as 0xAARRGGBB.
    void Fill(std::uint32_t argb);

private:
    struct Free {
        void operator()(std::uint8_t* memory) const;
    };
    using Memory = std::unique_ptr<std::uint8_t, Free>;

    PixelBuffer(int width, int height, Memory bytes) : width(width), height(height), bytes(std::move(bytes)) {}
    static Memory Allocate(std::size_t size);

    int width;
    int height;
    Memory bytes;
};

} // namespace Platform::Gdiplus
