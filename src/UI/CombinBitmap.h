#pragma once
// The icon strip: one PNG resource cut into named cells that list items draw.

#include "Platform/Win/WinTypes.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Platform::Gdiplus {
class Bitmap;
class Graphics;
} // namespace Platform::Gdiplus

class CombinBitmap {
public:
    struct Cell {
        std::wstring name;
        int x, y, width, height;
    };

    static CombinBitmap& Instance();
    virtual ~CombinBitmap() = default;

    // Loads the strip from the PNG resource; a missing resource leaves no strip.
    void SetImage(unsigned resourceId);
    // The strip at density times the pixels (cells scale with it), drawn on surfaces of
    // a device scale that wants it; a missing resource adds nothing.
    void SetDenseImage(int density, unsigned resourceId);
    // A name already present keeps its cell.
    void AddCells(const std::vector<Cell>& cells);
    // Draws a cell at its own size, or stretched into rect; unknown names draw nothing.
    void DrawCell(Platform::Gdiplus::Graphics& graphics, const std::wstring& name, int x, int y) const;
    void DrawCellStretched(Platform::Gdiplus::Graphics& graphics, const std::wstring& name,
                           const Platform::RECT& rect) const;
    bool HasStrip() const { return strip != nullptr; }

    // A platform bitmap from a PNG resource of the module, or null.
    static std::shared_ptr<Platform::Gdiplus::Bitmap> LoadPngBitmap(unsigned resourceId);

private:
    CombinBitmap() = default;
    void Draw(Platform::Gdiplus::Graphics& graphics, const std::wstring& name, int x, int y, int width,
              int height) const;

    std::shared_ptr<Platform::Gdiplus::Bitmap> strip;
    std::map<int, std::shared_ptr<Platform::Gdiplus::Bitmap>> denser;
    std::map<std::wstring, Cell> cells;
};
