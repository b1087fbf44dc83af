#pragma once
// A read-only RasterFile over bytes held elsewhere (a module resource). A place past
// the end reads nothing.

#include "Imaging/RasterFile.h"

class RASTER_EXPORT RasterMemFile : public RasterFile {
public:
    RasterMemFile(const void* data, std::size_t size);
    ~RasterMemFile() override;
    RasterMemFile(const RasterMemFile&);
    RasterMemFile& operator=(const RasterMemFile&);

    std::size_t Read(void* buffer, std::size_t count) override;
    bool Seek(std::int64_t offset, int origin) override;
    std::int64_t Tell() override;
    std::int64_t Size() override;

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};
