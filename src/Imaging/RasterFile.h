#pragma once
// A source of bytes the raster decoder reads from.

#include "Imaging/ImageExport.h"

#include <cstddef>

class TRELLAN_IMAGE_EXPORT RasterFile {
public:
    // Defined out of line so that the module exports them.
    RasterFile();
    RasterFile(const RasterFile& other);
    RasterFile& operator=(const RasterFile& other);
    virtual ~RasterFile();
    // Copies up to size bytes and returns how many were copied (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
};
