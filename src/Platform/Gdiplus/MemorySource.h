#pragma once
// Encoded picture bytes in memory, read through a position of its own. The owner
// keeps the bytes alive for as long as the source exists.

#include "Platform/Gdiplus/ByteSource.h"

#include <memory>

namespace Platform::Gdiplus {

class MemorySource final : public ByteSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size, std::shared_ptr<const void> owner = nullptr)
        : data(data), size(size), owner(std::move(owner))
    {
    }

    std::size_t Read(void* buffer, std::size_t count) override;
    bool Seek(std::uint64_t target) override;
    std::uint64_t Position() const override { return position; }
    std::uint64_t Size() const override { return size; }
    const std::uint8_t* Map() override { return data; }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::shared_ptr<const void> owner;
    std::size_t position = 0;
};

} // namespace Platform::Gdiplus
