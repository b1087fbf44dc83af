#include "Imaging/RasterMemFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

RasterMemFile::RasterMemFile(const void* data, std::size_t size)
    : data(static_cast<const std::uint8_t*>(data)), size(size)
{
}

RasterMemFile::~RasterMemFile() = default;
RasterMemFile::RasterMemFile(const RasterMemFile&) = default;
RasterMemFile& RasterMemFile::operator=(const RasterMemFile&) = default;

std::size_t RasterMemFile::Read(void* buffer, std::size_t count)
{
    const std::size_t copied = position < size ? std::min(count, size - position) : 0;
    if (copied > 0)
        std::memcpy(buffer, data + position, copied);
    position += copied;
    return copied;
}

bool RasterMemFile::Seek(std::int64_t offset, int origin)
{
    std::int64_t base = 0;
    if (origin == SEEK_CUR)
        base = static_cast<std::int64_t>(position);
    else if (origin == SEEK_END)
        base = static_cast<std::int64_t>(size);
    else if (origin != SEEK_SET)
        return false;
    // Within the range of both types, and not before the start.
    if ((offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) || base + offset < 0)
        return false;
    position = static_cast<std::size_t>(base + offset);
    return true;
}

std::int64_t RasterMemFile::Tell()
{
    return static_cast<std::int64_t>(position);
}

std::int64_t RasterMemFile::Size()
{
    return static_cast<std::int64_t>(size);
}
