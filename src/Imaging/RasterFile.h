#pragma once
// A file the raster class reads its bytes from: the module's resource bytes
// (RasterMemFile) or a file of the file system (RasterIOFile).

#include "Imaging/RasterExport.h"

#include <cstddef>
#include <cstdint>

class RASTER_EXPORT RasterFile {
public:
    RasterFile();
    virtual ~RasterFile();
    RasterFile(const RasterFile&);
    RasterFile& operator=(const RasterFile&);

    // Copies up to size bytes and returns how many were copied (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
    // Moves to offset from origin (SEEK_SET, SEEK_CUR or SEEK_END); false, and the
    // place unchanged, when the new place would lie before the start.
    virtual bool Seek(std::int64_t offset, int origin) = 0;
    // The place of the next read; -1 when it cannot be told.
    virtual std::int64_t Tell() = 0;
    // The length of the file in bytes; -1 when it cannot be told.
    virtual std::int64_t Size() = 0;
};
