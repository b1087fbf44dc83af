#include "Platform/Gdiplus/PixelBuffer.h"

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace Platform::Gdiplus {

Status PixelBuffer::CheckSize(std::int64_t width, std::int64_t height)
{
    if (width <= 0 || height <= 0)
        return Status::InvalidParameter;
    if (width > MaxSide || height > MaxSide || width * height * 4 > MaxBytes)
        return Status::ValueOverflow;
    return Status::Ok;
}

void PixelBuffer::Free::operator()(std::uint8_t* memory) const
{
    std::free(memory);
}

// Photos take tens of megabytes: asking for huge pages spares the kernel one page
// fault per 4 KiB when the decoder first writes them.
PixelBuffer::Memory PixelBuffer::Allocate(std::size_t size)
{
    constexpr std::size_t HugePage = std::size_t{2} << 20;
    if (size < 2 * HugePage)
        return Memory(static_cast<std::uint8_t*>(std::malloc(size)));
    const std::size_t rounded = (size + HugePage - 1) / HugePage * HugePage;
    Memory memory(static_cast<std::uint8_t*>(std::aligned_alloc(HugePage, rounded)));
    if (memory)
        madvise(memory.get(), rounded, MADV_HUGEPAGE);
    return memory;
}

std::unique_ptr<PixelBuffer> PixelBuffer::Create(int width, int height)
{
    if (CheckSize(width, height) != Status::Ok)
        return nullptr;
    Memory bytes = Allocate(std::size_t(width) * height * 4);
    if (!bytes)
        return nullptr;
    return std::unique_ptr<PixelBuffer>(new (std::nothrow) PixelBuffer(width, height, std::move(bytes)));
}

bool PixelBuffer::HasAlpha() const
{
    const std::uint8_t* end = bytes.get() + ByteSize();
    for (const std::uint8_t* pixel = bytes.get(); pixel < end; pixel += 4) {
        if (pixel[3] != 0xFF)
            return true;
    }
    return false;
}

void PixelBuffer::SetOpaque()
{
    std::uint8_t* end = bytes.get() + ByteSize();
    for (std::uint8_t* pixel = bytes.get(); pixel < end; pixel += 4)
        pixel[3] = 0xFF;
}

void PixelBuffer::Fill(std::uint32_t argb)
{
    std::uint8_t pattern[4];
    std::memcpy(pattern, &argb, 4);
    std::uint8_t* end = bytes.get() + ByteSize();
    for (std::uint8_t* pixel = bytes.get(); pixel < end; pixel += 4)
        std::memcpy(pixel, pattern, 4);
}

} // namespace Platform::Gdiplus
