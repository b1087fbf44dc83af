#include "Imaging/ImageLister.h"

#include "Imaging/RasterImage.h"
#include "Platform/Resources/Resources.h"

using namespace Platform;

ImageLister& ImageLister::Instance()
{
    static ImageLister instance;
    return instance;
}

void ImageLister::Add(const std::string& name, unsigned resourceId)
{
    if (images.count(name))
        return;
    auto raster = std::make_shared<RasterImage>();
    if (HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(resourceId)), L"PNG"))
        raster->LoadPngResource(nullptr, resource);
    images.emplace(name, std::move(raster));
}

std::shared_ptr<RasterImage> ImageLister::Get(const std::string& name) const
{
    auto it = images.find(name);
    return it == images.end() ? nullptr : it->second;
}

void ImageLister::Draw(HDC dc, const POINT& point, const std::string& name) const
{
    if (auto raster = Get(name))
        raster->DrawTo(dc, point.x, point.y);
}

void ImageLister::DrawGray(HDC dc, const POINT& point, const std::string& name) const
{
    auto raster = Get(name);
    RasterImage grey;
    if (raster && grey.CopyFrom(*raster) && grey.ToGray())
        grey.DrawTo(dc, point.x, point.y);
}

void ImageLister::DrawStretched(HDC dc, const RECT& rect, const std::string& name) const
{
    if (auto raster = Get(name))
        raster->DrawTo(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void ImageLister::Clear()
{
    images.clear();
}
