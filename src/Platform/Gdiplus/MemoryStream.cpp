#include "Platform/Gdiplus/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace Platform::Gdiplus {

bool MemoryStream::Write(const void* source, std::size_t count)
{
    try {
        if (position + count > bytes.size())
            bytes.resize(position + count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (count > 0)
        std::memcpy(bytes.data() + position, source, count);
    position += count;
    return true;
}

bool MemoryStream::Seek(std::int64_t offset, Origin origin)
{
    const std::int64_t base = origin == Origin::Begin     ? 0
                              : origin == Origin::Current ? static_cast<std::int64_t>(position)
                                                          : static_cast<std::int64_t>(bytes.size());
    if (base + offset < 0)
        return false;
    position = static_cast<std::size_t>(base + offset);
    return true;
}

std::size_t MemoryStream::Read(void* buffer, std::size_t count)
{
    const std::size_t available = position < bytes.size() ? bytes.size() - position : 0;
    const std::size_t got = std::min(count, available);
    if (got > 0)
        std::memcpy(buffer, bytes.data() + position, got);
    position += got;
    return got;
}

} // namespace Platform::Gdiplus
