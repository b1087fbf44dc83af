#include "UI/CombinBitmap.h"

#include "Imaging/SkinDensity.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/Graphics.h"
#include "Platform/Resources/Resources.h"

#include <set>

using namespace Platform;
using namespace Platform::Gdiplus;

CombinBitmap& CombinBitmap::Instance()
{
    static CombinBitmap instance;
    return instance;
}

std::shared_ptr<Bitmap> CombinBitmap::LoadPngBitmap(unsigned resourceId)
{
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(resourceId)), L"PNG");
    const void* bytes = resource ? LockResource(LoadResource(nullptr, resource)) : nullptr;
    const DWORD size = resource ? SizeofResource(nullptr, resource) : 0;
    if (!bytes || size == 0)
        return nullptr;
    auto bitmap = Bitmap::FromMemory(bytes, size);
    return bitmap && bitmap->GetWidth() > 0 ? bitmap : nullptr;
}

void CombinBitmap::SetImage(unsigned resourceId)
{
    strip = LoadPngBitmap(resourceId);
}

void CombinBitmap::SetDenseImage(int density, unsigned resourceId)
{
    if (auto bitmap = LoadPngBitmap(resourceId); bitmap && density > 1)
        denser[density] = std::move(bitmap);
}

void CombinBitmap::AddCells(const std::vector<Cell>& newCells)
{
    for (const Cell& cell : newCells)
        cells.emplace(cell.name, cell);
}

void CombinBitmap::DrawCell(Graphics& graphics, const std::wstring& name, int x, int y) const
{
    auto it = cells.find(name);
    if (it != cells.end())
        Draw(graphics, name, x, y, it->second.width, it->second.height);
}

void CombinBitmap::DrawCellStretched(Graphics& graphics, const std::wstring& name, const RECT& rect) const
{
    Draw(graphics, name, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void CombinBitmap::Draw(Graphics& graphics, const std::wstring& name, int x, int y, int width, int height) const
{
    auto it = cells.find(name);
    if (it == cells.end() || !strip)
        return;
    const Cell& cell = it->second;
    std::set<int> densities{1};
    for (const auto& entry : denser)
        densities.insert(entry.first);
    const int density = ChooseDensity(densities, graphics.DeviceScale());
    const Platform::Gdiplus::Bitmap* image = density == 1 ? strip.get() : denser.at(density).get();
    graphics.DrawImage(image, Rect{x, y, width, height}, cell.x * density, cell.y * density, cell.width * density,
                       cell.height * density, UnitPixel);
}
