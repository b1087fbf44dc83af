#pragma once
// Decoded pixels of file-backed bitmaps, kept within a byte budget so that a list of
// hundreds of photos does not hold hundreds of decoded pictures, while the common
// sequence of two operations on one picture (thumbnail then copy, encode after an
// edit) decodes only once. The least recently used entries go first. Pixels handed
// out stay alive while a caller holds them, even after their entry is dropped.
// All operations are thread-safe: the list's loader thread, upload threads and the
// control's thread use bitmaps at the same time.

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>

namespace Platform::Gdiplus {

class PixelBuffer;

class PixelCache {
public:
    static constexpr std::size_t DefaultBudget = std::size_t{1} << 28;

    explicit PixelCache(std::size_t budget = DefaultBudget) : budget(budget) {}
    static PixelCache& Instance();

    std::shared_ptr<const PixelBuffer> Find(std::uint64_t key);
    // Pixels larger than the whole budget are not kept.
    void Insert(std::uint64_t key, std::shared_ptr<const PixelBuffer> pixels);
    void Erase(std::uint64_t key);
    std::size_t HeldBytes() const;

private:
    struct Entry {
        std::uint64_t key;
        std::shared_ptr<const PixelBuffer> pixels;
    };

    void EraseLocked(std::uint64_t key);

    mutable std::mutex mutex;
    std::list<Entry> entries; // most recently used first
    std::size_t budget;
    std::size_t held = 0;
};

} // namespace Platform::Gdiplus
