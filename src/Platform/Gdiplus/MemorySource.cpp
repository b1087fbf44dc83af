#include "Platform/Gdiplus/MemorySource.h"

#include <algorithm>
#include <cstring>

namespace Platform::Gdiplus {

std::size_t MemorySource::Read(void* buffer, std::size_t count)
{
    const std::size_t got = std::min(count, size - position);
    if (got > 0)
        std::memcpy(buffer, data + position, got);
    position += got;
    return got;
}

bool MemorySource::Seek(std::uint64_t target)
{
    if (target > size)
        return false;
    position = static_cast<std::size_t>(target);
    return true;
}

} // namespace Platform::Gdiplus
