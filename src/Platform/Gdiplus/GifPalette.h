#pragma once
// The 8-bit palette a picture is written to GIF with, and each pixel's entry in it.

#include <cstdint>
#include <unordered_map>

namespace Platform::Gdiplus {

class PixelBuffer;

class GifPalette {
public:
    static constexpr int Size = 256;

    // The picture's own colours when at most 256 entries (the transparent one
    // included) hold them, else the colour cube.
    explicit GifPalette(const PixelBuffer& pixels);

    // 0x00RRGGBB of each entry; unused entries are black.
    std::uint32_t Colour(int index) const { return colours[index]; }
    int TransparentIndex() const { return transparentIndex; }
    std::uint8_t IndexOf(const std::uint8_t* bgra) const;

private:
    static constexpr int CubeLevels = 6;

    bool CollectExact(const PixelBuffer& pixels);
    void MakeCube(bool transparent);

    std::uint32_t colours[Size] = {};
    std::unordered_map<std::uint32_t, std::uint8_t> exact;
    bool cube = false;
    int transparentIndex = -1;
};

} // namespace Platform::Gdiplus
