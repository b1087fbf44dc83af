#include "Platform/Gdiplus/MemoryStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace Platform::Gdiplus {

namespace {

constexpr std::size_t kFirstCapacity = 64 * 1024;

} // namespace

MemoryStream::~MemoryStream()
{
    std::free(bytes);
}

bool MemoryStream::Reserve(std::size_t needed)
{
    if (needed <= capacity)
        return true;
    const std::size_t grown = std::max({needed, capacity * 2, kFirstCapacity});
    auto* moved = static_cast<std::uint8_t*>(std::realloc(bytes, grown));
    if (!moved)
        return false;
    bytes = moved;
    capacity = grown;
    return true;
}

bool MemoryStream::Write(const void* source, std::size_t count)
{
    if (count == 0)
        return true;
    if (position + count < position || !Reserve(position + count))
        return false;
    if (position > size)
        std::memset(bytes + size, 0, position - size);
    std::memcpy(bytes + position, source, count);
    position += count;
    size = std::max(size, position);
    return true;
}

bool MemoryStream::Seek(std::int64_t offset, Origin origin)
{
    const std::int64_t base = origin == Origin::Begin     ? 0
                              : origin == Origin::Current ? static_cast<std::int64_t>(position)
                                                          : static_cast<std::int64_t>(size);
    if (base + offset < 0)
        return false;
    position = static_cast<std::size_t>(base + offset);
    return true;
}

std::size_t MemoryStream::Read(void* buffer, std::size_t count)
{
    const std::size_t available = position < size ? size - position : 0;
    const std::size_t got = std::min(count, available);
    if (got > 0)
        std::memcpy(buffer, bytes + position, got);
    position += got;
    return got;
}

std::shared_ptr<std::uint8_t[]> MemoryStream::TakeBytes()
{
    std::uint8_t* data = std::exchange(bytes, nullptr);
    capacity = size = position = 0;
    if (!data)
        return nullptr;
    // Should the shared count not get memory, the constructor frees the data and throws.
    return std::shared_ptr<std::uint8_t[]>(data, [](std::uint8_t* taken) { std::free(taken); });
}

} // namespace Platform::Gdiplus
