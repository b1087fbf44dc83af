#pragma once
// Sequential, seekable reading of a picture's encoded bytes, whether they sit in a
// file or in memory. Decoders read through this and nothing else.

#include <cstddef>
#include <cstdint>

namespace Platform::Gdiplus {

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Reads up to count bytes; fewer only at the end of the data or on an error.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual bool Seek(std::uint64_t position) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual std::uint64_t Size() const = 0;
    // All the data as one block in memory, valid while the source lives; null when it
    // cannot be had.
    virtual const std::uint8_t* Map() = 0;

    bool ReadExact(void* buffer, std::size_t count) { return Read(buffer, count) == count; }
    std::uint64_t Remaining() const { return Size() - Position(); }
};

} // namespace Platform::Gdiplus
