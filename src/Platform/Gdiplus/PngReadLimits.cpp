#include "Platform/Gdiplus/PngReadLimits.h"

#include "Platform/Gdiplus/PixelBuffer.h"

#include <cstdlib>

namespace Platform::Gdiplus {
namespace {

constexpr png_uint_32 MaxChunkCount = 256;

// Four letters and a terminating zero per chunk, as libpng takes the list.
constexpr png_byte SkippedChunks[] = "tEXt\0zTXt\0iTXt\0sPLT\0eXIf\0pCAL\0sCAL\0iCCP\0hIST";
constexpr int SkippedChunkCount = sizeof SkippedChunks / 5;

png_voidp LimitedMalloc(png_structp, png_alloc_size_t size)
{
    return size <= MaxPngAllocation ? std::malloc(size) : nullptr;
}

void Free(png_structp, png_voidp memory)
{
    std::free(memory);
}

} // namespace

png_structp CreateLimitedPngReader(png_error_ptr onError, png_error_ptr onWarning)
{
    png_structp png =
        png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning, nullptr, LimitedMalloc, Free);
    if (!png)
        return nullptr;
    png_set_user_limits(png, PixelBuffer::MaxSide, PixelBuffer::MaxSide);
    png_set_chunk_malloc_max(png, MaxPngAllocation);
    png_set_chunk_cache_max(png, MaxChunkCount);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, SkippedChunks, SkippedChunkCount);
    return png;
}

} // namespace Platform::Gdiplus
