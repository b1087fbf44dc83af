#pragma once
// A source of bytes the raster decoder reads from.

#include <cstddef>

class RasterFile {
public:
    virtual ~RasterFile() = default;
    // Copies up to size bytes and returns how many were copied (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
};
