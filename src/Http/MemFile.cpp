#include "Http/MemFile.h"

#include "Http/HttpHeader.h"
#include "Http/MimeTypes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

namespace {

constexpr std::int64_t kGrowthStep = 65536;
constexpr std::int64_t kMaxOffset = std::numeric_limits<std::int32_t>::max();

// A quotation mark or line break in a file name would end the quoted name and let the
// rest of the name be read as header lines or parts of its own. Browsers send them as
// %22, %0D and %0A; every other byte stays as it is.
std::string QuotableFileName(const std::string& fileName)
{
    std::string quotable;
    quotable.reserve(fileName.size());
    for (const char c : fileName) {
        switch (c) {
        case '"':
            quotable += "%22";
            break;
        case '\r':
            quotable += "%0D";
            break;
        case '\n':
            quotable += "%0A";
            break;
        default:
            quotable += c;
        }
    }
    return quotable;
}

// Finds a pattern in one pass, skipping ahead by up to the pattern's length.
using Searcher = std::boyer_moore_horspool_searcher<std::string::const_iterator>;

// The fixed boundary's hyphens and 13 random lowercase hexadecimal digits.
std::string RandomBoundary()
{
    std::random_device device;
    const std::uint64_t bits = (static_cast<std::uint64_t>(device()) << 32 | device()) & ((1ull << 52) - 1);
    char digits[14];
    std::snprintf(digits, sizeof digits, "%013llx", static_cast<unsigned long long>(bits));
    const std::string& fixed = HttpHeader::Boundary();
    return fixed.substr(0, fixed.find_first_not_of('-')) + digits;
}

} // namespace

MemFile::MemFile() : buffer(static_cast<std::uint8_t*>(std::calloc(1, 1))), boundary(HttpHeader().GetBoundary()) {}

MemFile::~MemFile()
{
    Close();
}

bool MemFile::Close()
{
    if (owns) {
        std::free(buffer);
        buffer = nullptr;
        size = 0;
    }
    return true;
}

bool MemFile::Grow(std::int64_t needed)
{
    if (needed <= capacity)
        return true;
    const std::int64_t newCapacity = (needed & ~(kGrowthStep - 1)) + kGrowthStep;
    auto* grown = newCapacity > kMaxOffset ? nullptr : static_cast<std::uint8_t*>(std::realloc(buffer, newCapacity));
    if (!grown) {
        if (owns)
            std::free(buffer);
        buffer = nullptr;
        size = 0;
        capacity = 0;
        return false;
    }
    buffer = grown;
    capacity = static_cast<std::int32_t>(newCapacity);
    owns = true;
    return true;
}

void MemFile::ZeroGap()
{
    if (position > size)
        std::memset(buffer + size, 0, static_cast<std::size_t>(position - size));
}

std::int32_t MemFile::Read(void* destination, std::int32_t itemSize, std::int32_t itemCount)
{
    const std::int64_t wanted = static_cast<std::int64_t>(itemSize) * itemCount;
    if (!destination || !buffer || position >= size || wanted <= 0 || itemSize <= 0)
        return 0;
    const std::int64_t copied = std::min<std::int64_t>(wanted, size - position);
    std::memcpy(destination, buffer + position, static_cast<std::size_t>(copied));
    position += static_cast<std::int32_t>(copied);
    return static_cast<std::int32_t>(copied / itemSize);
}

std::int32_t MemFile::Write(const void* source, std::int32_t itemSize, std::int32_t itemCount)
{
    const std::int64_t count = static_cast<std::int64_t>(itemSize) * itemCount;
    if (!buffer || !source || count <= 0)
        return 0;
    if (position + count > kMaxOffset || !Grow(position + count))
        return 0;
    ZeroGap();
    std::memcpy(buffer + position, source, static_cast<std::size_t>(count));
    position += static_cast<std::int32_t>(count);
    size = std::max(size, position);
    return itemCount;
}

bool MemFile::Seek(std::int32_t offset, int origin)
{
    if (!buffer)
        return false;
    std::int64_t base = 0;
    switch (origin) {
    case 0:
        break;
    case 1:
        base = position;
        break;
    case 2:
        base = size;
        break;
    default:
        return false;
    }
    position = static_cast<std::int32_t>(std::clamp<std::int64_t>(base + offset, 0, kMaxOffset));
    return true;
}

std::int32_t MemFile::Tell() const
{
    return buffer ? position : -1;
}

std::int32_t MemFile::Size() const
{
    return buffer ? size : -1;
}

bool MemFile::Flush()
{
    return buffer != nullptr;
}

bool MemFile::Eof() const
{
    return !buffer || position >= size;
}

int MemFile::Error() const
{
    if (!buffer)
        return -1;
    return position > size ? 1 : 0;
}

bool MemFile::PutC(std::uint8_t byte)
{
    return Write(&byte, 1, 1) == 1;
}

int MemFile::GetC()
{
    if (Eof())
        return -1;
    return buffer[position++];
}

char* MemFile::GetS(char* destination, int count)
{
    if (!destination || count <= 0)
        return nullptr;
    int stored = 0;
    while (stored < count - 1) {
        const int c = GetC();
        if (c < 0) {
            destination[stored] = '\0';
            return nullptr;
        }
        destination[stored++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    destination[stored] = '\0';
    return destination;
}

int MemFile::Scanf(const char*, void*)
{
    return 0;
}

void MemFile::WriteText(const std::string& text)
{
    Write(text.data(), static_cast<std::int32_t>(text.size()), 1);
}

void MemFile::WriteDelimited(const std::string& rest)
{
    const std::int32_t offset = position + 2;
    const std::string text = "--" + boundary + rest;
    if (Write(text.data(), static_cast<std::int32_t>(text.size()), 1) == 1)
        boundaryOffsets.push_back(offset);
}

void MemFile::AddField(const std::string& name, const std::string& value)
{
    WriteDelimited("\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n");
}

void MemFile::AddNumberField(const std::string& name, std::int64_t number)
{
    AddField(name, std::to_string(number));
}

void MemFile::AddFile(const std::string& fileName, const std::uint8_t* data, std::int32_t length,
                      const std::string& fieldName)
{
    const std::string quotable = QuotableFileName(fileName);
    WriteDelimited("\r\nContent-Disposition: form-data; name=\"" + fieldName + "\"; filename=\"" + quotable +
                   "\"\r\nContent-Type: " + LookupMimeType(FindNameExtension(quotable)) +
                   "\r\nContent-Transfer-Encoding: binary\r\n\r\n");
    Write(data, length, 1);
    WriteText("\r\n");
}

void MemFile::End()
{
    WriteDelimited("--\r\n");
}

bool MemFile::PartsHoldTheDelimiter() const
{
    const std::string delimiter = "\n--" + boundary;
    const Searcher searcher(delimiter.begin(), delimiter.end());
    const char* const body = reinterpret_cast<const char*>(buffer);
    const char* const end = body + size;
    for (const char* at = std::search(body, end, searcher); at != end; at = std::search(at + 1, end, searcher)) {
        const auto offset = static_cast<std::int32_t>(at - body) + 3;
        if (!std::binary_search(boundaryOffsets.begin(), boundaryOffsets.end(), offset))
            return true;
    }
    return false;
}

const std::string& MemFile::ChooseBoundary()
{
    if (!buffer || !PartsHoldTheDelimiter())
        return boundary;
    const char* const body = reinterpret_cast<const char*>(buffer);
    // The old boundary is still in the body, so a choice equal to it is found too.
    std::string fresh;
    do {
        fresh = RandomBoundary();
    } while (std::search(body, body + size, Searcher(fresh.begin(), fresh.end())) != body + size);
    for (const std::int32_t offset : boundaryOffsets) {
        if (offset + static_cast<std::int64_t>(fresh.size()) <= size)
            std::memcpy(buffer + offset, fresh.data(), fresh.size());
    }
    boundary = fresh;
    return boundary;
}
