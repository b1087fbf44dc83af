#include "Platform/Gdiplus/FileSource.h"

#include "Platform/Files/RegularFile.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform::Gdiplus {

std::unique_ptr<FileSource> FileSource::Open(const std::wstring& path)
{
    const int fd = OpenRegularFileForReading(path);
    if (fd < 0)
        return nullptr;
    std::FILE* file = fdopen(fd, "rb");
    if (!file) {
        close(fd);
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        std::fclose(file);
        return nullptr;
    }
    return std::unique_ptr<FileSource>(new FileSource(file, static_cast<std::uint64_t>(info.st_size)));
}

FileSource::~FileSource()
{
    if (mapped)
        munmap(mapped, static_cast<std::size_t>(size));
    std::fclose(file);
}

const std::uint8_t* FileSource::Map()
{
    if (!mapped && size > 0) {
        void* memory = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fileno(file), 0);
        mapped = memory == MAP_FAILED ? nullptr : memory;
    }
    return static_cast<const std::uint8_t*>(mapped);
}

std::size_t FileSource::Read(void* buffer, std::size_t count)
{
    const std::size_t got = std::fread(buffer, 1, count, file);
    position += got;
    return got;
}

bool FileSource::Seek(std::uint64_t target)
{
    if (target > size || fseeko(file, static_cast<off_t>(target), SEEK_SET) != 0)
        return false;
    position = target;
    return true;
}

} // namespace Platform::Gdiplus
