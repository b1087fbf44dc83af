#pragma once
// The process-wide store of named skin rasters, filled from the module's PNG
// resources. A name keeps the first raster stored under it.

#include <map>
#include <memory>
#include <string>

class RasterImage;
namespace Platform {
struct HDC__;
struct POINT;
struct RECT;
} // namespace Platform

class ImageLister {
public:
    static ImageLister& Instance();

    // Stores the PNG resource with that id under the name; a resource that is missing
    // or cannot be decoded is stored as an empty raster, which draws nothing.
    void Add(const std::string& name, unsigned resourceId);
    std::shared_ptr<RasterImage> Get(const std::string& name) const;

    // A name that is not stored draws nothing.
    void Draw(Platform::HDC__* dc, const Platform::POINT& point, const std::string& name) const;
    // Draws a grey copy; the stored raster stays in colour.
    void DrawGray(Platform::HDC__* dc, const Platform::POINT& point, const std::string& name) const;
    void DrawStretched(Platform::HDC__* dc, const Platform::RECT& rect, const std::string& name) const;
    void Clear();
    std::size_t Count() const { return images.size(); }

private:
    ImageLister() = default;

    std::map<std::string, std::shared_ptr<RasterImage>> images;
};
