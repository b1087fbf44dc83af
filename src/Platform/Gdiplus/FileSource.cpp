#include "Platform/Gdiplus/FileSource.h"

#include "Platform/Files/RegularFile.h"

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
    std::fclose(file);
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
