#include "Imaging/RasterIOFile.h"

#include "Platform/Files/RegularFile.h"
#include "Platform/Text/TextConv.h"

#include <cstdarg>
#include <cstring>
#include <utility>
#include <unistd.h>

RasterIOFile::RasterIOFile() = default;

RasterIOFile::RasterIOFile(std::FILE* stream) : stream(stream) {}

RasterIOFile::~RasterIOFile()
{
    Close();
}

RasterIOFile::RasterIOFile(RasterIOFile&& other) noexcept
    : RasterFile(other), stream(std::exchange(other.stream, nullptr)), owned(std::exchange(other.owned, false))
{
}

RasterIOFile& RasterIOFile::operator=(RasterIOFile&& other) noexcept
{
    if (this != &other) {
        Close();
        stream = std::exchange(other.stream, nullptr);
        owned = std::exchange(other.owned, false);
    }
    return *this;
}

bool RasterIOFile::Open(const std::wstring& path, const char* mode)
{
    Close();
    if (!mode)
        return false;
    const bool reading = mode[0] == 'r' && !std::strchr(mode, '+');
    if (reading) {
        const int fd = Platform::OpenRegularFileForReading(path);
        if (fd < 0)
            return false;
        stream = fdopen(fd, mode);
        if (!stream)
            close(fd);
    } else {
        stream = std::fopen(Platform::WideToPath(path).c_str(), mode);
    }
    owned = stream != nullptr;
    return owned;
}

bool RasterIOFile::Close()
{
    std::FILE* closing = std::exchange(stream, nullptr);
    const bool wasOwned = std::exchange(owned, false);
    if (!closing)
        return false;
    return !wasOwned || std::fclose(closing) == 0;
}

std::size_t RasterIOFile::Read(void* buffer, std::size_t size)
{
    return stream && buffer ? std::fread(buffer, 1, size, stream) : 0;
}

std::size_t RasterIOFile::Write(const void* buffer, std::size_t size)
{
    return stream && buffer ? std::fwrite(buffer, 1, size, stream) : 0;
}

bool RasterIOFile::Seek(std::int64_t offset, int origin)
{
    return stream && fseeko(stream, static_cast<off_t>(offset), origin) == 0;
}

std::int64_t RasterIOFile::Tell()
{
    return stream ? static_cast<std::int64_t>(ftello(stream)) : -1;
}

std::int64_t RasterIOFile::Size()
{
    if (!stream)
        return -1;
    const off_t place = ftello(stream);
    if (place < 0 || fseeko(stream, 0, SEEK_END) != 0)
        return -1;
    const off_t end = ftello(stream);
    return fseeko(stream, place, SEEK_SET) == 0 ? static_cast<std::int64_t>(end) : -1;
}

bool RasterIOFile::Flush()
{
    return stream && std::fflush(stream) == 0;
}

bool RasterIOFile::Eof() const
{
    return !stream || std::feof(stream) != 0;
}

bool RasterIOFile::Error() const
{
    return !stream || std::ferror(stream) != 0;
}

bool RasterIOFile::PutC(unsigned char c)
{
    return stream && std::fputc(c, stream) != EOF;
}

int RasterIOFile::GetC()
{
    return stream ? std::fgetc(stream) : EOF;
}

char* RasterIOFile::GetS(char* buffer, int size)
{
    return stream && buffer && size > 0 ? std::fgets(buffer, size, stream) : nullptr;
}

int RasterIOFile::Scanf(const char* format, ...)
{
    if (!stream || !format)
        return EOF;
    va_list arguments;
    va_start(arguments, format);
    const int read = std::vfscanf(stream, format, arguments);
    va_end(arguments);
    return read;
}
