#pragma once
// Splits a request body into the chunks it is sent in and reports each chunk once,
// with its share of the file: the body's bytes counted against the file length as if
// the file came first, so the shares add up to min(body length, file length).

#include <cstddef>
#include <cstdint>
#include <functional>

class BodyChunks {
public:
    static constexpr std::int32_t ChunkSize = 131072;
    // (bytes of the body written so far, chunk length, the chunk's file share)
    using Report = std::function<void(std::uint32_t, std::uint32_t, std::uint32_t)>;

    BodyChunks(std::int32_t bodyLength, std::int32_t fileLength);

    static std::uint32_t FileShare(std::int64_t before, std::int64_t length, std::int64_t fileLength);

    // How many bytes to hand to the transport next, at most wanted, never crossing
    // the end of the current chunk (0 at the end of the body); then MarkHandedOut.
    std::int32_t NextPiece(std::size_t wanted) const;
    std::int32_t HandedOut() const { return handedOut; }
    void MarkHandedOut(std::int32_t length) { handedOut += length; }

    // Reports every chunk whose last byte is among the first confirmed bytes.
    void ReportConfirmed(std::int64_t confirmed, const Report& report);
    // Reports every chunk of which anything was handed out and that is not yet
    // reported: the transfer is over, and a chunk that failed counts as written.
    void ReportRest(const Report& report);

private:
    std::int32_t ChunkAt(std::int32_t offset) const;

    std::int32_t bodyLength;
    std::int32_t fileLength;
    std::int32_t handedOut = 0;
    std::int32_t reported = 0;
};
