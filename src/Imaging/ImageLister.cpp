#include "Imaging/ImageLister.h"

#include "Imaging/RasterImage.h"
#include "Imaging/SkinDensity.h"
#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Resources/Resources.h"

#include <cmath>

using namespace Platform;

namespace {

std::shared_ptr<RasterImage> LoadResource(unsigned resourceId)
{
    auto raster = std::make_shared<RasterImage>();
    if (HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(resourceId)), L"PNG"))
        raster->LoadPngResource(nullptr, resource);
    return raster;
}

int DeviceLength(int logical, double scale)
{
    return static_cast<int>(std::ceil(logical * scale - 1e-9));
}

} // namespace

ImageLister& ImageLister::Instance()
{
    static ImageLister instance;
    return instance;
}

void ImageLister::Add(const std::string& name, unsigned resourceId)
{
    if (images.count(name))
        return;
    images.emplace(name, LoadResource(resourceId));
}

void ImageLister::AddDensity(const std::string& name, int density, unsigned resourceId)
{
    auto raster = LoadResource(resourceId);
    if (density > 1 && !raster->IsEmpty())
        denser[name].emplace(density, std::move(raster));
}

std::shared_ptr<RasterImage> ImageLister::Densest(HDC dc, const std::string& name) const
{
    const double scale = GetDeviceScale(dc);
    auto dense = denser.find(name);
    if (scale <= 1.0 || dense == denser.end())
        return Get(name);
    std::set<int> densities;
    for (const auto& entry : dense->second)
        densities.insert(entry.first);
    return dense->second.at(ChooseDensity(densities, scale));
}

std::shared_ptr<RasterImage> ImageLister::ForDevice(HDC dc, const std::string& name, int width, int height) const
{
    std::shared_ptr<RasterImage> chosen = Densest(dc, name);
    const double scale = GetDeviceScale(dc);
    if (!chosen || scale == 1.0)
        return chosen;
    const int deviceWidth = DeviceLength(width, scale), deviceHeight = DeviceLength(height, scale);
    if (chosen->GetWidth() == deviceWidth && chosen->GetHeight() == deviceHeight)
        return chosen;
    auto& kept = scaled[{name, deviceWidth, deviceHeight}];
    if (!kept) {
        auto fitted = std::make_shared<RasterImage>();
        kept = fitted->CopyFrom(*chosen) && fitted->ScaleTo(deviceWidth, deviceHeight) ? fitted : chosen;
    }
    return kept;
}

std::shared_ptr<RasterImage> ImageLister::Get(const std::string& name) const
{
    auto it = images.find(name);
    return it == images.end() ? nullptr : it->second;
}

void ImageLister::Draw(HDC dc, const POINT& point, const std::string& name) const
{
    auto base = Get(name);
    if (!base)
        return;
    const int width = base->GetWidth(), height = base->GetHeight();
    ForDevice(dc, name, width, height)->DrawTo(dc, point.x, point.y, width, height);
}

void ImageLister::DrawGray(HDC dc, const POINT& point, const std::string& name) const
{
    auto base = Get(name);
    if (!base)
        return;
    const int width = base->GetWidth(), height = base->GetHeight();
    RasterImage grey;
    if (grey.CopyFrom(*ForDevice(dc, name, width, height)) && grey.ToGray())
        grey.DrawTo(dc, point.x, point.y, width, height);
}

void ImageLister::DrawStretched(HDC dc, const RECT& rect, const std::string& name) const
{
    // Stretched the way the 1x raster is, from the pixels of the density.
    if (auto raster = Densest(dc, name))
        raster->DrawTo(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void ImageLister::Clear()
{
    images.clear();
    denser.clear();
    scaled.clear();
}
