#pragma once
// A growable in-memory stream that encoders write into: writes go at the current
// position and extend the stream; it can be sought and read back.

#include "Platform/Gdiplus/ByteSource.h"

#include <vector>

namespace Platform::Gdiplus {

class MemoryStream final : public ByteSource {
public:
    enum class Origin { Begin, Current, End };

    // False, and nothing written, when memory runs out.
    bool Write(const void* bytes, std::size_t count);
    // False when the new position would fall before the start; seeking past the end
    // is allowed and the next write fills the gap with zeros.
    bool Seek(std::int64_t offset, Origin origin);

    std::size_t Read(void* buffer, std::size_t count) override;
    bool Seek(std::uint64_t target) override { return Seek(static_cast<std::int64_t>(target), Origin::Begin); }
    std::uint64_t Position() const override { return position; }
    std::uint64_t Size() const override { return bytes.size(); }

private:
    std::vector<std::uint8_t> bytes;
    std::size_t position = 0;
};

} // namespace Platform::Gdiplus
