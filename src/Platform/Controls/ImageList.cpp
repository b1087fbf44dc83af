#include "Platform/Controls/ImageList.h"

#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/Graphics.h"
#include "Platform/Win/Surface.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace Platform {
namespace {

struct ImageListData {
    int width = 0;
    int height = 0;
    std::vector<std::shared_ptr<Gdiplus::Bitmap>> images;
};

// Image lists may be made on any thread (a shell icon list is process-wide).
struct ImageLists {
    std::mutex lock;
    std::unordered_map<HIMAGELIST, std::shared_ptr<ImageListData>> lists;
    std::uintptr_t next = 1;
};

ImageLists& Lists()
{
    static ImageLists lists;
    return lists;
}

std::shared_ptr<ImageListData> Find(HIMAGELIST list)
{
    ImageLists& all = Lists();
    std::lock_guard guard(all.lock);
    auto it = all.lists.find(list);
    return it == all.lists.end() ? nullptr : it->second;
}

// A surface pixel is premultiplied; pictures keep straight alpha.
std::uint32_t Straight(std::uint32_t premultiplied)
{
    const std::uint32_t alpha = premultiplied >> 24;
    if (alpha == 0 || alpha == 255)
        return alpha == 0 ? 0 : premultiplied;
    auto channel = [&](int shift) {
        return std::min<std::uint32_t>(255, ((premultiplied >> shift) & 0xFF) * 255 / alpha);
    };
    return (alpha << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
}

} // namespace

HIMAGELIST ImageList_Create(int width, int height, UINT, int, int)
{
    if (width < 1 || height < 1)
        return nullptr;
    auto data = std::make_shared<ImageListData>();
    data->width = width;
    data->height = height;
    ImageLists& all = Lists();
    std::lock_guard guard(all.lock);
    const HIMAGELIST handle = reinterpret_cast<HIMAGELIST>(all.next++);
    all.lists.emplace(handle, std::move(data));
    return handle;
}

BOOL ImageList_Destroy(HIMAGELIST list)
{
    ImageLists& all = Lists();
    std::lock_guard guard(all.lock);
    return all.lists.erase(list) ? TRUE : FALSE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP)
{
    std::shared_ptr<ImageListData> data = Find(list);
    std::shared_ptr<Surface> surface = GetBitmapSurface(image);
    if (!data || !surface || surface->Width() < data->width || surface->Height() < data->height)
        return -1;
    const int first = static_cast<int>(data->images.size());
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(data->width) * data->height);
    for (int left = 0; left + data->width <= surface->Width(); left += data->width) {
        for (int y = 0; y < data->height; ++y)
            for (int x = 0; x < data->width; ++x)
                pixels[static_cast<std::size_t>(y) * data->width + x] = Straight(surface->Pixel(left + x, y));
        data->images.push_back(Gdiplus::Bitmap::FromPixels(data->width, data->height, data->width * 4, pixels.data()));
    }
    return first;
}

int ImageList_GetImageCount(HIMAGELIST list)
{
    std::shared_ptr<ImageListData> data = Find(list);
    return data ? static_cast<int>(data->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height)
{
    std::shared_ptr<ImageListData> data = Find(list);
    if (!data || !width || !height)
        return FALSE;
    *width = data->width;
    *height = data->height;
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT)
{
    std::shared_ptr<ImageListData> data = Find(list);
    if (!data || index < 0 || index >= static_cast<int>(data->images.size()))
        return FALSE;
    Gdiplus::Graphics graphics(dc);
    return graphics.DrawImage(data->images[static_cast<std::size_t>(index)].get(), x, y) == Gdiplus::Status::Ok ? TRUE
                                                                                                                : FALSE;
}

} // namespace Platform
