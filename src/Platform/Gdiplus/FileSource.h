#pragma once
// A picture file opened for reading, through a buffered stdio stream.

#include "Platform/Gdiplus/ByteSource.h"

#include <cstdio>
#include <memory>
#include <string>

namespace Platform::Gdiplus {

class FileSource final : public ByteSource {
public:
    // Null when the path is not a regular file that can be opened for reading.
    static std::unique_ptr<FileSource> Open(const std::wstring& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    bool Seek(std::uint64_t position) override;
    std::uint64_t Position() const override { return position; }
    std::uint64_t Size() const override { return size; }
    // The file mapped read-only on first use.
    const std::uint8_t* Map() override;

private:
    FileSource(std::FILE* file, std::uint64_t size) : file(file), size(size) {}

    std::FILE* file;
    std::uint64_t size;
    std::uint64_t position = 0;
    void* mapped = nullptr;
};

} // namespace Platform::Gdiplus
