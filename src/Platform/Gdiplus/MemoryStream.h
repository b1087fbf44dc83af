#pragma once
// A growable in-memory stream that encoders write into: writes go at the current
// position and extend the stream; it can be sought and read back, and its bytes can
// be handed over without a copy.

#include "Platform/Gdiplus/ByteSource.h"

#include <memory>

namespace Platform::Gdiplus {

class MemoryStream final : public ByteSource {
public:
    enum class Origin { Begin, Current, End };

    MemoryStream() = default;
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    ~MemoryStream() override;

    // False, and nothing written, when memory runs out.
    bool Write(const void* bytes, std::size_t count);
    // False when the new position would fall before the start; seeking past the end
    // is allowed and the next write fills the gap with zeros.
    bool Seek(std::int64_t offset, Origin origin);

    std::size_t Read(void* buffer, std::size_t count) override;
    bool Seek(std::uint64_t target) override { return Seek(static_cast<std::int64_t>(target), Origin::Begin); }
    std::uint64_t Position() const override { return position; }
    std::uint64_t Size() const override { return size; }
    // Valid until the next write.
    const std::uint8_t* Map() override { return bytes; }

    // The stream's bytes (Size() of them), taken out of the stream, which is then
    // empty; null when nothing was written. Throws std::bad_alloc when the shared
    // handle cannot be made (the bytes are released then).
    std::shared_ptr<std::uint8_t[]> TakeBytes();

private:
    bool Reserve(std::size_t needed);

    // Grown by doubling with realloc, which moves large buffers by remapping pages
    // instead of copying them; bytes past `size` are not initialised.
    std::uint8_t* bytes = nullptr;
    std::size_t capacity = 0;
    std::size_t size = 0;
    std::size_t position = 0;
};

} // namespace Platform::Gdiplus
