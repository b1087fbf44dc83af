#include "Imaging/RasterMemFile.h"

#include <algorithm>
#include <cstring>

RasterFile::RasterFile() = default;
RasterFile::RasterFile(const RasterFile&) = default;
RasterFile& RasterFile::operator=(const RasterFile&) = default;
RasterFile::~RasterFile() = default;

RasterMemFile::RasterMemFile(const void* data, std::size_t size)
    : data(static_cast<const std::uint8_t*>(data)), size(size)
{
}

std::size_t RasterMemFile::Read(void* buffer, std::size_t count)
{
    const std::size_t copied = std::min(count, size - position);
    if (copied > 0)
        std::memcpy(buffer, data + position, copied);
    position += copied;
    return copied;
}
