#pragma once
// A read-only RasterFile over bytes held elsewhere (a module resource).

#include "Imaging/ImageExport.h"
#include "Imaging/RasterFile.h"

#include <cstdint>

class TRELLAN_IMAGE_EXPORT RasterMemFile : public RasterFile {
public:
    RasterMemFile(const void* data, std::size_t size);
    std::size_t Read(void* buffer, std::size_t count) override;

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};
