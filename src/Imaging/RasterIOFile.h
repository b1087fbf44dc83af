#pragma once
// A RasterFile over a C runtime stream: one it opened from a path (and closes), or
// one it was given (and leaves open). Opening for reading takes regular files only,
// so a FIFO or a device named like a photo never blocks or feeds endless bytes.

#include "Imaging/RasterFile.h"

#include <cstdio>
#include <string>

class RASTER_EXPORT RasterIOFile : public RasterFile {
public:
    RasterIOFile();
    // Wraps a stream that stays the caller's.
    explicit RasterIOFile(std::FILE* stream);
    ~RasterIOFile() override;
    RasterIOFile(const RasterIOFile&) = delete;
    RasterIOFile& operator=(const RasterIOFile&) = delete;
    RasterIOFile(RasterIOFile&& other) noexcept;
    RasterIOFile& operator=(RasterIOFile&& other) noexcept;

    // mode as for fopen ("rb", "wb", "ab", ...); the stream held before is closed.
    bool Open(const std::wstring& path, const char* mode);
    // Closes a stream the object opened; false when there was none or closing failed.
    bool Close();
    bool IsOpen() const { return stream != nullptr; }

    std::size_t Read(void* buffer, std::size_t size) override;
    std::size_t Write(const void* buffer, std::size_t size);
    bool Seek(std::int64_t offset, int origin) override;
    std::int64_t Tell() override;
    std::int64_t Size() override;
    bool Flush();
    bool Eof() const;
    bool Error() const;
    bool PutC(unsigned char c);
    // The next byte, or EOF.
    int GetC();
    // Reads a line of at most size - 1 bytes into buffer; null at the end or on error.
    char* GetS(char* buffer, int size);
    // fscanf on the stream; the number of items read, or EOF.
    int Scanf(const char* format, ...) __attribute__((format(scanf, 2, 3)));

private:
    std::FILE* stream = nullptr;
    bool owned = false;
};
