#include "Imaging/RasterFile.h"

// Defined here so that the class's virtual table and members live in the module.
RasterFile::RasterFile() = default;
RasterFile::~RasterFile() = default;
RasterFile::RasterFile(const RasterFile&) = default;
RasterFile& RasterFile::operator=(const RasterFile&) = default;
