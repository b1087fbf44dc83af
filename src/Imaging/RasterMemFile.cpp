#include "Imaging/RasterMemFile.h"

#include <algorithm>
#include <cstring>

std::size_t RasterMemFile::Read(void* buffer, std::size_t count)
{
    const std::size_t copied = std::min(count, size - position);
    if (copied > 0)
        std::memcpy(buffer, data + position, copied);
    position += copied;
    return copied;
}
