#include "Http/BodyChunks.h"

#include <algorithm>

BodyChunks::BodyChunks(std::int32_t bodyLength, std::int32_t fileLength)
    : bodyLength(std::max(bodyLength, 0)), fileLength(fileLength)
{
}

std::uint32_t BodyChunks::FileShare(std::int64_t before, std::int64_t length, std::int64_t fileLength)
{
    if (fileLength <= 0)
        return static_cast<std::uint32_t>(length);
    return static_cast<std::uint32_t>(std::max<std::int64_t>(std::min(before + length, fileLength) - before, 0));
}

std::int32_t BodyChunks::ChunkAt(std::int32_t offset) const
{
    return std::min(ChunkSize, bodyLength - offset);
}

std::int32_t BodyChunks::NextPiece(std::size_t wanted) const
{
    const std::int64_t chunkEnd =
        std::min<std::int64_t>(bodyLength, (handedOut / ChunkSize + 1) * std::int64_t{ChunkSize});
    return static_cast<std::int32_t>(std::min<std::size_t>(wanted, static_cast<std::size_t>(chunkEnd - handedOut)));
}

void BodyChunks::ReportConfirmed(std::int64_t confirmed, const Report& report)
{
    while (reported < handedOut && reported + ChunkAt(reported) <= confirmed) {
        const std::int32_t before = reported;
        const std::int32_t length = ChunkAt(before);
        reported += length;
        report(static_cast<std::uint32_t>(reported), static_cast<std::uint32_t>(length),
               FileShare(before, length, fileLength));
    }
}

void BodyChunks::ReportRest(const Report& report)
{
    ReportConfirmed(bodyLength, report);
}
