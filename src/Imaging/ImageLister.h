#pragma once
// The process-wide store of named skin rasters, filled from the module's PNG
// resources. A name keeps the first raster stored under it. A name may also have
// denser rasters (2 and 3 times the pixels) for device scales: drawing picks the
// density of the DC's scale or the nearest larger one, and a density that does not
// fit the device pixels exactly is scaled to them once and kept. The 1x raster gives
// the logical size. Used on the control's thread only.

#include <map>
#include <memory>
#include <string>
#include <tuple>

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
    // The name's raster at density times the pixels; a missing resource adds nothing.
    void AddDensity(const std::string& name, int density, unsigned resourceId);
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
    // The stored raster of the DC's density (see above).
    std::shared_ptr<RasterImage> Densest(Platform::HDC__* dc, const std::string& name) const;
    // That raster made exactly as large as width x height logical pixels at the DC's scale.
    std::shared_ptr<RasterImage> ForDevice(Platform::HDC__* dc, const std::string& name, int width, int height) const;

    std::map<std::string, std::shared_ptr<RasterImage>> images;
    // Per name: density to raster, for densities above 1.
    std::map<std::string, std::map<int, std::shared_ptr<RasterImage>>> denser;
    // Rasters scaled to a device size, by name and size.
    mutable std::map<std::tuple<std::string, int, int>, std::shared_ptr<RasterImage>> scaled;
};
