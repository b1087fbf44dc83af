#include "Platform/Gdi/GdiObjects.h"

#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Win/Surface.h"

#include <map>
#include <mutex>
#include <unordered_map>
#include <variant>

namespace Platform {
namespace {

using GdiObject = std::variant<PenInfo, BrushInfo, FontInfo, std::shared_ptr<Surface>>;

class ObjectTable {
public:
    static ObjectTable& Instance()
    {
        static ObjectTable table;
        return table;
    }

    HGDIOBJ Add(GdiObject object, bool stock = false)
    {
        std::lock_guard guard(lock);
        next += 4;
        auto handle = reinterpret_cast<HGDIOBJ>(next);
        objects.emplace(handle, Entry{std::move(object), stock});
        return handle;
    }

    bool Remove(HGDIOBJ handle)
    {
        std::lock_guard guard(lock);
        auto it = objects.find(handle);
        if (it == objects.end() || it->second.stock)
            return false;
        objects.erase(it);
        return true;
    }

    template <typename T> bool Get(HGDIOBJ handle, T& out)
    {
        std::lock_guard guard(lock);
        auto it = objects.find(handle);
        if (it == objects.end() || !std::holds_alternative<T>(it->second.object))
            return false;
        out = std::get<T>(it->second.object);
        return true;
    }

    // Gives a bitmap other pixels; false when the handle is no bitmap.
    bool ReplaceSurface(HGDIOBJ handle, std::shared_ptr<Surface> surface)
    {
        std::lock_guard guard(lock);
        auto it = objects.find(handle);
        if (it == objects.end() || !std::holds_alternative<std::shared_ptr<Surface>>(it->second.object))
            return false;
        it->second.object = std::move(surface);
        return true;
    }

    HGDIOBJ Stock(int index)
    {
        std::call_once(stockMade, [this] { MakeStock(); });
        std::lock_guard guard(lock);
        auto it = stock.find(index);
        return it == stock.end() ? nullptr : it->second;
    }

private:
    struct Entry {
        GdiObject object;
        bool stock = false;
    };

    void MakeStock()
    {
        const std::pair<int, GdiObject> made[] = {
            {WHITE_BRUSH, BrushInfo{false, 0xFFFFFF}},
            {LTGRAY_BRUSH, BrushInfo{false, 0xC0C0C0}},
            {GRAY_BRUSH, BrushInfo{false, 0x808080}},
            {BLACK_BRUSH, BrushInfo{false, 0}},
            {NULL_BRUSH, BrushInfo{true, 0}},
            {DC_BRUSH, BrushInfo{false, 0xFFFFFF}},
            {WHITE_PEN, PenInfo{PS_SOLID, 1, 0xFFFFFF}},
            {BLACK_PEN, PenInfo{PS_SOLID, 1, 0}},
            {NULL_PEN, PenInfo{PS_NULL, 1, 0}},
            {DC_PEN, PenInfo{PS_SOLID, 1, 0}},
            {SYSTEM_FONT, FontInfo{12, FW_NORMAL, false, L"新宋体"}},
            {DEFAULT_GUI_FONT, FontInfo{12, FW_NORMAL, false, L"新宋体"}},
        };
        for (const auto& [index, object] : made)
            stock[index] = Add(object, true);
    }

    std::mutex lock;
    std::uintptr_t next = 0x100000;
    std::unordered_map<HGDIOBJ, Entry> objects;
    std::once_flag stockMade;
    std::map<int, HGDIOBJ> stock;
};

// System colours: window white, button face light grey, text black.
COLORREF SystemColor(int index)
{
    switch (index) {
    case COLOR_WINDOW:
        return 0xFFFFFF;
    case COLOR_BTNFACE:
        return 0xF0F0F0;
    default:
        return 0;
    }
}

} // namespace

HPEN CreatePen(int style, int width, COLORREF color)
{
    return ObjectTable::Instance().Add(PenInfo{style, width < 1 ? 1 : width, color});
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    return ObjectTable::Instance().Add(BrushInfo{false, color});
}

HBRUSH GetSysColorBrush(int index)
{
    static std::map<int, HBRUSH> brushes;
    static std::mutex lock;
    std::lock_guard guard(lock);
    auto& brush = brushes[index];
    if (!brush)
        brush = ObjectTable::Instance().Add(BrushInfo{false, SystemColor(index)}, true);
    return brush;
}

HGDIOBJ GetStockObject(int index)
{
    return ObjectTable::Instance().Stock(index);
}

HFONT CreateFontW(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                  const wchar_t* face)
{
    return ObjectTable::Instance().Add(FontInfo{height == 0 ? 12 : (height < 0 ? -height : height),
                                                weight == 0 ? FW_NORMAL : weight, italic != 0, face ? face : L""});
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    const double scale = GetDeviceScale(dc);
    if (width <= 0 || height <= 0 || Surface::DeviceSize(width, scale) > Surface::kMaximumSide ||
        Surface::DeviceSize(height, scale) > Surface::kMaximumSide)
        return nullptr;
    return CreateBitmapOver(std::make_shared<Surface>(width, height, 0xFF000000u, scale));
}

HBITMAP CreateBitmapOver(std::shared_ptr<Surface> surface)
{
    return surface ? ObjectTable::Instance().Add(std::move(surface)) : nullptr;
}

bool FollowDeviceScale(HBITMAP bitmap, double scale)
{
    const std::shared_ptr<Surface> surface = GetBitmapSurface(bitmap);
    if (!surface)
        return false;
    if (surface->Scale() == scale)
        return true;
    return ObjectTable::Instance().ReplaceSurface(
        bitmap, std::make_shared<Surface>(surface->LogicalWidth(), surface->LogicalHeight(), 0xFF000000u, scale));
}

BOOL DeleteObject(HGDIOBJ object)
{
    return object && ObjectTable::Instance().Remove(object) ? TRUE : FALSE;
}

bool GetPenInfo(HGDIOBJ object, PenInfo& out)
{
    return ObjectTable::Instance().Get(object, out);
}

bool GetBrushInfo(HGDIOBJ object, BrushInfo& out)
{
    return ObjectTable::Instance().Get(object, out);
}

bool GetFontInfo(HGDIOBJ object, FontInfo& out)
{
    return ObjectTable::Instance().Get(object, out);
}

std::shared_ptr<Surface> GetBitmapSurface(HGDIOBJ object)
{
    std::shared_ptr<Surface> surface;
    ObjectTable::Instance().Get(object, surface);
    return surface;
}

} // namespace Platform
