// Quarter turns of RasterImage.

#include "Imaging/RasterImage.h"

#include <algorithm>

namespace {

constexpr int kTile = 64;

// Source storage position of the result pixel at storage position (x, y), for a turn
// of a W x H picture. With picture rows counted from the top, a left turn takes result
// (c, r) from source (W - 1 - r, c) and a right turn from (r, H - 1 - c); storage rows
// are bottom-up, which this converts.
struct TurnMap {
    bool left;
    int width; // source
    int height; // source

    void Source(int x, int y, int& sx, int& sy) const
    {
        const int resultHeight = width;
        const int r = resultHeight - 1 - y; // result row from the top
        const int c = x;
        int column, rowFromTop;
        if (left) {
            column = width - 1 - r;
            rowFromTop = c;
        } else {
            column = r;
            rowFromTop = height - 1 - c;
        }
        sx = column;
        sy = height - 1 - rowFromTop;
    }
};

} // namespace

bool RasterImage::RotateLeft()
{
    return Rotate(true);
}

bool RasterImage::RotateRight()
{
    return Rotate(false);
}

bool RasterImage::Rotate(bool left)
{
    if (IsEmpty())
        return false;
    RasterImage result;
    if (!MakeLike(result, height, width) || (HasAlpha() && !result.AddAlpha()))
        return false;
    const TurnMap map{left, width, height};
    // Tiles of 64 x 64 destination pixels keep source and destination in cache.
    for (int tileY = 0; tileY < result.height; tileY += kTile) {
        for (int tileX = 0; tileX < result.width; tileX += kTile) {
            const int endY = std::min(result.height, tileY + kTile);
            const int endX = std::min(result.width, tileX + kTile);
            for (int y = tileY; y < endY; ++y) {
                std::uint8_t* target = result.Row(y);
                for (int x = tileX; x < endX; ++x) {
                    int sx, sy;
                    map.Source(x, y, sx, sy);
                    if (bits == 24)
                        std::copy_n(Row(sy) + sx * 3, 3, target + x * 3);
                    else
                        result.SetPixelIndex(x, y, PixelIndex(sx, sy));
                    if (HasAlpha())
                        result.AlphaRow(y)[x] = AlphaRow(sy)[sx];
                }
            }
        }
    }
    TakeOver(result);
    return true;
}
