#include "Platform/Gdiplus/PixelOrientation.h"

#include "Platform/Gdiplus/PixelBuffer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace Platform::Gdiplus {

namespace {

// Where the upright pixel (x, y) comes from in the stored pixels: source column
// xx * x + xy * y + x0, source row yx * x + yy * y + y0.
struct SourceMap {
    int xx, xy, x0;
    int yx, yy, y0;
};

// W and H are the stored width and height. Exif describes each orientation by where
// the stored rows and columns appear: 6, for example, shows the first stored row as
// the right column and the first stored column as the top row.
SourceMap MapFor(int orientation, int W, int H)
{
    switch (orientation) {
    case 2: // mirrored left to right
        return {-1, 0, W - 1, 0, 1, 0};
    case 3: // turned half a turn
        return {-1, 0, W - 1, 0, -1, H - 1};
    case 4: // mirrored top to bottom
        return {1, 0, 0, 0, -1, H - 1};
    case 5: // mirrored along the main diagonal
        return {0, 1, 0, 1, 0, 0};
    case 6: // needs a quarter turn clockwise
        return {0, 1, 0, -1, 0, H - 1};
    case 7: // mirrored along the other diagonal
        return {0, -1, W - 1, -1, 0, H - 1};
    case 8: // needs a quarter turn counter-clockwise
        return {0, -1, W - 1, 1, 0, 0};
    default:
        return {1, 0, 0, 0, 1, 0};
    }
}

// Square tiles keep both the rows read and the rows written in the cache when the
// picture is turned.
constexpr int Tile = 64;

} // namespace

bool OrientationSwapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

int TurnedOrientation(int orientation, int quarterTurns)
{
    // Each row lists an orientation followed by what one, two and three clockwise
    // quarter turns on top of it give: the plain turns cycle 1, 6, 3, 8 and the
    // mirrored ones 2, 7, 4, 5.
    static constexpr int Turns[9][4] = {
        {1, 6, 3, 8}, {1, 6, 3, 8}, {2, 7, 4, 5}, {3, 8, 1, 6}, {4, 5, 2, 7},
        {5, 2, 7, 4}, {6, 3, 8, 1}, {7, 4, 5, 2}, {8, 1, 6, 3},
    };
    const int row = orientation >= 1 && orientation <= 8 ? orientation : 1;
    return Turns[row][((quarterTurns % 4) + 4) % 4];
}

std::unique_ptr<PixelBuffer> OrientPixels(const PixelBuffer& stored, int orientation)
{
    const int W = stored.Width();
    const int H = stored.Height();
    const bool swap = OrientationSwapsSides(orientation);
    std::unique_ptr<PixelBuffer> upright = PixelBuffer::Create(swap ? H : W, swap ? W : H);
    if (!upright)
        return nullptr;
    const SourceMap map = MapFor(orientation, W, H);
    const std::ptrdiff_t step =
        4 * static_cast<std::ptrdiff_t>(map.xx) + map.yx * static_cast<std::ptrdiff_t>(stored.Stride());
    for (int top = 0; top < upright->Height(); top += Tile) {
        for (int left = 0; left < upright->Width(); left += Tile) {
            const int bottom = std::min(top + Tile, upright->Height());
            const int right = std::min(left + Tile, upright->Width());
            for (int y = top; y < bottom; ++y) {
                std::uint8_t* to = upright->Row(y) + 4 * left;
                // Each step right in the upright row is a fixed step in the stored bytes.
                const std::uint8_t* from =
                    stored.Row(map.yx * left + map.yy * y + map.y0) + 4 * (map.xx * left + map.xy * y + map.x0);
                for (int x = left; x < right; ++x, to += 4, from += step)
                    std::memcpy(to, from, 4);
            }
        }
    }
    return upright;
}

} // namespace Platform::Gdiplus
