#include "Platform/Gdiplus/PixelCache.h"

#include "Platform/Gdiplus/PixelBuffer.h"

#include <algorithm>

namespace Platform::Gdiplus {

PixelCache& PixelCache::Instance()
{
    // Never destroyed, so that bitmaps held by other static objects can still leave
    // the cache while the process exits.
    static PixelCache* cache = new PixelCache;
    return *cache;
}

std::shared_ptr<const PixelBuffer> PixelCache::Find(std::uint64_t key)
{
    std::lock_guard lock(mutex);
    const auto found = std::find_if(entries.begin(), entries.end(), [key](const Entry& e) { return e.key == key; });
    if (found == entries.end())
        return nullptr;
    entries.splice(entries.begin(), entries, found);
    return found->pixels;
}

void PixelCache::Insert(std::uint64_t key, std::shared_ptr<const PixelBuffer> pixels)
{
    const std::size_t size = pixels->ByteSize();
    if (size > budget)
        return;
    std::lock_guard lock(mutex);
    EraseLocked(key);
    while (held + size > budget) {
        held -= entries.back().pixels->ByteSize();
        entries.pop_back();
    }
    entries.push_front({key, std::move(pixels)});
    held += size;
}

void PixelCache::Erase(std::uint64_t key)
{
    std::lock_guard lock(mutex);
    EraseLocked(key);
}

std::size_t PixelCache::HeldBytes() const
{
    std::lock_guard lock(mutex);
    return held;
}

void PixelCache::EraseLocked(std::uint64_t key)
{
    const auto found = std::find_if(entries.begin(), entries.end(), [key](const Entry& e) { return e.key == key; });
    if (found == entries.end())
        return;
    held -= found->pixels->ByteSize();
    entries.erase(found);
}

} // namespace Platform::Gdiplus
